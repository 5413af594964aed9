// Moving one file without ever replacing another, and without ever showing a partial file under its final
// name: across devices the copy is written to a temporary, flushed, and only then named.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/posix/posix_file.h"
#include "platform/system.h"

namespace varnel {

namespace {

// Where the last separator of `path` is, or npos.
std::size_t LastSeparator(const std::string& path) { return path.rfind('/'); }

// Errors by which a file system (or an older kernel) refuses the flag of renameat2 rather than the move.
bool NoReplaceRenameRefused(int error) {
  return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EPERM;
}

// Errors by which a file system refuses hard links altogether.
bool HardLinksRefused(int error) {
  return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK || error == EINVAL;
}

// Errors by which a file system (or an older kernel) refuses O_TMPFILE.
bool UnnamedFilesRefused(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

int RenameNoReplace(int from_folder, const char* from, int to_folder, const char* to) {
#ifdef SYS_renameat2
  return static_cast<int>(syscall(SYS_renameat2, from_folder, from, to_folder, to, 1 /* RENAME_NOREPLACE */));
#else
  errno = ENOSYS;
  return -1;
#endif
}

// Gives the file `from` the name `to` on the same device, never replacing anything, taking the first way of
// `first` and later ones that the file system allows (kUnnamed counts as kRenameNoReplace). EXDEV when the
// two lie on different devices.
Status NameWithoutReplace(int from_folder, const std::string& from, int to_folder, const std::string& to,
                          TemporaryNaming first) {
  if (first <= TemporaryNaming::kRenameNoReplace) {
    if (RenameNoReplace(from_folder, from.c_str(), to_folder, to.c_str()) == 0) return Status::Ok();
    if (!NoReplaceRenameRefused(errno)) return ErrnoStatus(errno);
  }
  if (first <= TemporaryNaming::kLinkThenUnlink) {
    // A hard link cannot replace anything either.
    if (::linkat(from_folder, from.c_str(), to_folder, to.c_str(), 0) == 0) {
      if (::unlinkat(from_folder, from.c_str(), 0) == 0) return Status::Ok();
      const int error = errno;
      ::unlinkat(to_folder, to.c_str(), 0);
      return ErrnoStatus(error);
    }
    if (!HardLinksRefused(errno)) return ErrnoStatus(errno);
  }
  // Neither (exFAT through FUSE): a plain rename of a free name. No other Varnel job writes here meanwhile,
  // since the folder's lock is held.
  struct stat info;
  if (::fstatat(to_folder, to.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) return ErrnoStatus(EEXIST);
  if (errno != ENOENT) return ErrnoStatus(errno);
  if (::renameat(from_folder, from.c_str(), to_folder, to.c_str()) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

Status CopyContents(int source, int target) {
  std::vector<char> buffer(1 << 18);
  for (;;) {
    const ssize_t got = ::read(source, buffer.data(), buffer.size());
    if (got == 0) return Status::Ok();
    if (got < 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(errno);
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(target, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return ErrnoStatus(errno);
      }
      done += put;
    }
  }
}

// Gives the copy the source's permissions and times and, for root, its owner. A file system that cannot
// keep them (FAT has no owner) does not make the move fail: the data is what counts.
void KeepOwnerModeAndTimes(int fd, const struct stat& source) {
  [[maybe_unused]] int kept = 0;
  // The owner first: changing it clears the set-user-ID and set-group-ID bits.
  if (::geteuid() == 0) kept = ::fchown(fd, source.st_uid, source.st_gid);
  kept = ::fchmod(fd, source.st_mode & 07777);
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  kept = ::futimens(fd, times);
}

// The file a copy is written into before it gets its final name, in the target's folder: unnamed
// (O_TMPFILE), or named ".varnel-<pid>-<n>.tmp". A named one still standing when this goes is removed.
class Temporary {
 public:
  explicit Temporary(int folder) : folder_(folder) {}
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;
  ~Temporary() {
    if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
  }

  int fd() const { return fd_.get(); }

  // Creates the file: unnamed when `first` says so and the file system allows it, else named.
  Status Create(TemporaryNaming first) {
    if (first == TemporaryNaming::kUnnamed) {
      fd_.Reset(::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
      if (fd_.valid()) return Status::Ok();
      if (!UnnamedFilesRefused(errno)) return ErrnoStatus(errno);
    }
    for (int attempt = 0; attempt < kTemporaryTries; ++attempt) {
      const std::string name = NewTemporaryName();
      const int fd = ::openat(folder_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd >= 0) {
        fd_.Reset(fd);
        name_ = name;
        struct stat info;
        if (::fstat(fd, &info) != 0) return ErrnoStatus(errno);
        return S_ISREG(info.st_mode) ? Status::Ok() : NotRegularFile();
      }
      if (errno != EEXIST) return ErrnoStatus(errno);
    }
    return ErrnoStatus(EEXIST);
  }

  // Gives the finished file the name `target` in the folder, never replacing anything.
  Status Name(const std::string& target, TemporaryNaming first) {
    if (name_.empty()) {
      // linkat through /proc fails with EEXIST rather than replace; without /proc mounted, a privileged
      // process can still link the descriptor itself.
      const std::string proc_path = "/proc/self/fd/" + std::to_string(fd_.get());
      if (::linkat(AT_FDCWD, proc_path.c_str(), folder_, target.c_str(), AT_SYMLINK_FOLLOW) == 0) return Status::Ok();
      const int error = errno;
      if (error == ENOENT && ::linkat(fd_.get(), "", folder_, target.c_str(), AT_EMPTY_PATH) == 0) {
        return Status::Ok();
      }
      return ErrnoStatus(error);
    }
    const Status named = NameWithoutReplace(folder_, name_, folder_, target, first);
    if (named.ok()) name_.clear();  // it is the target now
    return named;
  }

 private:
  int folder_;
  FileDescriptor fd_;
  std::string name_;  // empty for an unnamed file, and once the file has its final name
};

// Copies the regular file `from` of `from_folder` into a temporary of `to_folder`, flushes it, names it `to`
// without replacing anything, flushes the folder and only then removes the source. Either folder may be
// AT_FDCWD, its name then being a path. On failure the source stays and no target is left.
Status CopyAt(int from_folder, const std::string& from, int to_folder, const std::string& to, TemporaryNaming first) {
  FileDescriptor opened_folder;
  std::string target = to;
  if (to_folder == AT_FDCWD) {
    const std::size_t separator = LastSeparator(to);
    const std::string folder = separator == std::string::npos ? "." : separator == 0 ? "/" : to.substr(0, separator);
    if (separator != std::string::npos) target = to.substr(separator + 1);
    opened_folder.Reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened_folder.valid()) return ErrnoStatus(errno);
    to_folder = opened_folder.get();
  }

  // O_NOFOLLOW: a link is not a regular file; O_NONBLOCK: opening a FIFO does not wait for a writer.
  FileDescriptor source(::openat(from_folder, from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!source.valid()) return errno == ELOOP ? NotRegularFile() : ErrnoStatus(errno);
  struct stat info;
  if (::fstat(source.get(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(info.st_mode)) return NotRegularFile();
  // A taken name fails now rather than after a long copy; the naming below still never replaces.
  struct stat taken;
  if (::fstatat(to_folder, target.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) return ErrnoStatus(EEXIST);

  Temporary temporary(to_folder);
  Status status = temporary.Create(first);
  if (status.ok()) status = CopyContents(source.get(), temporary.fd());
  if (!status.ok()) return status;
  KeepOwnerModeAndTimes(temporary.fd(), info);
  if (::fsync(temporary.fd()) != 0 && errno != EINVAL) return ErrnoStatus(errno);
  status = temporary.Name(target, first);
  if (!status.ok()) return status;
  // The new name is on disk before the source goes; a folder that cannot be flushed at all (EINVAL) has
  // nothing to flush.
  if (::fsync(to_folder) != 0 && errno != EINVAL) {
    const int error = errno;
    ::unlinkat(to_folder, target.c_str(), 0);
    return ErrnoStatus(error);
  }
  if (::unlinkat(from_folder, from.c_str(), 0) != 0) {
    const int error = errno;
    ::unlinkat(to_folder, target.c_str(), 0);  // the file stays once, at its source
    return ErrnoStatus(error);
  }
  return Status::Ok();
}

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

}  // namespace

Status RenameWithoutReplace(int from_folder, const std::string& from, int to_folder, const std::string& to) {
  return NameWithoutReplace(from_folder, from, to_folder, to, TemporaryNaming::kRenameNoReplace);
}

Status MoveAt(int from_folder, const std::string& from, int to_folder, const std::string& to) {
  const Status renamed = RenameWithoutReplace(from_folder, from, to_folder, to);
  if (renamed.code() != EXDEV) return renamed;
  return CopyAt(from_folder, from, to_folder, to, TemporaryNaming::kUnnamed);
}

Status MoveWithoutReplace(const std::string& from, const std::string& to) {
  return MoveAt(AT_FDCWD, from, AT_FDCWD, to);
}

Status CopyAcrossDevices(const std::string& from, const std::string& to, TemporaryNaming first) {
  return CopyAt(AT_FDCWD, from, AT_FDCWD, to, first);
}

Status RemoveLeftoverTemporaries(const std::string& folder, int* removed) {
  if (removed != nullptr) *removed = 0;
  const std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(folder.c_str()));
  if (directory == nullptr) return ErrnoStatus(errno);
  const int fd = ::dirfd(directory.get());
  Status status;
  while (const dirent* entry = ::readdir(directory.get())) {
    if (!IsMoveTemporaryName(entry->d_name)) continue;
    struct stat info;
    if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
    if (::unlinkat(fd, entry->d_name, 0) == 0) {
      if (removed != nullptr) ++*removed;
    } else if (status.ok()) {
      status = ErrnoStatus(errno);
    }
  }
  return status;
}

}  // namespace varnel
