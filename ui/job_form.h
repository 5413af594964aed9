#ifndef VARNEL_UI_JOB_FORM_H_
#define VARNEL_UI_JOB_FORM_H_

#include <QWidget>
#include <optional>
#include <string>

namespace varnel {

class DriveList;
class FolderTree;

// The message of "Go" while no folder is chosen.
inline constexpr char kChooseAFolderFirst[] = "Choose a folder first.";

// The base of the three job windows. A job window never knows the menu: it asks for it with MenuRequested()
// and the form shell answers. Its close box shows the menu and destroys the window, so it comes back in its
// initial state the next time it is touched.
class JobForm : public QWidget {
  Q_OBJECT

 public:
  explicit JobForm(QWidget* parent = nullptr);
  ~JobForm() override;

  // The folder of the job this window runs, as the user chose it; empty while none runs.
  virtual QString RunningJobFolder() const { return {}; }

 signals:
  // The window wants the main menu shown.
  void MenuRequested();

 protected:
  // "Quit": hides the window, then asks for the menu; the controls keep their values.
  void HideAndRequestMenu();
  // The close box: asks for the menu, then the window is destroyed.
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  // Links the window's drive and folder lists and chooses the folder it starts on: `given` when it is set;
  // else, as the state file at `state_path` keeps them under the window's object name, the folder of its last
  // Go, or else the last folder chosen in it, when that is still a folder; else the home folder ("C:\" on
  // Windows). From then on the folder chosen is kept there too, when the window is hidden or destroyed.
  void StartFolderList(DriveList* drives, FolderTree* folders, const QString& given, std::string state_path);
  // The folder "Go" works on: the chosen folder, looked at once more. When none is chosen (or it is gone), says
  // "Choose a folder first." and gives nothing. The folder is kept as the one of the window's last Go.
  std::optional<std::string> FolderForGo();

 private:
  // Writes the values to the state file; a failure only shows in the program's output.
  void RememberFolders(bool with_go);

  FolderTree* folders_ = nullptr;
  std::string state_path_;
  std::string chosen_;    // the last folder chosen by the user
  std::string go_;        // the folder of the last Go
  bool unsaved_ = false;  // chosen_ was not written yet
};

// True when English is the language chosen in the main menu (the top-level window "MainForm", its option
// "Option2"), and when no menu is loaded, since every window is loaded with English texts.
bool EnglishChosen();

}  // namespace varnel

#endif  // VARNEL_UI_JOB_FORM_H_
