#ifndef VARNEL_JOBS_ZIP_FORM3_HOST_H_
#define VARNEL_JOBS_ZIP_FORM3_HOST_H_

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <string>

#include "jobs/zip/zip_host.h"
#include "ui/kit/progress_feed.h"

namespace varnel {

// How a zip job started from the zip window reaches the user: message boxes, the window's progress bar
// (through a ProgressFeed, flushed at each ProcessEvents) and the application's event loop. The job is asked to
// stop once the user asked for it (RequestStop), the program is ending (the application received its Quit event
// or is about to quit) or the window is gone.
class Form3Host : public QObject, public ZipHost {
 public:
  Form3Host(QWidget* window, QProgressBar* bar);
  ~Form3Host() override;
  Form3Host(const Form3Host&) = delete;
  Form3Host& operator=(const Form3Host&) = delete;

  void ShowMessage(const std::string& text, MessageIcon icon) override;
  void SetProgress(double minimum, double maximum, double value) override;
  void ProcessEvents() override;
  bool StopRequested() override;

  // True once the program has been asked to end while this host existed.
  bool ProgramEnding() const { return ending_; }
  // Asks the job to stop, as the window's "Stop" does.
  void RequestStop() { stop_requested_ = true; }
  bool stop_requested() const { return stop_requested_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
  ProgressFeed progress_;
  bool ending_ = false;
  bool stop_requested_ = false;
};

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_FORM3_HOST_H_
