#include "ui/drive_list.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "ui/folder_tree.h"
#include "ui/message_box.h"

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
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType())) continue;
    if (findData(CleanRoot(volume.rootPath())) >= 0) continue;
    AddVolume(volume.rootPath(), volume.name());
  }
  current_ = currentIndex();
  connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
    previous_ = current_;
    current_ = index;
    if (index >= 0) emit DriveChanged(Drive());
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

void DriveList::SetDriveOf(const QString& path) {
  const QStorageInfo volume(path);
  const QString root = CleanRoot(volume.isValid() ? volume.rootPath() : path);
  int index = findData(root);
  if (index < 0) {
    AddVolume(root, volume.name());
    index = count() - 1;
  }
  if (index == currentIndex()) {
    emit DriveChanged(Drive());
  } else {
    setCurrentIndex(index);
  }
}

void DriveList::RestorePrevious() {
  const QSignalBlocker blocker(this);
  setCurrentIndex(previous_);
  current_ = previous_;
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
  QObject::connect(drives, &DriveList::DriveChanged, folders, [drives, folders](const QString& root) {
    const QString reason = FolderReadError(root);
    if (!reason.isEmpty()) {
      ShowMessageBox(folders->window(), QStringLiteral("Cannot read %1: %2").arg(root, reason), 48);
      drives->RestorePrevious();
      return;
    }
    folders->SetRoot(root);
  });
}

}  // namespace varnel
