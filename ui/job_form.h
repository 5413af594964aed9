#ifndef VARNEL_UI_JOB_FORM_H_
#define VARNEL_UI_JOB_FORM_H_

#include <QWidget>

namespace varnel {

// The base of the three job windows. A job window never knows the menu: it asks for it with MenuRequested()
// and the form shell answers. Its close box shows the menu and destroys the window, so it comes back in its
// initial state the next time it is touched.
class JobForm : public QWidget {
  Q_OBJECT

 public:
  explicit JobForm(QWidget* parent = nullptr);

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
};

// True when English is the language chosen in the main menu (the top-level window "MainForm", its option
// "Option2"), and when no menu is loaded, since every window is loaded with English texts.
bool EnglishChosen();

}  // namespace varnel

#endif  // VARNEL_UI_JOB_FORM_H_
