#ifndef VARNEL_UI_KIT_FORM_LAYOUT_H_
#define VARNEL_UI_KIT_FORM_LAYOUT_H_

#include <QString>
#include <QWidget>
#include <string>

#include "ui/kit/twips.h"

namespace varnel {

// The point size of every window's font. The layouts in twips were made for a face narrower than DejaVu
// Sans: at 7 points every caption fits its control in both languages.
inline constexpr double kFormFontPointSize = 7.0;

// Gives `form` the windows' font.
void UseFormFont(QWidget* form);

// Places a new control of type T named `name` on `form` at a rectangle in twips.
template <typename T>
T* PlaceControl(QWidget* form, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(TwipsRect(left, top, width, height));
  return control;
}

// The folder a job window starts on when it remembers none: "C:\" on Windows, the user's home folder
// elsewhere.
QString DefaultStartFolder();

// A path as the platform layer takes it: UTF-8 on Windows, the file system's own bytes elsewhere.
std::string PathBytes(const QString& path);
// A path (or a name) the platform layer gives, for the user to read; bytes that are not UTF-8 show as
// replacement characters.
QString PathText(const std::string& bytes);

}  // namespace varnel

#endif  // VARNEL_UI_KIT_FORM_LAYOUT_H_
