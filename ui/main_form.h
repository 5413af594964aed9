#ifndef VARNEL_UI_MAIN_FORM_H_
#define VARNEL_UI_MAIN_FORM_H_

#include <QWidget>
#include <cstdint>

#include "ui/form_shell.h"

namespace varnel {

// The main menu and start-up window: three job buttons, "Quit", and two flags over the option buttons that
// switch the whole interface between French (`Option1`) and English (`Option2`). Creating it loads it: the
// caption table is applied in French, which loads the three job windows, hidden.
class MainForm : public QWidget {
  Q_OBJECT

 public:
  // `shell` owns the four windows; this window is the shell's kMainForm and must be created by its factory.
  explicit MainForm(FormShell& shell, QWidget* parent = nullptr);

 signals:
  // "Quit" or the close box: the program ends at once; while a job runs, only once the user agreed to stop it.
  void EndRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  // Hides the menu, then shows the job window `id`, loading it again when it was unloaded.
  void OpenJob(FormId id);
  void ChooseLanguage(int16_t LanguageId);

  FormShell& shell_;
};

}  // namespace varnel

#endif  // VARNEL_UI_MAIN_FORM_H_
