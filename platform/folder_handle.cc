#include "platform/folder_handle.h"

#include "platform/file_ops.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix_file.h"
#endif

namespace varnel {

FolderHandle::~FolderHandle() { Close(); }

void FolderHandle::Close() {
#ifndef _WIN32
  if (fd_ >= 0) ::close(fd_);
#endif
  fd_ = -1;
}

#ifdef _WIN32

// TODO: hold the folder open (a directory handle and FILE_DISPOSITION_INFO) if deleting by path ever shows
// up in a profile there; until then the paths are joined for each file, as before.
void FolderHandle::Open(const std::string& path) { path_ = path; }

Status FolderHandle::RemoveFile(const std::string& name) const { return varnel::RemoveFile(JoinPath(path_, name)); }

Status FolderHandle::IdentifyFile(const std::string& name, FileIdentity* identity) const {
  return varnel::IdentifyFile(JoinPath(path_, name), identity);
}

Status FolderHandle::MoveWithoutReplace(const std::string& name, const FolderHandle& target,
                                        const std::string& target_name) const {
  return varnel::MoveWithoutReplace(JoinPath(path_, name), JoinPath(target.path_, target_name));
}

#else

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

Status FolderHandle::MoveWithoutReplace(const std::string& name, const FolderHandle& target,
                                        const std::string& target_name) const {
  if (fd_ >= 0 && target.fd_ >= 0) return MoveAt(fd_, name, target.fd_, target_name);
  return varnel::MoveWithoutReplace(JoinPath(path_, name), JoinPath(target.path_, target_name));
}

#endif

}  // namespace varnel
