#include "ui/job_form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <utility>
#include <vector>

#include "settings/state_file.h"
#include "ui/drive_list.h"
#include "ui/folder_tree.h"
#include "ui/form_layout.h"
#include "ui/message_box.h"

namespace varnel {

namespace {

std::string StateKey(const QWidget* window, const char* what) {
  return window->objectName().toStdString() + '.' + what;
}

}  // namespace

JobForm::JobForm(QWidget* parent) : QWidget(parent) {}

JobForm::~JobForm() {
  if (unsaved_) RememberFolders(false);
}

void JobForm::HideAndRequestMenu() {
  hide();
  emit MenuRequested();
}

void JobForm::closeEvent(QCloseEvent* event) {
  event->accept();
  emit MenuRequested();
  deleteLater();
}

void JobForm::hideEvent(QHideEvent* event) {
  if (unsaved_) RememberFolders(false);
  QWidget::hideEvent(event);
}

void JobForm::StartFolderList(DriveList* drives, FolderTree* folders, const QString& given, std::string state_path) {
  LinkDriveToFolder(drives, folders);
  folders_ = folders;
  state_path_ = std::move(state_path);
  bool started = false;
  if (!given.isEmpty()) {
    started = folders->SetPath(given);
  } else {
    StateFile state;
    LoadStateFile(state_path_, &state);
    for (const char* what : {"go_folder", "chosen_folder"}) {
      const std::optional<std::string> folder = state.Get(StateKey(this, what));
      if (!started && folder) started = folders->SetFolder(*folder);
    }
    if (const std::optional<std::string> go = state.Get(StateKey(this, "go_folder"))) go_ = *go;
  }
  if (!started) started = folders->SetPath(DefaultStartFolder());
  if (!started) folders->SetPath(QDir::rootPath());
  connect(folders, &FolderTree::PathChanged, this, [this] {
    if (folders_->Folder().empty()) return;  // a folder dropped is no choice
    chosen_ = folders_->Folder();
    unsaved_ = true;
  });
}

std::optional<std::string> JobForm::FolderForGo() {
  if (folders_ == nullptr || !folders_->CheckFolder()) {
    ShowMessageBox(this, QString::fromUtf8(kChooseAFolderFirst), 48);
    return std::nullopt;
  }
  const std::string folder = folders_->Folder();
  if (folder != go_ || unsaved_) {
    go_ = folder;
    chosen_ = folder;
    RememberFolders(true);
  }
  return folder;
}

void JobForm::RememberFolders(bool with_go) {
  std::vector<std::pair<std::string, std::string>> values = {{StateKey(this, "chosen_folder"), chosen_}};
  if (with_go) values.emplace_back(StateKey(this, "go_folder"), go_);
  const Status status = UpdateStateFile(state_path_, values);
  unsaved_ = false;
  if (!status.ok()) {
    qWarning("Cannot keep the folders of %s in %s: %s", qPrintable(objectName()), state_path_.c_str(),
             status.message().c_str());
  }
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
