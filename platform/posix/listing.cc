#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

Status ReadFolderEntries(int fd, const std::function<void(int folder_fd, const dirent& entry)>& each) {
  if (fd < 0) return ErrnoStatus(EBADF);
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    const int error = errno;
    ::close(fd);
    return ErrnoStatus(error);
  }
  int error = 0;
  for (;;) {
    errno = 0;  // readdir tells its end from its failure only by errno
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) {
      error = errno;
      break;
    }
    each(fd, *entry);
  }
  ::closedir(dir);
  return error == 0 ? Status::Ok() : ErrnoStatus(error);
}

Status GatherOrdinaryFiles(const std::string& folder, GatheredNames* names) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrnoStatus(errno);
  // A listing cut short by a failure (an I/O error, a network folder gone stale) is no snapshot of the folder:
  // a job must not take it for one.
  return ReadFolderEntries(fd, [names](int folder_fd, const dirent& entry) {
    if (entry.d_name[0] == '.') return;  // hidden, and the "." and ".." entries
    if (IsOrdinaryFile(folder_fd, &entry)) names->Add(entry.d_name);
  });
}

}  // namespace varnel
