#include "settings/form1_host.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "ui/message_box.h"

namespace varnel {

Form1Host::Form1Host(QWidget* window, QProgressBar* bar, QLabel* result,
                     std::function<void(const std::string&)> open_log)
    : window_(window), bar_(bar), result_(result), open_log_(std::move(open_log)), steps_(std::max(1, bar->width())) {
  bar_->setRange(0, steps_);
}

bool Form1Host::Confirm(const std::string& question) {
  // No is the default: Return alone never deletes.
  return ShowMessageBox(window_, QString::fromStdString(question), 0, MessageButtons::kYesNo, QString(),
                        MessageAnswer::kNo) == MessageAnswer::kYes;
}

void Form1Host::ShowMessage(const std::string& text, int icon) {
  ShowMessageBox(window_, QString::fromStdString(text), icon);
}

void Form1Host::SetProgress(double minimum, double maximum, double value) {
  int filled = 0;
  if (maximum > minimum) {
    const double share = std::clamp((value - minimum) / (maximum - minimum), 0.0, 1.0);
    filled = static_cast<int>(std::floor(share * steps_));
  }
  if (filled == filled_) return;
  // A bar going back (a new run) and a full bar (the end of a run) are shown at once; a bar going forward at most
  // once a frame.
  const auto now = std::chrono::steady_clock::now();
  if (filled > filled_ && filled < steps_ && filled_ >= 0 && now - shown_at_ < kFrameInterval) return;
  filled_ = filled;
  shown_at_ = now;
  bar_->setValue(filled);  // repaints by itself: the run does not return to the event loop
}

void Form1Host::SetResultText(const std::string& text) {
  result_->setText(QString::fromStdString(text));
  if (result_->isVisible()) result_->repaint();
}

void Form1Host::OpenLog(const std::string& path) {
  if (open_log_) open_log_(path);
}

}  // namespace varnel
