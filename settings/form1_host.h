#ifndef VARNEL_SETTINGS_FORM1_HOST_H_
#define VARNEL_SETTINGS_FORM1_HOST_H_

#include <chrono>
#include <functional>
#include <string>

#include "engine/cleaning_host.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace varnel {

// How a cleaning run started from the cleaning window reaches the user: message boxes over the window, its
// progress bar and its bold result label. The bar's range is its width in pixels and a value reaches it only
// when the filled width changes, and going forward at most once per 20 ms frame but for the full bar, so a run
// over many files repaints it no more often than the eye can see and always ends on what it ended with.
class Form1Host : public CleaningHost {
 public:
  Form1Host(QWidget* window, QProgressBar* bar, QLabel* result, std::function<void(const std::string&)> open_log);

  bool Confirm(const std::string& question) override;
  void ShowMessage(const std::string& text, int icon) override;
  void SetProgress(double minimum, double maximum, double value) override;
  void SetResultText(const std::string& text) override;
  void OpenLog(const std::string& path) override;

 private:
  QWidget* window_;
  QProgressBar* bar_;
  QLabel* result_;
  std::function<void(const std::string&)> open_log_;
  static constexpr std::chrono::milliseconds kFrameInterval{20};

  int steps_;
  int filled_ = -1;
  std::chrono::steady_clock::time_point shown_at_;
};

}  // namespace varnel

#endif  // VARNEL_SETTINGS_FORM1_HOST_H_
