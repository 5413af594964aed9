// The freedesktop.org trash: each file gets its record in info/, on disk, before it is renamed into files/,
// in the home trash or, for a file on another volume, in that volume's own trash.

#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>

#include "platform/file_ops.h"
#include "platform/posix/posix_file.h"
#include "platform/url_path.h"

namespace varnel {
namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
// Names tried for one file, "<stem>.2<extension>" and on, before giving up.
constexpr int kNameTries = 10000;

// The failure of a trash that cannot be used: "Cannot use the trash <trash>: <reason>".
Status Unusable(const std::string& trash, const std::string& reason, int code) {
  return Status::Error(reason, code).About("use the trash", trash);
}

// `folder` and `name` joined by one "/", however `folder` ends.
std::string Child(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  return path.append(name);
}

// The folder that holds `path`, or "/" for the root's own entries.
std::string Parent(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// The local time now, as a record's DeletionDate: YYYY-MM-DDThh:mm:ss.
std::string DeletionDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[32] = "";
  if (::localtime_r(&now, &local) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// The name the `number`th try gives the file `name` in the trash: the name itself, then "<stem>.<number>
// <extension>". The stem is cut where the record's name would pass the longest name a folder takes, before a
// UTF-8 character rather than inside it.
std::string TrashName(std::string_view name, int number) {
  constexpr std::size_t kRoom = NAME_MAX - kInfoSuffix.size();
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) dot = name.size();
  std::string_view stem = name.substr(0, dot), extension = name.substr(dot);
  std::string suffix = number > 1 ? "." + std::to_string(number) : std::string();
  if (suffix.size() + extension.size() >= kRoom) stem = name, extension = {};  // no room for the stem: number last
  suffix.append(extension);
  if (stem.size() + suffix.size() > kRoom) {
    const std::size_t keep = kRoom - suffix.size();
    std::size_t cut = keep;
    while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
    stem = stem.substr(0, cut > 0 ? cut : keep);
  }
  return std::string(stem).append(suffix);
}

// Makes the folder `path` and those missing above it, each with mode 0700.
Status MakePrivateFolders(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? Status::Ok() : ErrnoStatus(ENOTDIR);
  if (errno != ENOENT) return ErrnoStatus(errno);
  if (const std::string parent = Parent(path); parent != path) {
    if (const Status made = MakePrivateFolders(parent); !made.ok()) return made;
  }
  if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return Status::Ok();
  return ErrnoStatus(errno);
}

// The device of `path`, or of the nearest folder above it that exists.
std::optional<dev_t> DeviceOf(std::string path) {
  for (;;) {
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) return info.st_dev;
    if ((errno != ENOENT && errno != ENOTDIR) || path == "/") return std::nullopt;
    path = Parent(path);
  }
}

// What tells the mount that holds `path` (itself, not what a link names) from the others: the mount's id where
// the kernel gives one, else the device.
std::optional<std::uint64_t> MountOf(const std::string& path) {
#if defined(__linux__) && defined(STATX_MNT_ID)
  struct statx extended;
  if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &extended) == 0 &&
      (extended.stx_mask & STATX_MNT_ID) != 0) {
    return extended.stx_mnt_id;
  }
#endif
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_dev);
}

// The top folder of the volume that holds `folder` (absolute, without links): the highest folder above it on
// the same mount.
std::string TopFolderOf(const std::string& folder) {
  const std::optional<std::uint64_t> mount = MountOf(folder);
  std::string top = folder;
  while (top != "/") {
    const std::string parent = Parent(top);
    if (MountOf(parent) != mount) break;
    top = parent;
  }
  return top;
}

// The home trash: $XDG_DATA_HOME/Trash (a relative value is ignored), else ~/.local/share/Trash; empty when
// there is no home folder.
std::string HomeTrashPath() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return Child(data, "Trash");
  const char* home = std::getenv("HOME");
  const std::string home_folder = home != nullptr && home[0] == '/' ? home : PasswordDatabaseHome();
  return home_folder.empty() ? std::string() : Child(home_folder, ".local/share/Trash");
}

