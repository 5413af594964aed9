#ifndef VARNEL_UI_KIT_JOB_FORM_H_
#define VARNEL_UI_KIT_JOB_FORM_H_

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;

namespace varnel {

class DriveList;
class FolderTree;
class StateFile;

// The message of "Go" while no folder is chosen.
inline constexpr char kChooseAFolderFirst[] = "Choose a folder first.";

// The base of the three job windows. A job window never knows the menu: it asks for it with MenuRequested()
// and the form shell answers. Its close box shows the menu and destroys the window, so it comes back in its
// initial state the next time it is touched, but for what it keeps in the state file. Each window binds its keys
// (BindJobKeys): Ctrl+Return presses Go, Escape presses Quit, Return presses the focused button.
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

  // Keeps the state of the check box `box` between starts, as "<window>.<name>" in the state file ("1" checked,
  // "0" not). To be called before StartFolderList(), which gives the box the state kept.
  void RememberCheckBox(QAbstractButton* box, const char* name);
  // The same for a group of option buttons: the value is the place of the selected one, from "1".
  void RememberChoice(const char* name, std::vector<QAbstractButton*> options);

  // Links the window's drive and folder lists and chooses the folder it starts on: `given` when it is set;
  // else, as the state file at `state_path` keeps them under the window's object name, the folder of its last
  // Go, or else the last folder chosen in it, when that is still a folder; else the home folder ("C:\" on
  // Windows). The boxes and options remembered take the states kept there, a value that is none of theirs left
  // aside. From then on the folder chosen and those states are kept there too, when the window is hidden or
  // destroyed and at each Go.
  void StartFolderList(DriveList* drives, FolderTree* folders, const QString& given, std::string state_path);
  // The chosen folder, looked at once more. When none is chosen (or it is gone), says "Choose a folder first."
  // and gives nothing.
  std::optional<std::string> ChosenFolder();
  // The folder "Go" works on: ChosenFolder(), kept as the one of the window's last Go.
  std::optional<std::string> FolderForGo();

 private:
  // A check box (one button) or a group of option buttons kept in the state file.
  struct Remembered {
    std::string key;
    std::vector<QAbstractButton*> buttons;
  };

  // Gives the remembered controls the values `state` keeps for them.
  void RestoreRemembered(const StateFile& state);
  // Writes the values to the state file; a failure only shows in the program's output.
  void RememberState(bool with_go);

  FolderTree* folders_ = nullptr;
  std::string state_path_;
  std::string chosen_;  // the last folder chosen by the user
  std::string go_;      // the folder of the last Go
  std::vector<Remembered> remembered_;
  bool unsaved_ = false;  // chosen_ or a remembered control changed since the last write
};

// True when English is the language chosen in the main menu (the top-level window "MainForm", its option
// "Option2"), and when no menu is loaded, since every window is loaded with English texts.
bool EnglishChosen();

}  // namespace varnel

#endif  // VARNEL_UI_KIT_JOB_FORM_H_
