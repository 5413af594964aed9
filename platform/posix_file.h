#ifndef VARNEL_PLATFORM_POSIX_FILE_H_
#define VARNEL_PLATFORM_POSIX_FILE_H_

// What the POSIX side of the platform layer shares between its files; not for the jobs.

#ifndef _WIN32

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file_identity.h"
#include "platform/status.h"

namespace varnel {

// The system's reason for `error` (an errno value), with the number.
inline Status ErrnoStatus(int error) { return Status::Error(std::strerror(error), error); }

// The identity of a file the system described in `info`.
inline FileIdentity IdentityOf(const struct stat& info) {
  return FileIdentity{static_cast<std::uint64_t>(info.st_size),
                      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                      static_cast<std::uint64_t>(info.st_ino), static_cast<std::uint64_t>(info.st_dev)};
}

// A file descriptor closed when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Reset(-1); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes the descriptor held and takes `fd`.
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Gives the descriptor up without closing it.
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The running user's home folder in the password database, whatever $HOME says; empty when it has none.
inline std::string PasswordDatabaseHome() {
  const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry;
  passwd* found = nullptr;
  while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
    buffer.resize(buffer.size() * 2);
  }
  return found != nullptr && found->pw_dir != nullptr ? found->pw_dir : "";
}

// Moves the file `from` of the folder `from_folder` to `to` in `to_folder`, never replacing anything, as
// MoveWithoutReplace does. Either folder may be AT_FDCWD, its name then being a path.
Status MoveAt(int from_folder, const std::string& from, int to_folder, const std::string& to);

}  // namespace varnel

#endif  // _WIN32

#endif  // VARNEL_PLATFORM_POSIX_FILE_H_
