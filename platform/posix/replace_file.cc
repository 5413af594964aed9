#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/posix/posix_file.h"

namespace varnel {

namespace {

// Numbers the temporary files of this process, so that two saves never pick the same name.
std::atomic<unsigned> temporary_count{0};

// The folder part of `path`: "." for a bare name, "/" for a name at the root.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows `path` through its chain of symbolic links to the name that is not a link; `info` is that name's,
// and `exists` false when nothing has that name yet. A relative link is read from the folder of the link.
Status FinalTarget(const std::string& path, std::string* target, struct stat* info, bool* exists) {
  constexpr int kMaxLinks = 40;
  *target = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    if (::lstat(target->c_str(), info) != 0) {
      if (errno != ENOENT) return ErrnoStatus(errno);
      *exists = false;
      return Status::Ok();
    }
    if (!S_ISLNK(info->st_mode)) {
      *exists = true;
      return S_ISREG(info->st_mode) ? Status::Ok() : Status::Error(kNotARegularFile);
    }
    std::string link(256, '\0');
    for (;;) {
      const ssize_t length = ::readlink(target->c_str(), link.data(), link.size());
      if (length < 0) return ErrnoStatus(errno);
      if (static_cast<std::size_t>(length) < link.size()) {
        link.resize(static_cast<std::size_t>(length));
        break;
      }
      link.resize(link.size() * 2);
    }
    if (link.empty()) return ErrnoStatus(ENOENT);
    *target = link.front() == '/' ? link : FolderOf(*target) + "/" + link;
  }
  return ErrnoStatus(ELOOP);
}

}  // namespace

Status ReplaceWholeFile(const std::string& path, std::string_view contents) {
  std::string target;
  struct stat info;
  bool exists = false;
  if (Status status = FinalTarget(path, &target, &info, &exists); !status.ok()) return status;
  const std::string folder = FolderOf(target);

  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = folder + "/.varnel-" + std::to_string(::getpid()) + "-" + std::to_string(temporary_count++) + ".tmp";
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) return ErrnoStatus(errno);
  }
  FileDescriptor file(fd);
  Status status;
  if (exists) {
    // The replaced file's owner where the system allows it, then its permissions, umask aside.
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) (void)::fchown(file.get(), info.st_uid, info.st_gid);
    if (::fchmod(file.get(), info.st_mode & 07777) != 0) status = ErrnoStatus(errno);
  }
  if (status.ok()) status = WriteAll(file.get(), contents);
  if (status.ok() && ::fsync(file.get()) != 0) status = ErrnoStatus(errno);
  if (!file.Close() && status.ok()) status = ErrnoStatus(errno);
  if (status.ok() && ::rename(temporary.c_str(), target.c_str()) != 0) status = ErrnoStatus(errno);
  if (!status.ok()) {
    ::unlink(temporary.c_str());
    return status;
  }
  // The new name on disk too. The content is already there, so a folder that cannot be synced (some file
  // systems refuse) does not make the save a failure.
  FileDescriptor folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder_fd.get() >= 0) (void)::fsync(folder_fd.get());
  return Status::Ok();
}

}  // namespace varnel
