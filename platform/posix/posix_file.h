#ifndef VARNEL_PLATFORM_POSIX_POSIX_FILE_H_
#define VARNEL_PLATFORM_POSIX_POSIX_FILE_H_

// What the POSIX files of the platform layer share; not for the jobs.

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_identity.h"
#include "platform/status.h"
#include "platform/system.h"  // ErrnoStatus

namespace varnel {

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
  // Closes now; false, with errno set, when the close reports that data was not written.
  bool Close() {
    const int fd = Release();
    return fd < 0 || ::close(fd) == 0;
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

// Writes all of `bytes` to `fd`, going on after a partial write or an interruption.
inline Status WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return Status::Ok();
}

// Calls `each` with every entry of the folder open as `fd` (which it takes over and closes), "." and ".."
// included, in the order the system keeps them, and the folder's descriptor for looking at an entry. Fails with
// the system's reason when `fd` is no open folder or the folder cannot be read whole.
Status ReadFolderEntries(int fd, const std::function<void(int folder_fd, const dirent& entry)>& each);

// Moves the file `from` of the folder `from_folder` to `to` in `to_folder`, never replacing anything, as
// MoveWithoutReplace does. Either folder may be AT_FDCWD, its name then being a path.
Status MoveAt(int from_folder, const std::string& from, int to_folder, const std::string& to);

// Renames the entry `from` of `from_folder` to `to` in `to_folder`, never replacing anything and never copying:
// renameat2(RENAME_NOREPLACE), or where the file system refuses it a hard link then an unlink, or a rename of a
// name found free. Fails with EXDEV when the two lie on different devices (or mounts).
Status RenameWithoutReplace(int from_folder, const std::string& from, int to_folder, const std::string& to);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_POSIX_POSIX_FILE_H_
