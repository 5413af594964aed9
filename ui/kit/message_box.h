#ifndef VARNEL_UI_KIT_MESSAGE_BOX_H_
#define VARNEL_UI_KIT_MESSAGE_BOX_H_

#include <QString>
#include <deque>
#include <vector>

#include "common/job_host.h"

class QMessageBox;
class QWidget;

namespace varnel {

// The caption of every message box that is not given a title of its own.
inline constexpr char kProgramTitle[] = "Varnel by Tollimer";

enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

// Shows a modal message box over `parent` with `icon` and returns the button pressed. An empty `title` means the
// program's title. `default_answer` is the button Return presses in a question (kYes or kNo); a box with OK only has
// OK. The box is wide enough for its title (MakeRoomForTitle) and shows the arrow cursor while a job shows the wait
// cursor.
MessageAnswer ShowMessageBox(QWidget* parent, const QString& text, MessageIcon icon = MessageIcon::kNone,
                             MessageButtons buttons = MessageButtons::kOk, const QString& title = QString(),
                             MessageAnswer default_answer = MessageAnswer::kYes);

// The width a window needs for its title bar to show `title` whole: the title in the application's font made
// bold, and room for the bar's icon and buttons.
int TitleBarWidth(const QString& title);
// Makes `box` at least TitleBarWidth() of its title wide, however short its text.
void MakeRoomForTitle(QMessageBox& box);

// A message box as it would have been shown.
struct ShownMessageBox {
  QString text;
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
  QString title;
  MessageAnswer default_answer = MessageAnswer::kOk;  // the button Return presses
  Qt::CursorShape cursor = Qt::ArrowCursor;           // the cursor over the program while it is shown
};

// While one of these exists, message boxes are not shown: each is recorded and answered by the next queued
// answer, or by OK (No for a question) when none is queued. Tests use it to answer modal boxes.
class ScriptedMessageBoxes {
 public:
  ScriptedMessageBoxes();
  ~ScriptedMessageBoxes();
  ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
  ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

  // The answer to the next box.
  void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
  // Every box "shown" so far, oldest first.
  const std::vector<ShownMessageBox>& shown() const { return shown_; }
  void ClearShown() { shown_.clear(); }

 private:
  friend MessageAnswer ShowMessageBox(QWidget*, const QString&, MessageIcon, MessageButtons, const QString&,
                                      MessageAnswer);

  std::deque<MessageAnswer> answers_;
  std::vector<ShownMessageBox> shown_;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_MESSAGE_BOX_H_
