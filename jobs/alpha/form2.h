#ifndef VARNEL_JOBS_ALPHA_FORM2_H_
#define VARNEL_JOBS_ALPHA_FORM2_H_

#include <QString>
#include <string>

#include "settings/state_file.h"
#include "ui/kit/job_form.h"

class QProgressBar;

namespace varnel {

class DriveList;
class FolderTree;

// What tests and benchmarks change in the alphabetical window.
struct Form2Options {
  // The folder the window starts on; empty means the folder it remembers, else the user's home folder ("C:\" on
  // Windows).
  QString start_folder;
  // Where the window remembers its folders.
  std::string state_path = StateFilePath();
};

// The alphabetical window: "Go" moves every file of the folder chosen in `Dir1` into its letter folder
// below "AlphaFolders", under the wait cursor, without returning to the event loop until the end message. Its controls
// are found by their object names (`Drive1`, `Dir1`, `Picture1`, `ProgressBar1`, `Command1` "Go", `Command2` "Quit").
class Form2 : public JobForm {
  Q_OBJECT

 public:
  explicit Form2(Form2Options options = Form2Options(), QWidget* parent = nullptr);

 private:
  void BuildControls();
  void Go();

  DriveList* drives_ = nullptr;
  FolderTree* folders_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_FORM2_H_
