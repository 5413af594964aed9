#include "platform/listing.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#endif

namespace varnel {

namespace {

inline unsigned char FoldedByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - ('a' - 'A')) : b;
}

#ifndef _WIN32
// An entry of the listing counts when it is a regular file (a link to one counts too).
bool IsOrdinaryFile(int dir_fd, const dirent* entry) {
  if (entry->d_type == DT_REG) return true;
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return false;
  struct stat info;
  if (fstatat(dir_fd, entry->d_name, &info, 0) != 0) return false;
  return S_ISREG(info.st_mode);
}
#endif

}  // namespace

bool ListedNameLess(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char fa = FoldedByte(a[i]);
    const unsigned char fb = FoldedByte(b[i]);
    if (fa != fb) return fa < fb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // equal but for the case of ASCII letters: raw bytes decide
}

std::vector<std::string> ListOrdinaryFiles(const std::string& folder, Status* status) {
  std::vector<std::string> names;
  if (status != nullptr) *status = Status::Ok();
#ifdef _WIN32
  std::wstring pattern = Utf8ToWide(folder);
  pattern += L"\\*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && status != nullptr) *status = Status::Error(SystemMessage(error), error);
    return names;
  }
  do {
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((data.dwFileAttributes & kSkipped) != 0) continue;
    names.push_back(WideToUtf8(data.cFileName));
  } while (FindNextFileW(find, &data));
  FindClose(find);
#else
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) {
    const int error = errno;
    if (status != nullptr) *status = Status::Error(std::strerror(error), error);
    return names;
  }
  const int dir_fd = dirfd(dir);
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;  // hidden, and the "." and ".." entries
    if (IsOrdinaryFile(dir_fd, entry)) names.emplace_back(entry->d_name);
  }
  closedir(dir);
#endif
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return ListedNameLess(a, b); });
  return names;
}

}  // namespace varnel
