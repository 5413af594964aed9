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
                             const QString& title, MessageAnswer default_answer) {
  const QString caption = title.isEmpty() ? QString::fromUtf8(kProgramTitle) : title;
  const bool question = buttons == MessageButtons::kYesNo;
  const MessageAnswer on_return = !question                              ? MessageAnswer::kOk
                                  : default_answer == MessageAnswer::kNo ? MessageAnswer::kNo
                                                                         : MessageAnswer::kYes;
  if (g_script != nullptr) {
    g_script->shown_.push_back({text, icon, buttons, caption, on_return});
    if (!g_script->answers_.empty()) {
      const MessageAnswer answer = g_script->answers_.front();
      g_script->answers_.pop_front();
      return answer;
    }
    return question ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
  QMessageBox box(IconOf(icon), caption, text, question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                  parent);
  if (question) box.setDefaultButton(on_return == MessageAnswer::kNo ? QMessageBox::No : QMessageBox::Yes);
  const int pressed = box.exec();
  if (!question) return MessageAnswer::kOk;
  return pressed == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

}  // namespace varnel
