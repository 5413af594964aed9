#include "platform/file_ops.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix_file.h"
#endif

namespace varnel {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  path.push_back(kPathSeparator);
  path.append(name);
  return path;
}

#ifdef _WIN32

bool PathExists(const std::string& path) {
  return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Status MakeFolder(const std::string& path) {
  if (CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr)) return Status::Ok();
  return WindowsErrorStatus(GetLastError());
}

Status RemoveFile(const std::string& path) {
  if (DeleteFileW(Utf8ToWide(path).c_str())) return Status::Ok();
  return WindowsErrorStatus(GetLastError());
}

#else

bool PathExists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Status MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

Status RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

#endif

}  // namespace varnel
