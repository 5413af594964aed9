#ifndef VARNEL_TESTS_SUPPORT_SHOWN_BOXES_H_
#define VARNEL_TESTS_SUPPORT_SHOWN_BOXES_H_

#include <QString>
#include <QStringList>

#include "tests/support/recording_hosts.h"
#include "ui/kit/message_box.h"

namespace varnel {

// The boxes `boxes` recorded since the last call, as "[icon] text", forgotten then.
inline QStringList TakeShown(ScriptedMessageBoxes& boxes) {
  QStringList shown;
  for (const ShownMessageBox& box : boxes.shown())
    shown << QString::fromStdString(IconTag(box.icon)) + QLatin1Char(' ') + box.text;
  boxes.ClearShown();
  return shown;
}

}  // namespace varnel

#endif  // VARNEL_TESTS_SUPPORT_SHOWN_BOXES_H_
