#include "ui/job_form.h"

#include <QAbstractButton>
#include <QApplication>
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

bool EnglishChosen() {
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() != QLatin1String("MainForm")) continue;
    const auto* english = window->findChild<QAbstractButton*>(QStringLiteral("Option2"));
    return english == nullptr || english->isChecked();
  }
  return true;
}

}  // namespace varnel
