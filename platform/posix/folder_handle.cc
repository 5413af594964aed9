#include "platform/folder_handle.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_ops.h"
#include "platform/posix/posix_file.h"

namespace varnel {

FolderHandle::~FolderHandle() { Close(); }

void FolderHandle::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void FolderHandle::Open(const std::string& path) {
  Close();
  path_ = path;
  fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

Status FolderHandle::RemoveFile(const std::string& name) const {
  if (fd_ < 0) return varnel::RemoveFile(JoinPath(path_, name));
  if (::unlinkat(fd_, name.c_str(), 0) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

Status FolderHandle::IdentifyFile(const std::string& name, FileIdentity* identity) const {
  if (fd_ < 0) return varnel::IdentifyFile(JoinPath(path_, name), identity);
  struct stat info;
  if (::fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return ErrnoStatus(errno);
  if (S_ISDIR(info.st_mode)) return Status::Error(kNotAFile, EISDIR);
  *identity = IdentityOf(info);
  return Status::Ok();
}

Status FolderHandle::ForEachName(const std::function<void(std::string_view name)>& each) const {
  // The listing reads through a descriptor of its own: the handle's stays where it is for the calls by name.
  const int fd = fd_ >= 0 ? ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                          : ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrnoStatus(errno);
  return ReadFolderEntries(fd, [&each](int, const dirent& entry) {
    const std::string_view name = entry.d_name;
    if (name != "." && name != "..") each(name);
  });
}

Status FolderHandle::MoveWithoutReplace(const std::string& name, const FolderHandle& target,
                                        const std::string& target_name) const {
  if (fd_ >= 0 && target.fd_ >= 0) return MoveAt(fd_, name, target.fd_, target_name);
  return varnel::MoveWithoutReplace(JoinPath(path_, name), JoinPath(target.path_, target_name));
}

}  // namespace varnel