// Opens the folder `name` of `parent`, made with mode 0700 when missing, never through a link. With
// `own_only` it must belong to this user and be closed to others' writes. The reason of a failure is a short
// text.
Status OpenTrashFolder(int parent, const std::string& name, bool own_only, FileDescriptor* folder) {
  if (::mkdirat(parent, name.c_str(), 0700) != 0 && errno != EEXIST) return ErrnoStatus(errno);
  folder->Reset(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!folder->valid()) {
    const int error = errno;
    struct stat info;
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
      if (S_ISLNK(info.st_mode)) return Status::Error("it is a symbolic link", ELOOP);
      if (!S_ISDIR(info.st_mode)) return Status::Error("it is not a folder", ENOTDIR);
    }
    return ErrnoStatus(error);
  }
  struct stat info;
  if (::fstat(folder->get(), &info) != 0) return ErrnoStatus(errno);
  if (own_only && info.st_uid != ::geteuid()) return Status::Error("it belongs to another user", EPERM);
  if (own_only && (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) return Status::Error("others may write in it", EPERM);
  return Status::Ok();
}

}  // namespace

class Trash::Impl {
 public:
  Status MoveToTrash(const std::string& folder, const std::string& name, TrashEntry* entry) {
    if (!folder_fd_.valid() || folder != folder_) {
      if (const Status opened = OpenFolder(folder); !opened.ok()) return opened;
    }
    if (!trash_) trash_ = ChooseTrash();
    Status put = Put(name, entry);
    if (put.code() == EXDEV && trash_->top.empty()) {
      // The home trash's device, but another mount of it (a bind mount): the volume's own trash takes the files.
      trash_ = VolumeTrash();
      put = Put(name, entry);
    }
    return put;
  }

 private:
  // A trash: the folder that holds "files" and "info", both held open.
  struct Can {
    std::string path;
    std::string top;  // a volume trash: the volume's top folder, which its records' paths start from; else empty
    FileDescriptor files;
    FileDescriptor info;
    Status refusal;  // why this trash cannot be used; the fields above are then unused
  };

