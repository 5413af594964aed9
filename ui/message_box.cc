#include "ui/message_box.h"

#include <QMessageBox>

namespace varnel {

namespace {

ScriptedMessageBoxes* g_script = nullptr;

QMessageBox::Icon IconOf(int icon) {
  switch (icon) {
    case 16:
      return QMessageBox::Critical;
    case 48:
      return QMessageBox::Warning;
    case 64:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

ScriptedMessageBoxes::ScriptedMessageBoxes() { g_script = this; }

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
  if (g_script == this) g_script = nullptr;
}

MessageAnswer ShowMessageBox(QWidget* parent, const QString& text, int icon, MessageButtons buttons,
                             const QString& title) {
  const QString caption = title.isEmpty() ? QString::fromUtf8(kProgramTitle) : title;
  const bool question = buttons == MessageButtons::kYesNo;
  if (g_script != nullptr) {
    g_script->shown_.push_back({text, icon, buttons, caption});
    if (!g_script->answers_.empty()) {
      const MessageAnswer answer = g_script->answers_.front();
      g_script->answers_.pop_front();
      return answer;
    }
    return question ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
  QMessageBox box(IconOf(icon), caption, text, question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                  parent);
  const int pressed = box.exec();
  if (!question) return MessageAnswer::kOk;
  return pressed == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

}  // namespace varnel
