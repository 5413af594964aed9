#include "ui/form_layout.h"

#include <QDir>
#include <QFile>
#include <QFont>

namespace varnel {

void UseFormFont(QWidget* form) {
  QFont form_font = form->font();
  form_font.setPointSizeF(kFormFontPointSize);
  form->setFont(form_font);
}

QString JobStartFolder(const QString& given) {
  if (!given.isEmpty()) return given;
#ifdef _WIN32
  return QStringLiteral("C:\\");
#else
  return QDir::homePath();
#endif
}

std::string PathBytes(const QString& path) {
#ifdef _WIN32
  return path.toStdString();
#else
  return QFile::encodeName(path).toStdString();
#endif
}

}  // namespace varnel
