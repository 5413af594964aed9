#ifndef VARNEL_SETTINGS_PREVIEW_FORM_H_
#define VARNEL_SETTINGS_PREVIEW_FORM_H_

#include <QWidget>
#include <cstdint>
#include <string>

#include "engine/cleaning_plan.h"
#include "settings/preview_text.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace varnel {

class PreviewModel;

// The preview of a cleaning plan, a window of its own over the cleaning window that created it: the counts
// (`Label1`), the filter (`Label2`, `Text1`), "show only what goes" (`Check1`), the games and their files
// (`List1`, over a PreviewModel: each game's row followed by its files, sortable), the out-of-date line (`Label3`),
// "Refresh"
// (`Command1`) and "Apply" (`Command2`). It keeps the plan it shows; the cleaning window plans and applies.
// Escape closes it; closed, it is destroyed.
class PreviewForm : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewForm(QWidget* parent);
  ~PreviewForm() override;

  // Shows `plan` of the folder `folder` (its bytes), up to date, in `language`; the filter, the check box and the
  // sort stay as they were.
  void ShowPlan(CleaningPlan plan, const std::string& folder, PreviewLanguage language);
  const CleaningPlan& plan() const { return plan_; }

  // While not up to date the line says so and Apply is disabled; Apply is enabled only while also allowed.
  void SetUpToDate(bool up_to_date);
  bool up_to_date() const { return up_to_date_; }
  void SetApplyAllowed(bool allowed);

 signals:
  void RefreshRequested();
  void ApplyRequested();

 private:
  void BuildControls();
  void SetTexts();
  void UpdateApply();
  // Around a new arrangement of the rows: the current row's file (or game) is remembered, then made current again.
  void RememberCurrent();
  void RestoreCurrent();

  CleaningPlan plan_;
  PreviewLanguage language_ = PreviewLanguage::kEnglish;
  PreviewModel* model_ = nullptr;
  QLabel* counts_ = nullptr;
  QLabel* filter_label_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QCheckBox* only_going_ = nullptr;
  QTreeView* list_ = nullptr;
  QLabel* out_of_date_ = nullptr;
  QPushButton* refresh_ = nullptr;
  QPushButton* apply_ = nullptr;
  bool up_to_date_ = true;
  bool apply_allowed_ = false;
  std::uint32_t current_ = kNoIndex;  // the listed index of the current file while the rows change
  bool current_is_game_ = false;      // the current row was that file's game
};

}  // namespace varnel

#endif  // VARNEL_SETTINGS_PREVIEW_FORM_H_
