#include "ui/kit/drive_list.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/sub_folders.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box.h"

namespace varnel {

namespace {

bool IsPseudoFileSystem(const QByteArray& type) {
  static constexpr std::array<std::string_view, 25> kPseudo = {
      "autofs",   "binfmt_misc", "bpf",      "cgroup",  "cgroup2",         "configfs",    "debugfs",
      "devpts",   "devtmpfs",    "efivarfs", "fusectl", "fuse.gvfsd-fuse", "fuse.portal", "hugetlbfs",
      "mqueue",   "nsfs",        "proc",     "pstore",  "ramfs",           "rpc_pipefs",  "securityfs",
      "squashfs", "sysfs",       "tmpfs",    "tracefs"};
  const std::string_view name(type.constData(), static_cast<std::size_t>(type.size()));
  return std::find(kPseudo.begin(), kPseudo.end(), name) != kPseudo.end();
}

QString CleanRoot(const QString& root) { return QDir::toNativeSeparators(QDir::cleanPath(root)); }

}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  Refresh();
  connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
    previous_ = current_;
    current_ = Drive();
    if (index >= 0) emit DriveChanged(current_);
  });
}

QString DriveList::Drive() const { return currentData().toString(); }

void DriveList::AddVolume(const QString& root, const QString& label) {
  const QString clean = CleanRoot(root);
#ifdef _WIN32
  QString text = clean.left(2).toLower();
#else
  QString text = clean;
#endif
  if (!label.isEmpty() && label != clean) text += QStringLiteral(" [%1]").arg(label);
  addItem(text, clean);
}

QString DriveList::ShowVolumeOf(const QString& path) {
  const std::string bytes = PathBytes(path);
  // The roots above `path` are above one another too: the longest is the deepest.
  int deepest = -1;
  std::size_t length = 0;
  for (int i = 0; i < count(); ++i) {
    const std::string root = PathBytes(itemData(i).toString());
    if (root.size() <= length || !PathPartsBelow(root, bytes)) continue;
    deepest = i;
    length = root.size();
  }
  if (deepest < 0) {
    const QStorageInfo volume(path);
    AddVolume(volume.isValid() ? volume.rootPath() : path, volume.name());
    deepest = count() - 1;
  }
  Show(deepest);
  return Drive();
}

void DriveList::Refresh() {
  const QString chosen = Drive();
  const QSignalBlocker blocker(this);
  clear();
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType())) continue;
    if (findData(CleanRoot(volume.rootPath())) >= 0) continue;
    AddVolume(volume.rootPath(), volume.name());
  }
  // A volume listed by hand (a pseudo file system that holds the chosen folder) stays while it is mounted.
  if (!chosen.isEmpty() && findData(chosen) < 0) {
    const QStorageInfo volume(chosen);
    if (volume.isValid() && CleanRoot(volume.rootPath()) == chosen) AddVolume(chosen, volume.name());
  }
  setCurrentIndex(chosen.isEmpty() ? -1 : findData(chosen));
  current_ = Drive();
}

void DriveList::Show(int index) {
  const QSignalBlocker blocker(this);
  setCurrentIndex(index);
  current_ = Drive();
}

void DriveList::RestorePrevious() { Show(findData(previous_)); }

void DriveList::showPopup() {
  Refresh();
  QComboBox::showPopup();
}

QString FolderReadError(const QString& folder) {
#ifdef _WIN32
  const std::filesystem::path path(folder.toStdWString());
#else
  const std::filesystem::path path(QFile::encodeName(folder).toStdString());
#endif
  std::error_code error;
  std::filesystem::directory_iterator listing(path, error);
  if (!error) return QString();
  return QString::fromLocal8Bit(error.message());
}

void LinkDriveToFolder(DriveList* drives, FolderTree* folders) {
  folders->SetDriveList(drives);
  QObject::connect(drives, &DriveList::DriveChanged, folders, [drives, folders](const QString& root) {
    const QString reason = FolderReadError(root);
    if (!reason.isEmpty()) {
      ShowMessageBox(folders->window(), QStringLiteral("Cannot read %1: %2").arg(root, reason),
                     MessageIcon::kExclamation);
      drives->RestorePrevious();
      return;
    }
    folders->SetPath(root);
  });
}

}  // namespace varnel
