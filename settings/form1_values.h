#ifndef VARNEL_SETTINGS_FORM1_VALUES_H_
#define VARNEL_SETTINGS_FORM1_VALUES_H_

#include <string>

#include "engine/run_settings.h"
#include "ui/kit/form_layout.h"  // PathBytes

class QString;
class QWidget;

namespace varnel {

// The text of a one-line or several-line text box as UTF-8 bytes, typed line breaks as "\n", nothing else
// changed (no blank trimmed, no non-breaking space replaced).
std::string BoxText(const QWidget* box);
// Puts UTF-8 `text` into a one-line or several-line text box.
void SetBoxText(QWidget* box, const std::string& text);

// The zone mode of the first selected option, taken in the order Option1, Option2, Option3, Option4.
ZoneMode ZoneModeOf(bool option1, bool option2, bool option3, bool option4);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_FORM1_VALUES_H_
