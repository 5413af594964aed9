#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/posix/posix_file.h"

namespace varnel {

Status NotRegularFile() { return Status::Error("Not a regular file", EINVAL); }

bool PathExists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Status MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

FolderObstacle FolderObstacleAt(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return FolderObstacle::kNone;
  if (S_ISLNK(info.st_mode)) return FolderObstacle::kLink;
  return S_ISDIR(info.st_mode) ? FolderObstacle::kNone : FolderObstacle::kFile;
}

bool IsNameTaken(const Status& status) { return !status.ok() && status.code() == EEXIST; }

Status RemoveEmptyFolder(const std::string& path) {
  if (::rmdir(path.c_str()) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

Status RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  char folder[PATH_MAX];
  if (::getcwd(folder, sizeof folder) == nullptr) return "./" + path;
  return JoinPath(folder, path);
}

bool RegularFileSize(const std::string& path, std::uint64_t* size) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (size != nullptr) *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

Status CheckRegularFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(info.st_mode)) return NotRegularFile();
  return Status::Ok();
}

namespace {

// fsync on `fd`; a file system that cannot flush at all (EINVAL) has nothing to flush.
Status Sync(int fd) {
  if (::fsync(fd) == 0 || errno == EINVAL) return Status::Ok();
  return ErrnoStatus(errno);
}

}  // namespace

Status FlushFile(const std::string& path) {
  // O_NONBLOCK: a FIFO put in the file's place is not waited on; it is refused below.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file.valid()) return ErrnoStatus(errno);
  struct stat info;
  if (::fstat(file.get(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(info.st_mode)) return NotRegularFile();
  return Sync(file.get());
}

Status FlushFolder(const std::string& path) {
  const FileDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return ErrnoStatus(errno);
  return Sync(folder.get());
}

}  // namespace varnel
