#include "platform/sub_folders.h"

#include <algorithm>
#include <string_view>

#include "platform/file_ops.h"
#include "platform/listing.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/posix_file.h"
#endif

namespace varnel {

namespace {

bool SameName(std::string_view a, std::string_view b) {
#ifdef _WIN32
  const auto folded = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return folded(x) == folded(y); });
#else
  return a == b;
#endif
}

std::vector<std::string_view> NamesOf(std::string_view path) {
  std::vector<std::string_view> names;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !IsPathSeparator(path[i])) continue;
    if (i > start) names.push_back(path.substr(start, i - start));
    start = i + 1;
  }
  return names;
}

}  // namespace

std::optional<std::vector<std::string>> PathPartsBelow(std::string_view root, std::string_view path) {
  if (root.empty() || path.empty() || IsPathSeparator(root[0]) != IsPathSeparator(path[0])) return std::nullopt;
  const std::vector<std::string_view> above = NamesOf(root), names = NamesOf(path);
  if (names.size() < above.size()) return std::nullopt;
  for (std::size_t i = 0; i < above.size(); ++i) {
    if (!SameName(above[i], names[i])) return std::nullopt;
  }
  return std::vector<std::string>(names.begin() + static_cast<std::ptrdiff_t>(above.size()), names.end());
}

std::string PathBelow(std::string_view folder, const std::vector<std::string>& names) {
  std::string path(folder);
  for (const std::string& name : names) {
    if (path.empty() || !IsPathSeparator(path.back())) path += kPathSeparator;
    path += name;
  }
  return path;
}

#ifdef _WIN32

Status ListSubFolders(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  if (folder.empty()) return WindowsErrorStatus(ERROR_PATH_NOT_FOUND);  // "*" alone would list the current folder
  std::wstring pattern = Utf8ToWide(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchLimitToDirectories, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? Status::Ok() : WindowsErrorStatus(error);  // an empty drive root
  }
  do {
    constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (data.dwFileAttributes & kHidden) != 0) continue;
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    names->push_back(WideToUtf8(name));
  } while (FindNextFileW(find, &data));
  const DWORD error = GetLastError();
  FindClose(find);
  if (error != ERROR_NO_MORE_FILES) {
    names->clear();
    return WindowsErrorStatus(error);
  }
  SortListedNames(*names);
  return Status::Ok();
}

Status IdentifyFolder(const std::string& path, FolderIdentity* identity) {
  // No access asked for: the attributes and the file index come with any handle, and a folder held by another
  // program opens all the same.
  HANDLE folder = CreateFileW(Utf8ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return WindowsErrorStatus(GetLastError());
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(folder, &info);
  const DWORD error = GetLastError();
  CloseHandle(folder);
  if (!known) return WindowsErrorStatus(error);
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Status::Error(kNotAFolder);
  identity->device = info.dwVolumeSerialNumber;
  identity->inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return Status::Ok();
}

#else

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
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    const int error = errno;
    ::close(fd);
    return ErrnoStatus(error);
  }
  int error = 0;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) {
      error = errno;
      break;
    }
    if (entry->d_name[0] == '.') continue;  // hidden, and the "." and ".." entries
    if (IsSubFolder(fd, entry)) names->emplace_back(entry->d_name);
  }
  ::closedir(dir);
  if (error != 0) {
    names->clear();
    return ErrnoStatus(error);
  }
  SortListedNames(*names);
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

#endif

}  // namespace varnel
