#ifndef VARNEL_JOBS_ALPHA_FORM2_HOST_H_
#define VARNEL_JOBS_ALPHA_FORM2_HOST_H_

#include <string>

#include "jobs/alpha/alpha_host.h"

class QProgressBar;
class QWidget;

namespace varnel {

// How the alphabetical job started from its window reaches the user: message boxes over the window and its
// progress bar. The bar holds the job's own Min, Max and Value, but a value reaches it only when the filled
// width in pixels changes, so a run over many files repaints it no more often than the eye can see. Before
// a message box the bar takes the last value, so it ends full.
class Form2Host : public AlphaHost {
 public:
  Form2Host(QWidget* window, QProgressBar* bar);

  void ShowMessage(const std::string& text, int icon) override;
  void SetProgress(double minimum, double maximum, double value) override;

 private:
  // Gives the bar the last value it was told, when it does not show it yet.
  void Flush();

  QWidget* window_;
  QProgressBar* bar_;
  double minimum_ = 0.0;
  double maximum_ = 0.0;
  double value_ = 0.0;
  bool range_set_ = false;
  int filled_ = -1;  // pixels the bar shows filled; -1 before the first value
};

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_FORM2_HOST_H_
