#include "ui/kit/message_box.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace varnel {

namespace {

ScriptedMessageBoxes* g_script = nullptr;

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kStop:
      return QMessageBox::Critical;
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

// What a title bar holds beside its title: the window's icon and its buttons, with their margins.
constexpr int kTitleBarExtras = 140;

// While a job shows the wait cursor, a box that waits for the user shows the arrow.
class ArrowOverWaitCursor {
 public:
  ArrowOverWaitCursor() : active_(QApplication::overrideCursor() != nullptr) {
    if (active_) QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
  }
  ~ArrowOverWaitCursor() {
    if (active_) QApplication::restoreOverrideCursor();
  }
  ArrowOverWaitCursor(const ArrowOverWaitCursor&) = delete;
  ArrowOverWaitCursor& operator=(const ArrowOverWaitCursor&) = delete;

 private:
  const bool active_;
};

Qt::CursorShape CursorNow() {
  const QCursor* cursor = QApplication::overrideCursor();
  return cursor == nullptr ? Qt::ArrowCursor : cursor->shape();
}

}  // namespace

int TitleBarWidth(const QString& title) {
  // Title bars use the desktop's font, commonly bold, not the windows' smaller one.
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(title) + kTitleBarExtras;
}

void MakeRoomForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  grid->addItem(new QSpacerItem(TitleBarWidth(box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

ScriptedMessageBoxes::ScriptedMessageBoxes() { g_script = this; }

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
  if (g_script == this) g_script = nullptr;
}

MessageAnswer ShowMessageBox(QWidget* parent, const QString& text, MessageIcon icon, MessageButtons buttons,
                             const QString& title, MessageAnswer default_answer) {
  const QString caption = title.isEmpty() ? QString::fromUtf8(kProgramTitle) : title;
  const bool question = buttons == MessageButtons::kYesNo;
  const MessageAnswer on_return = !question                              ? MessageAnswer::kOk
                                  : default_answer == MessageAnswer::kNo ? MessageAnswer::kNo
                                                                         : MessageAnswer::kYes;
  const ArrowOverWaitCursor arrow;
  if (g_script != nullptr) {
    g_script->shown_.push_back({text, icon, buttons, caption, on_return, CursorNow()});
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
  MakeRoomForTitle(box);
  const int pressed = box.exec();
  if (!question) return MessageAnswer::kOk;
  return pressed == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

}  // namespace varnel
