#include "ui/job_form.h"

#include <QCloseEvent>

namespace varnel {

JobForm::JobForm(QWidget* parent) : QWidget(parent) {}

void JobForm::HideAndRequestMenu() {
  hide();
  emit MenuRequested();
}

void JobForm::closeEvent(QCloseEvent* event) {
  event->accept();
  emit MenuRequested();
  deleteLater();
}

}  // namespace varnel
