#include "ui/kit/progress_feed.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace varnel {

ProgressFeed::ProgressFeed(QProgressBar* bar, std::function<Clock::time_point()> now)
    : bar_(bar), now_(std::move(now)), steps_(std::max(1, bar->width())) {
  bar_->setRange(0, steps_);
}

void ProgressFeed::Set(double minimum, double maximum, double value) {
  int filled = 0;
  if (maximum > minimum) {
    const double share = std::clamp((value - minimum) / (maximum - minimum), 0.0, 1.0);
    filled = static_cast<int>(std::floor(share * steps_));
  }
  if (filled == shown_) {
    held_.reset();
    return;
  }
  const Clock::time_point now = now_();
  if (filled > shown_ && filled < steps_ && shown_ >= 0 && now - shown_at_ < kFrameInterval) {
    held_ = filled;
    return;
  }
  Show(filled, now);
}

void ProgressFeed::Flush() {
  if (held_) Show(*held_, now_());
}

void ProgressFeed::Show(int filled, Clock::time_point now) {
  held_.reset();
  shown_ = filled;
  shown_at_ = now;
  if (bar_ != nullptr) bar_->setValue(filled);
}

}  // namespace varnel
