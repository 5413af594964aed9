#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>
#include <string>

#include "platform/posix/posix_file.h"

namespace varnel {
namespace {

// Appends each of `parts` to `path`, creating the folders that are absent, for the user alone.
Status EnsureFolders(std::string& path, std::initializer_list<const char*> parts) {
  for (const char* part : parts) {
    path += '/';
    path += part;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return ErrnoStatus(errno);
  }
  return Status::Ok();
}

}  // namespace

Status FolderLock::TakeLock(const std::string& folder) {
  // A folder that cannot be opened for reading (permission to enter it only) still has its lock file.
  FileDescriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!opened.valid()) return TakeLockFile(folder);
  if (::flock(opened.get(), LOCK_EX | LOCK_NB) == 0) {
    handle_ = opened.Release();
    return Status::Ok();
  }
  if (errno == EWOULDBLOCK) return ErrnoStatus(EWOULDBLOCK);
  return TakeLockFile(folder);
}

Status FolderLock::TakeLockFile(const std::string& folder) {
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISDIR(info.st_mode)) return ErrnoStatus(ENOTDIR);
  std::string path = PasswordDatabaseHome();
  if (path.empty()) return Status::Error("No home folder in the password database", ENOENT);
  if (Status status = EnsureFolders(path, {".local", "state", "varnel", "locks"}); !status.ok()) return status;
  path += '/' + std::to_string(info.st_dev) + '-' + std::to_string(info.st_ino) + ".lock";
  FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
  if (!file.valid()) return ErrnoStatus(errno);
  struct stat file_info;
  if (::fstat(file.get(), &file_info) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(file_info.st_mode)) return NotRegularFile();
  if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return ErrnoStatus(errno);
  // The file stays when the lock goes: removing it could let two jobs lock two different files of one name.
  handle_ = file.Release();
  lock_file_ = path;
  return Status::Ok();
}

void FolderLock::Release() {
  // Closing the only descriptor of the open file releases its flock.
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
  lock_file_.clear();
}

bool FolderLock::IsBusy(const Status& status) { return !status.ok() && status.code() == EWOULDBLOCK; }

}  // namespace varnel
