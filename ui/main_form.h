#ifndef VARNEL_UI_MAIN_FORM_H_
#define VARNEL_UI_MAIN_FORM_H_

#include <QWidget>
#include <cstdint>
#include <string>

#include "settings/state_file.h"
#include "ui/kit/form_shell.h"

namespace varnel {

// The main menu and start-up window: three job buttons, "History" (`Command5`), "Quit", and two flags over the
// option buttons that switch the whole interface between French (`Option1`) and English (`Option2`); a click on a
// flag chooses its language too. The banner's tool tip names the version that runs ("Varnel <version>"). Creating it
// loads it: the caption table is applied in the language chosen last, kept in the state file ("language" "fr" or
// "en"), else in French, which loads the job windows and the History window, hidden.
class MainForm : public QWidget {
  Q_OBJECT

 public:
  // `shell` owns the four windows; this window is the shell's kMainForm and must be created by its factory. The
  // language is kept in the state file at `state_path`.
  explicit MainForm(FormShell& shell, std::string state_path = StateFilePath(), QWidget* parent = nullptr);

 signals:
  // "Quit" or the close box: the program ends at once; while a job runs, only once the user agreed to stop it.
  void EndRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  // Hides the menu, then shows the job window `id`, loading it again when it was unloaded.
  void OpenJob(FormId id);
  // Applies the language and keeps it for the next start.
  void ChooseLanguage(int16_t LanguageId);

  FormShell& shell_;
  std::string state_path_;
};

}  // namespace varnel

#endif  // VARNEL_UI_MAIN_FORM_H_
