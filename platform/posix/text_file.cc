#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/posix/posix_file.h"
#include "platform/system.h"

namespace varnel {

std::FILE* OpenStdioFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool IsAbsentOrPlainFile(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return true;
  return S_ISREG(info.st_mode) && info.st_nlink == 1;
}

Status LogFile::Open(const std::string& path, bool* not_regular) {
  *not_regular = false;
  Close().IgnoreError();  // the log opened before, which its owner gave up by opening another
  size_ = 0;
  // No O_TRUNC: the entry is emptied only once it is known to be the regular file it should be.
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
  if (!file.valid()) {
    const int error = errno;
    // A symbolic link (ELOOP; EMLINK on some systems), a FIFO or socket nobody reads (ENXIO), a folder.
    *not_regular = error == ELOOP || error == EMLINK || error == ENXIO || error == EISDIR;
    return ErrnoStatus(error);
  }
  struct stat info;
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
    const int error = errno;
    *not_regular = true;
    return Status::Error("Not a regular file", error != 0 ? error : EINVAL);
  }
  if (::ftruncate(file.get(), 0) != 0) return ErrnoStatus(errno);
  handle_ = file.Release();
  return Status::Ok();
}

Status LogFile::Create(const std::string& path) {
  Close().IgnoreError();  // the file opened before, which its owner gave up by creating another
  size_ = 0;
  // O_EXCL: never an entry that exists, and never through a link, even a dangling one.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return ErrnoStatus(errno);
  handle_ = fd;
  return Status::Ok();
}

Status LogFile::Append(std::string_view bytes) {
  if (!is_open()) return ErrnoStatus(EBADF);
  const int fd = static_cast<int>(handle_);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put > 0) {
      done += static_cast<std::size_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    // The write stopped short: what it put there is taken back, so the file ends on a whole batch.
    const int error = put < 0 ? errno : ENOSPC;
    if (done > 0 && ::ftruncate(fd, static_cast<off_t>(size_)) == 0) ::lseek(fd, static_cast<off_t>(size_), SEEK_SET);
    return ErrnoStatus(error);
  }
  size_ += done;
  return Status::Ok();
}

Status LogFile::Sync() {
  if (!is_open()) return ErrnoStatus(EBADF);
  // EINVAL: nothing to sync on this system
  if (::fdatasync(static_cast<int>(handle_)) == 0 || errno == EINVAL) return Status::Ok();
  return ErrnoStatus(errno);
}

Status LogFile::Close() {
  if (!is_open()) return Status::Ok();
  const int result = ::close(static_cast<int>(handle_));
  handle_ = -1;
  return result == 0 ? Status::Ok() : ErrnoStatus(errno);
}

}  // namespace varnel
