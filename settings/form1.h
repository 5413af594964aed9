#ifndef VARNEL_SETTINGS_FORM1_H_
#define VARNEL_SETTINGS_FORM1_H_

#include <QPointer>
#include <QString>
#include <functional>
#include <string>

#include "engine/run_settings.h"
#include "settings/config_file.h"
#include "settings/log_opener.h"
#include "settings/state_file.h"
#include "ui/kit/job_form.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QHideEvent;

namespace varnel {

class DriveList;
class FolderTree;
class Form1Host;
class PreviewForm;

// Where the cleaning window keeps and finds things; tests and benchmarks give their own.
struct Form1Options {
  std::string config_path = ConfigFilePath();
  // The folder the window starts on; empty means the folder it remembers, else the user's home folder ("C:\" on
  // Windows).
  QString start_folder;
  // Opens the log at the end of a run; empty means OpenLogInEditor() with `log_opener`.
  std::function<void(const std::string&)> open_log;
  // Where the window remembers its folders and options.
  std::string state_path = StateFilePath();
  // The program that opens the log, outside Windows.
  std::string log_opener = kDesktopOpener;
};

// The cleaning window. Every option of a run lives in its controls (tests find them by their object names);
// "Go" runs the cleaning of the folder chosen in `Dir1`, under the wait cursor. Creating the window loads it: the
// configuration file is read silently and the defaults fill in for a missing, unreadable or short file; the
// zone mode and the Open logfile, Move, multi-extension and Trash boxes take the states kept in the state file
// (Test always starts checked). A click on the label beside a box toggles it; Move and Trash clear each other.
// "Preview" (`Command5`) plans the chosen folder with the current settings, touching nothing, and shows the plan
// in a PreviewForm over the window, which closes when the window hides. The preview is out of date once the folder,
// a list, the translation choice, the zone mode or the multi-extension box changes; its "Apply" carries out the plan
// shown, with the disposal the window shows, while Test is unchecked and the preview is up to date.
class Form1 : public JobForm {
  Q_OBJECT

 public:
  explicit Form1(Form1Options options = Form1Options(), QWidget* parent = nullptr);

  // Reads the configuration file into the list boxes (and `ListeTrads` with `TradsYN` when it has a fourth
  // line); true when lines 1 to 3 were read. When it fails and AffErreur is set, shows "Problem with config
  // file" with a second line "<path>: <reason>", or, while no file exists at all, "No saved settings yet
  // (<path>)." (information icon, in French when the menu is). Boxes that received a line before a failure
  // keep it.
  bool LoadFile(bool AffErreur);

  // The options of a run as the controls hold them now (no folder while none is chosen). In the Kept and Excluded boxes
  // each typed line break stands for a comma (LineBreaksAsCommas).
  RunSettings CurrentRunSettings() const;
  // The list settings as the save button writes them, line breaks taken the same way.
  ConfigValues CurrentConfigValues() const;

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildControls();
  void Load();
  void SaveFile();
  void Go();
  void ApplyTranslationToggle();
  // "Preview", and the preview's "Refresh": plans the chosen folder and shows the plan.
  void Preview();
  // The preview's "Apply".
  void ApplyPreview();
  // Tells the preview whether it is up to date and whether it may apply.
  void UpdatePreview();
  // The host of a run started here: its boxes over `over`, the window's progress bar and result line.
  Form1Host MakeHost(QWidget* over);

  Form1Options options_;
  DriveList* drives_ = nullptr;
  FolderTree* folders_ = nullptr;
  QLineEdit* zones_ = nullptr;
  QPlainTextEdit* kept_ = nullptr;
  QPlainTextEdit* excluded_ = nullptr;
  QCheckBox* translations_wanted_ = nullptr;
  QLineEdit* translations_ = nullptr;
  QCheckBox* test_ = nullptr;
  QCheckBox* open_log_ = nullptr;
  QCheckBox* move_ = nullptr;
  QCheckBox* multi_ext_ = nullptr;
  QCheckBox* trash_ = nullptr;
  QAbstractButton* option1_ = nullptr;
  QAbstractButton* option2_ = nullptr;
  QAbstractButton* option3_ = nullptr;
  QAbstractButton* option4_ = nullptr;
  QLabel* zones_title_ = nullptr;
  QLabel* legend_left_ = nullptr;
  QLabel* legend_right_ = nullptr;
  QLabel* result_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPointer<PreviewForm> preview_;
  RunSettings previewed_;         // the settings the preview's plan was made with
  bool preview_refused_ = false;  // the folder no longer held the plan's names: out of date until refreshed
};

}  // namespace varnel

#endif  // VARNEL_SETTINGS_FORM1_H_
