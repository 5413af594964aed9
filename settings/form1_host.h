#ifndef VARNEL_SETTINGS_FORM1_HOST_H_
#define VARNEL_SETTINGS_FORM1_HOST_H_

#include <functional>
#include <string>

#include "engine/cleaning_host.h"
#include "ui/kit/progress_feed.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace varnel {

// How a cleaning run started from the cleaning window reaches the user: message boxes over the window, its
// progress bar (through a ProgressFeed) and its bold result label.
class Form1Host : public CleaningHost {
 public:
  Form1Host(QWidget* window, QProgressBar* bar, QLabel* result, std::function<void(const std::string&)> open_log);

  bool Confirm(const std::string& question) override;
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  void SetProgress(double minimum, double maximum, double value) override;
  void SetResultText(const std::string& text) override;
  void OpenLog(const std::string& path) override;

 private:
  QWidget* window_;
  ProgressFeed progress_;
  QLabel* result_;
  std::function<void(const std::string&)> open_log_;
};

}  // namespace varnel

#endif  // VARNEL_SETTINGS_FORM1_HOST_H_
