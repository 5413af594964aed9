#include "app/run_varnel.h"

#include <QCoreApplication>

#include "history/history_form.h"
#include "jobs/alpha/form2.h"
#include "jobs/zip/form3.h"
#include "settings/form1.h"
#include "ui/apply_language.h"
#include "ui/kit/form_shell.h"
#include "ui/kit/stop_signal_notifier.h"
#include "ui/kit/varnel_application.h"
#include "ui/main_form.h"

namespace varnel {

void RegisterVarnelForms(FormShell& shell) {
  FollowLanguage(shell);
  shell.SetFactory(FormId::kForm1, [] { return new Form1(); });
  shell.SetFactory(FormId::kForm2, [] { return new Form2(); });
  shell.SetFactory(FormId::kForm3, [] { return new Form3(); });
  shell.SetFactory(FormId::kHistoryForm, [] { return new HistoryForm(); });
  shell.SetFactory(FormId::kMainForm, [&shell] {
    auto* menu = new MainForm(shell);
    // quit() closes the visible windows only, and the menu is already closing: the hidden job windows are
    // destroyed with the shell without running a handler, and a zip job under way sees the Quit event.
    QObject::connect(menu, &MainForm::EndRequested, QCoreApplication::instance(), &QCoreApplication::quit);
    return menu;
  });
}

std::unique_ptr<StopSignalNotifier> EndProgramOnStopSignals(FormShell& shell) {
  auto notifier = std::make_unique<StopSignalNotifier>();
  QObject::connect(notifier.get(), &StopSignalNotifier::StopRequested, &shell, &FormShell::EndProgram);
  return notifier;
}

int RunVarnel(int argc, char** argv) {
  VarnelApplication app(argc, argv);
  // Hiding or closing job windows never ends the program: only the menu's "Quit" and close box do.
  app.setQuitOnLastWindowClosed(false);
  FormShell shell;
  RegisterVarnelForms(shell);
  const std::unique_ptr<StopSignalNotifier> stop_signals = EndProgramOnStopSignals(shell);
  // Loading the menu applies the French captions, which loads the three job windows, hidden.
  shell.Show(FormId::kMainForm);
  return app.exec();
}

}  // namespace varnel