  Status OpenFolder(const std::string& folder) {
    folder_ = folder;
    trash_.reset();
    folder_fd_.Reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder_fd_.valid()) return ErrnoStatus(errno);
    char* real = ::realpath(folder.c_str(), nullptr);
    if (real == nullptr) {
      const int error = errno;
      folder_fd_.Reset(-1);
      return ErrnoStatus(error);
    }
    real_folder_ = real;
    std::free(real);
    return Status::Ok();
  }

  // The home trash when the folder lies on its device, else the trash of the folder's volume.
  std::unique_ptr<Can> ChooseTrash() const {
    const std::string home = HomeTrashPath();
    struct stat info;
    if (home.empty() || ::fstat(folder_fd_.get(), &info) != 0 || DeviceOf(home) != info.st_dev) return VolumeTrash();
    auto can = std::make_unique<Can>();
    can->path = home;
    const std::string parent_path = Parent(home);
    if (const Status made = MakePrivateFolders(parent_path); !made.ok()) {
      can->refusal = Unusable(home, made.message(), made.code());
      return can;
    }
    const FileDescriptor parent(::open(parent_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid()) {
      const int error = errno;
      can->refusal = Unusable(home, std::strerror(error), error);
      return can;
    }
    OpenCan(parent.get(), "Trash", false, can.get());
    return can;
  }

  // $topdir/.Trash/<uid> when $topdir/.Trash is a folder of its own with the sticky bit, else $topdir/.Trash-<uid>.
  std::unique_ptr<Can> VolumeTrash() const {
    auto can = std::make_unique<Can>();
    can->top = TopFolderOf(real_folder_);
    const std::string uid = std::to_string(::getuid());
    const FileDescriptor top(::open(can->top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!top.valid()) {
      const int error = errno;
      can->path = Child(can->top, ".Trash-" + uid);
      can->refusal = Unusable(can->path, std::strerror(error), error);
      return can;
    }
    struct stat shared;
    if (::fstatat(top.get(), ".Trash", &shared, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) != 0) {
      const FileDescriptor shared_fd(::openat(top.get(), ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      can->path = Child(Child(can->top, ".Trash"), uid);
      if (shared_fd.valid() && OpenCan(shared_fd.get(), uid, true, can.get())) return can;
      can->refusal = Status::Ok();  // the shared trash failed its checks: the user's own is tried
    }
    can->path = Child(can->top, ".Trash-" + uid);
    OpenCan(top.get(), ".Trash-" + uid, true, can.get());
    return can;
  }

  // Opens the trash `name` of `parent` (can->path) with its "files" and "info". False, with can->refusal set,
  // when it cannot be used.
  static bool OpenCan(int parent, const std::string& name, bool own_only, Can* can) {
    FileDescriptor trash;
    Status status = OpenTrashFolder(parent, name, own_only, &trash);
    std::string failed = can->path;
    if (status.ok()) {
      status = OpenTrashFolder(trash.get(), "files", own_only, &can->files);
      failed = Child(can->path, "files");
    }
    if (status.ok()) {
      status = OpenTrashFolder(trash.get(), "info", own_only, &can->info);
      failed = Child(can->path, "info");
    }
    if (!status.ok()) can->refusal = Unusable(failed, status.message(), status.code());
    return status.ok();
  }

  // Writes the record of `name` under a free name of the trash, puts it on disk, then renames the file into
  // "files" under that name. A name taken in either folder moves on to the next one.
  Status Put(const std::string& name, TrashEntry* entry) {
    const Can& can = *trash_;
    if (!can.refusal.ok()) return can.refusal;
    std::string original = real_folder_;
    if (!can.top.empty()) {
      original = real_folder_ == can.top ? std::string() : real_folder_.substr(can.top == "/" ? 1 : can.top.size() + 1);
    }
    original = original.empty() ? name : Child(original, name);
    const std::string record =
        "[Trash Info]\nPath=" + PercentEncodedPath(original) + "\nDeletionDate=" + DeletionDate() + "\n";
    for (int number = 1; number <= kNameTries; ++number) {
      const std::string trash_name = TrashName(name, number);
      const std::string info_name = trash_name + std::string(kInfoSuffix);
      FileDescriptor info(
          ::openat(can.info.get(), info_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
      if (!info.valid()) {
        if (errno == EEXIST) continue;
        return ErrnoStatus(errno);
      }
      Status status = WriteAll(info.get(), record);
      if (status.ok() && ::fsync(info.get()) != 0 && errno != EINVAL) status = ErrnoStatus(errno);
      if (status.ok() && !info.Close()) status = ErrnoStatus(errno);
      if (status.ok()) status = RenameWithoutReplace(folder_fd_.get(), name, can.files.get(), trash_name);
      if (status.ok()) {
        if (entry != nullptr) *entry = TrashEntry{can.path, trash_name};
        return status;
      }
      ::unlinkat(can.info.get(), info_name.c_str(), 0);
      if (status.code() != EEXIST) return status;
    }
    return ErrnoStatus(EEXIST);
  }

  std::string folder_;       // as the caller names it
  std::string real_folder_;  // absolute, without links
  FileDescriptor folder_fd_;
  std::unique_ptr<Can> trash_;  // the trash of the folder's files, once chosen
};

Trash::Trash() : impl_(std::make_unique<Impl>()) {}
Trash::~Trash() = default;

Status Trash::MoveToTrash(const std::string& folder, const std::string& name, TrashEntry* entry) {
  return impl_->MoveToTrash(folder, name, entry);
}

std::string TrashEntryPath(const TrashEntry& entry) {
  if (entry.trash.empty() || entry.name.empty()) return {};
  return entry.trash + "/files/" + entry.name;
}

std::string TrashInfoPath(const TrashEntry& entry) {
  if (entry.trash.empty() || entry.name.empty()) return {};
  return entry.trash + "/info/" + entry.name + std::string(kInfoSuffix);
}

}  // namespace varnel
