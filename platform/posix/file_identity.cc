#include "platform/file_identity.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/posix_file.h"

namespace varnel {

Status IdentifyFile(const std::string& path, FileIdentity* identity) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return ErrnoStatus(errno);
  if (S_ISDIR(info.st_mode)) return Status::Error(kNotAFile, EISDIR);
  *identity = IdentityOf(info);
  return Status::Ok();
}

}  // namespace varnel
