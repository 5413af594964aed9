#include "platform/file_ops.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace varnel {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  path.push_back(kPathSeparator);
  path.append(name);
  return path;
}

#ifdef _WIN32

namespace {

Status LastError() {
  const DWORD error = GetLastError();
  return Status::Error(SystemMessage(error), static_cast<int>(error));
}

}  // namespace

bool PathExists(const std::string& path) {
  return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Status MakeFolder(const std::string& path) {
  if (CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr)) return Status::Ok();
  return LastError();
}

Status RemoveFile(const std::string& path) {
  if (DeleteFileW(Utf8ToWide(path).c_str())) return Status::Ok();
  return LastError();
}

Status MoveWithoutReplace(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists; across volumes the system
  // copies, then deletes the source.
  if (MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), MOVEFILE_COPY_ALLOWED)) return Status::Ok();
  return LastError();
}

#else

namespace {

Status ErrnoStatus(int error) { return Status::Error(std::strerror(error), error); }

// A file descriptor closed when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports a failure of the close (data not written).
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

int RenameNoReplace(const char* from, const char* to) {
#ifdef SYS_renameat2
  return static_cast<int>(syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 1 /* RENAME_NOREPLACE */));
#else
  errno = ENOSYS;
  return -1;
#endif
}

Status CopyContents(int source, int target) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(source, buffer, sizeof buffer);
    if (got == 0) return Status::Ok();
    if (got < 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(errno);
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(target, buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return ErrnoStatus(errno);
      }
      done += put;
    }
  }
}

// Copies `from` to a new file `to` created exclusively, then removes `from`. On any failure the target is
// removed again, so the file stays exactly once, at its source.
Status CopyThenRemove(const std::string& from, const std::string& to) {
  struct stat info;
  if (::lstat(from.c_str(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(info.st_mode)) return Status::Error("Not a regular file", EINVAL);
  FileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (source.get() < 0) return ErrnoStatus(errno);
  FileDescriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777));
  if (target.get() < 0) return ErrnoStatus(errno);
  Status status = CopyContents(source.get(), target.get());
  if (status.ok()) {
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::futimens(target.get(), times);
    if (::fsync(target.get()) != 0 && errno != EINVAL) status = ErrnoStatus(errno);
  }
  if (target.Close() != 0 && status.ok()) status = ErrnoStatus(errno);
  if (status.ok() && ::unlink(from.c_str()) != 0) status = ErrnoStatus(errno);
  if (!status.ok()) ::unlink(to.c_str());
  return status;
}

}  // namespace

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

Status RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

Status MoveWithoutReplace(const std::string& from, const std::string& to) {
  if (RenameNoReplace(from.c_str(), to.c_str()) == 0) return Status::Ok();
  const int rename_error = errno;
  if (rename_error == EXDEV) return CopyThenRemove(from, to);
  if (rename_error != EINVAL && rename_error != ENOSYS && rename_error != ENOTSUP && rename_error != EPERM) {
    return ErrnoStatus(rename_error);
  }
  // The file system refuses a no-replace rename: a hard link cannot replace anything either.
  if (::link(from.c_str(), to.c_str()) == 0) {
    if (::unlink(from.c_str()) == 0) return Status::Ok();
    const int unlink_error = errno;
    ::unlink(to.c_str());
    return ErrnoStatus(unlink_error);
  }
  const int link_error = errno;
  if (link_error == EEXIST || link_error == ENOENT || link_error == EACCES || link_error == EROFS) {
    return ErrnoStatus(link_error);
  }
  return CopyThenRemove(from, to);  // no hard links here (some FUSE or network file systems), or EXDEV
}

#endif

}  // namespace varnel
