#include "ui/kit/job_form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <utility>
#include <vector>

#include "settings/state_file.h"
#include "ui/kit/drive_list.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box.h"

namespace varnel {

namespace {

std::string StateKey(const QWidget* window, const char* what) {
  return window->objectName().toStdString() + '.' + what;
}

// The value a remembered control is kept as: "1" or "0" for a check box, the place of the selected option
// from "1" for a group ("0" when none is selected).
std::string ValueOf(const std::vector<QAbstractButton*>& buttons) {
  if (buttons.size() == 1) return buttons[0]->isChecked() ? "1" : "0";
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i]->isChecked()) return std::to_string(i + 1);
  }
  return "0";
}

// Sets the controls to a value kept by ValueOf(); a value that is none of theirs changes nothing.
void SetValue(const std::vector<QAbstractButton*>& buttons, const std::string& value) {
  if (buttons.size() == 1) {
    if (value == "1" || value == "0") buttons[0]->setChecked(value == "1");
    return;
  }
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (value == std::to_string(i + 1)) buttons[i]->setChecked(true);
  }
}

}  // namespace

JobForm::JobForm(QWidget* parent) : QWidget(parent) {}

JobForm::~JobForm() {
  if (unsaved_) RememberState(false);
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
  if (unsaved_) RememberState(false);
  QWidget::hideEvent(event);
}

void JobForm::RememberCheckBox(QAbstractButton* box, const char* name) {
  remembered_.push_back({StateKey(this, name), {box}});
}

void JobForm::RememberChoice(const char* name, std::vector<QAbstractButton*> options) {
  remembered_.push_back({StateKey(this, name), std::move(options)});
}

void JobForm::RestoreRemembered(const StateFile& state) {
  for (const Remembered& control : remembered_) {
    if (const std::optional<std::string> value = state.Get(control.key)) SetValue(control.buttons, *value);
    for (QAbstractButton* button : control.buttons) {
      connect(button, &QAbstractButton::toggled, this, [this] { unsaved_ = true; });
    }
  }
}

void JobForm::StartFolderList(DriveList* drives, FolderTree* folders, const QString& given, std::string state_path) {
  LinkDriveToFolder(drives, folders);
  folders_ = folders;
  state_path_ = std::move(state_path);
  StateFile state;
  LoadStateFile(state_path_, &state).IgnoreError();  // an unreadable state remembers nothing: the defaults show
  RestoreRemembered(state);
  bool started = false;
  if (!given.isEmpty()) {
    started = folders->SetPath(given);
  } else {
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

std::optional<std::string> JobForm::ChosenFolder() {
  if (folders_ == nullptr || !folders_->CheckFolder()) {
    ShowMessageBox(this, QString::fromUtf8(kChooseAFolderFirst), MessageIcon::kExclamation);
    return std::nullopt;
  }
  return folders_->Folder();
}

std::optional<std::string> JobForm::FolderForGo() {
  const std::optional<std::string> chosen = ChosenFolder();
  if (!chosen) return std::nullopt;
  const std::string& folder = *chosen;
  if (folder != go_ || unsaved_) {
    go_ = folder;
    chosen_ = folder;
    RememberState(true);
  }
  return folder;
}

void JobForm::RememberState(bool with_go) {
  std::vector<std::pair<std::string, std::string>> values;
  if (!chosen_.empty()) values.emplace_back(StateKey(this, "chosen_folder"), chosen_);
  if (with_go) values.emplace_back(StateKey(this, "go_folder"), go_);
  for (const Remembered& control : remembered_) values.emplace_back(control.key, ValueOf(control.buttons));
  const Status status = UpdateStateFile(state_path_, values);
  unsaved_ = false;
  if (!status.ok()) {
    qWarning("Cannot keep the state of %s in %s: %s", qPrintable(objectName()), state_path_.c_str(),
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
