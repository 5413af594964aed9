#include "platform/file_identity.h"

#include <windows.h>

#include "platform/windows/win_handle.h"
#include "platform/windows/win_text.h"

namespace varnel {

namespace {

// FILETIME counts 100 ns steps from 1601-01-01; this many lie between that day and 1970-01-01.
constexpr std::int64_t kUnixEpochInFileTime = 116444736000000000;

}  // namespace

Status IdentifyFile(const std::string& path, FileIdentity* identity) {
  // No access asked for: the attributes, times and file index come with any handle.
  const Handle file(CreateFileW(Utf8ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr));
  if (!file.valid()) return LastErrorStatus();
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) return LastErrorStatus();
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Status::Error(kNotAFile);
  const std::int64_t written =
      (static_cast<std::int64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  identity->size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  identity->mtime_ns = (written - kUnixEpochInFileTime) * 100;
  identity->inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  identity->device = info.dwVolumeSerialNumber;
  return Status::Ok();
}

}  // namespace varnel
