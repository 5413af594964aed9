#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/posix/posix_file.h"
#include "platform/system.h"

namespace varnel {
namespace {

// An entry of the listing counts when it is a regular file (a link to one counts too).
bool IsOrdinaryFile(int dir_fd, const dirent* entry) {
  if (entry->d_type == DT_REG) return true;
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return false;
  struct stat info;
  if (fstatat(dir_fd, entry->d_name, &info, 0) != 0) return false;
  return S_ISREG(info.st_mode);
}

}  // namespace

Status GatherOrdinaryFiles(const std::string& folder, GatheredNames* names) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return ErrnoStatus(errno);
  const int dir_fd = dirfd(dir);
  int error = 0;
  for (;;) {
    errno = 0;  // readdir tells its end from its failure only by errno
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      error = errno;
      break;
    }
    if (entry->d_name[0] == '.') continue;  // hidden, and the "." and ".." entries
    if (IsOrdinaryFile(dir_fd, entry)) names->Add(entry->d_name);
  }
  closedir(dir);
  // A listing cut short by a failure (an I/O error, a network folder gone stale) is no snapshot of the folder:
  // a job must not take it for one.
  if (error != 0) return ErrnoStatus(error);
  return Status::Ok();
}

}  // namespace varnel
