#ifndef VARNEL_JOBS_ALPHA_FORM2_HOST_H_
#define VARNEL_JOBS_ALPHA_FORM2_HOST_H_

#include <string>

#include "jobs/alpha/alpha_host.h"
#include "ui/kit/progress_feed.h"

class QProgressBar;
class QWidget;

namespace varnel {

// How the alphabetical job started from its window reaches the user: message boxes over the window and its
// progress bar (through a ProgressFeed, so it shows the job's last value under its end message).
class Form2Host : public AlphaHost {
 public:
  Form2Host(QWidget* window, QProgressBar* bar);

  void ShowMessage(const std::string& text, MessageIcon icon) override;
  void SetProgress(double minimum, double maximum, double value) override;

 private:
  QWidget* window_;
  ProgressFeed progress_;
};

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_FORM2_HOST_H_
