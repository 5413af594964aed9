#ifndef VARNEL_HISTORY_HISTORY_FORM_H_
#define VARNEL_HISTORY_HISTORY_FORM_H_

#include <string>
#include <vector>

#include "history/history_folder.h"
#include "history/run_history.h"
#include "ui/kit/job_form.h"

class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace varnel {

// What tests change in the History window.
struct HistoryFormOptions {
  // The history it lists and records its undos in.
  HistoryPlace place = HistoryPlace::Default();
};

// The History window: the real runs of every job, newest first (`List1`: "Date", "Job", "Folder", "Done",
// "Failed", the time and the job as `varnel-cli history` prints them, the folder as a path is shown), the files of
// the selected run (`List2`: "File", "Action", "Result"), "Undo" (`Command1`), which asks first and takes the selected
// run back under the wait cursor, `ProgressBar1`, and "Quit" (`Command2`). The runs are read again each time the window
// is shown.
class HistoryForm : public JobForm {
  Q_OBJECT

 public:
  explicit HistoryForm(HistoryFormOptions options = HistoryFormOptions(), QWidget* parent = nullptr);

  // Reads the runs again and selects the run `id`, else the one selected before, else the newest.
  void Reload(const std::string& id = std::string());

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  // Fills the file list with the selected run's files.
  void ShowFiles();
  void Undo();
  std::string SelectedId() const;

  HistoryFormOptions options_;
  QTreeWidget* runs_ = nullptr;
  QTreeWidget* files_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* undo_ = nullptr;
};

}  // namespace varnel

#endif  // VARNEL_HISTORY_HISTORY_FORM_H_
