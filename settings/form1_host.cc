#include "settings/form1_host.h"

#include <QLabel>
#include <QString>

#include "ui/kit/message_box.h"

namespace varnel {

Form1Host::Form1Host(QWidget* window, QProgressBar* bar, QLabel* result,
                     std::function<void(const std::string&)> open_log)
    : window_(window), progress_(bar), result_(result), open_log_(std::move(open_log)) {}

bool Form1Host::Confirm(const std::string& question) {
  progress_.Flush();
  // No is the default: Return alone never deletes.
  return ShowMessageBox(window_, QString::fromStdString(question), MessageIcon::kNone, MessageButtons::kYesNo,
                        QString(), MessageAnswer::kNo) == MessageAnswer::kYes;
}

void Form1Host::ShowMessage(const std::string& text, MessageIcon icon) {
  progress_.Flush();
  ShowMessageBox(window_, QString::fromStdString(text), icon);
}

void Form1Host::SetProgress(double minimum, double maximum, double value) { progress_.Set(minimum, maximum, value); }

void Form1Host::SetResultText(const std::string& text) {
  result_->setText(QString::fromStdString(text));
  if (result_->isVisible()) result_->repaint();
}

void Form1Host::OpenLog(const std::string& path) {
  if (open_log_) open_log_(path);
}

}  // namespace varnel
