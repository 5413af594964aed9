#ifndef VARNEL_UI_KIT_PROGRESS_FEED_H_
#define VARNEL_UI_KIT_PROGRESS_FEED_H_

#include <QPointer>
#include <QProgressBar>
#include <chrono>
#include <functional>
#include <optional>

namespace varnel {

// Gives a job's progress to a window's progress bar, the same way for every job window: the bar counts its width
// in pixels, and a value reaches it only when the filled width changes, going forward at most once per 20 ms
// frame but for the full bar; a bar going back (a new run) is shown at once. So a run over many files repaints
// the bar no more often than the eye can see, whether or not it returns to the event loop (a bar repaints itself
// on each change). A value held back is shown by Flush(), which the hosts call before a message box and while
// the zip job hands control to the window's events. A bar destroyed under a job is left alone.
class ProgressFeed {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kFrameInterval{20};

  // Sets the bar's range to its width in pixels. `now` tells the time (tests give their own clock).
  explicit ProgressFeed(QProgressBar* bar, std::function<Clock::time_point()> now = Clock::now);

  // The job's progress: `value` between `minimum` and `maximum` (an empty bar when they are equal).
  void Set(double minimum, double maximum, double value);
  // Shows the value held back last, if any.
  void Flush();

 private:
  void Show(int filled, Clock::time_point now);

  QPointer<QProgressBar> bar_;
  std::function<Clock::time_point()> now_;
  int steps_;
  int shown_ = -1;           // the filled width the bar shows; -1 before the first value
  std::optional<int> held_;  // a filled width not shown yet
  Clock::time_point shown_at_;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_PROGRESS_FEED_H_
