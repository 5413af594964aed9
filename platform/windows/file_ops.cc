#include "platform/file_ops.h"

#include <windows.h>

#include "platform/system.h"
#include "platform/windows/win_text.h"

namespace varnel {

Status NotRegularFile() { return Status::Error("Not a regular file", ERROR_INVALID_PARAMETER); }

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

FolderObstacle FolderObstacleAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FolderObstacle::kNone;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return FolderObstacle::kLink;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FolderObstacle::kNone : FolderObstacle::kFile;
}

bool IsNameTaken(const Status& status) {
  return !status.ok() && (status.code() == ERROR_FILE_EXISTS || status.code() == ERROR_ALREADY_EXISTS);
}

Status RemoveEmptyFolder(const std::string& path) {
  if (RemoveDirectoryW(Utf8ToWide(path).c_str())) return Status::Ok();
  return WindowsErrorStatus(GetLastError());
}

Status RemoveFile(const std::string& path) {
  if (DeleteFileW(Utf8ToWide(path).c_str())) return Status::Ok();
  return WindowsErrorStatus(GetLastError());
}

std::string AbsolutePath(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (written == 0 || written >= size) return path;
  full.resize(written);
  return WideToUtf8(full);
}

bool RegularFileSize(const std::string& path, std::uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)) return false;
  if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) return false;
  if (size != nullptr) *size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

Status CheckRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return WindowsErrorStatus(GetLastError());
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return NotRegularFile();
  return Status::Ok();
}

Status FlushFolder(const std::string&) { return Status::Ok(); }

}  // namespace varnel
