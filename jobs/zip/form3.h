#ifndef VARNEL_JOBS_ZIP_FORM3_H_
#define VARNEL_JOBS_ZIP_FORM3_H_

#include <QString>
#include <chrono>
#include <optional>
#include <string>

#include "jobs/zip/runner.h"
#include "platform/program_folder.h"
#include "settings/state_file.h"
#include "ui/kit/job_form.h"

class QEvent;
class QProgressBar;
class QPushButton;

namespace varnel {

class DriveList;
class FolderTree;
class Form3Host;

// Where the zip window finds things; tests give their own.
struct Form3Options {
  // The folder the window starts on; empty means the folder it remembers, else the user's home folder ("C:\" on
  // Windows).
  QString start_folder;
  // The archiver is looked for in this folder, then (elsewhere than on Windows) in the folders of
  // `search_path`, the PATH environment variable when unset.
  std::string program_folder = ProgramFolder();
  std::optional<std::string> search_path;
  // How long the archiver may go without a sign of life before it counts as hung.
  std::chrono::milliseconds hang_limit = kArchiverHangLimit;
  // Where the window remembers its folders.
  std::string state_path = StateFilePath();
};

// The zip window: "Go" zips every file of the folder chosen in `Dir1` into "ZippedRoms", one archiver run
// per file. Each time the window becomes active it checks for the archiver and goes back to the menu, after
// saying so, when it is missing. While a job runs "Go" reads "Stop" ("Arrêter" in French) and stops it: the
// archiver is ended with what it started, the file it was zipping gets no archive, and the window says what
// was zipped. "Quit" and the close box only hide the window (the job goes on; a closed window is destroyed
// when the job ends), and the end of the program stops the job and its archiver without a word.
class Form3 : public JobForm {
  Q_OBJECT

 public:
  explicit Form3(Form3Options options = Form3Options(), QWidget* parent = nullptr);

  // True while a job started by "Go" runs.
  bool JobRunning() const { return host_ != nullptr; }
  QString RunningJobFolder() const override { return JobRunning() ? job_folder_ : QString(); }

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  // The archiver to run; empty when none is found.
  std::string Archiver() const;
  void CheckArchiver();
  void ReportMissingArchiver();
  // "Go", or "Stop" while a job runs.
  void Go();
  // Shows "Stop" in the language chosen in the menu.
  void ShowStopCaption();

  Form3Options options_;
  DriveList* drives_ = nullptr;
  FolderTree* folders_ = nullptr;
  QPushButton* go_ = nullptr;
  QProgressBar* progress_ = nullptr;
  Form3Host* host_ = nullptr;  // the running job's host
  QString job_folder_;         // the running job's folder
  bool check_queued_ = false;
  bool closed_while_running_ = false;
};

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_FORM3_H_
