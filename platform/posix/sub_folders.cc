#include "platform/sub_folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "platform/listing.h"
#include "platform/posix/posix_file.h"
#include "platform/system.h"

namespace varnel {

bool SameEntryName(std::string_view a, std::string_view b) { return a == b; }

namespace {

// True when the entry is a folder, or a link to one. d_type answers for most entries; the others are looked at.
bool IsSubFolder(int folder_fd, const dirent* entry) {
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
  struct stat info;
  return ::fstatat(folder_fd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

Status ListSubFolders(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrnoStatus(errno);
  const Status read = ReadFolderEntries(fd, [names](int folder_fd, const dirent& entry) {
    if (entry.d_name[0] == '.') return;  // hidden, and the "." and ".." entries
    if (IsSubFolder(folder_fd, &entry)) names->emplace_back(entry.d_name);
  });
  if (!read.ok()) {
    names->clear();
    return read;
  }
  SortListedNames(names);
  return Status::Ok();
}

Status IdentifyFolder(const std::string& path, FolderIdentity* identity) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISDIR(info.st_mode)) return Status::Error(kNotAFolder);
  identity->device = static_cast<std::uint64_t>(info.st_dev);
  identity->inode = static_cast<std::uint64_t>(info.st_ino);
  return Status::Ok();
}

}  // namespace varnel
