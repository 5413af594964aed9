#include "ui/run_varnel.h"

#include "jobs/alpha/form2.h"
#include "jobs/zip/form3.h"
#include "settings/form1.h"
#include "ui/form_shell.h"
#include "ui/varnel_application.h"

namespace varnel {

int RunVarnel(int argc, char** argv) {
  VarnelApplication app(argc, argv);
  FormShell shell;
  shell.SetFactory(FormId::kForm1, [] { return new Form1(); });
  shell.SetFactory(FormId::kForm2, [] { return new Form2(); });
  shell.SetFactory(FormId::kForm3, [] { return new Form3(); });
  // Until the main menu exists the cleaning window is the program: leaving it ends the program.
  shell.Show(FormId::kForm1);
  return app.exec();
}

}  // namespace varnel
