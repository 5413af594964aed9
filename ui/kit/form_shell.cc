#include "ui/kit/form_shell.h"

#include <QCoreApplication>

#include "ui/kit/job_form.h"

namespace varnel {

FormShell::FormShell() : no_menu_action_([] { QCoreApplication::quit(); }) {}

FormShell::~FormShell() {
  for (QPointer<QWidget>& form : forms_) delete form.data();
}

void FormShell::SetFactory(FormId id, Factory factory) { factories_[Index(id)] = std::move(factory); }

QWidget* FormShell::Form(FormId id) {
  QPointer<QWidget>& form = forms_[Index(id)];
  if (!form.isNull()) return form.data();
  const Factory& factory = factories_[Index(id)];
  if (!factory) return nullptr;
  form = factory();
  if (auto* job = qobject_cast<JobForm*>(form.data())) {
    connect(job, &JobForm::MenuRequested, this, &FormShell::ShowMenu);
  }
  if (load_handler_ && !form.isNull()) load_handler_(id, form.data());
  return form.data();
}

void FormShell::Show(FormId id) {
  QWidget* form = Form(id);
  if (form == nullptr) return;
  form->show();
  form->raise();
  form->activateWindow();
}

QString FormShell::RunningJobFolder() const {
  for (const QPointer<QWidget>& form : forms_) {
    if (const auto* job = qobject_cast<const JobForm*>(form.data())) {
      if (QString folder = job->RunningJobFolder(); !folder.isEmpty()) return folder;
    }
  }
  return {};
}

void FormShell::EndProgram() {
  ending_ = true;
  QCoreApplication::quit();
}

void FormShell::ShowMenu() {
  if (!factories_[Index(FormId::kMainForm)]) {
    if (no_menu_action_) no_menu_action_();
    return;
  }
  Show(FormId::kMainForm);
}

}  // namespace varnel
