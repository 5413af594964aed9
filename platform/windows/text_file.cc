#include "platform/text_file.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "platform/system.h"
#include "platform/windows/win_handle.h"
#include "platform/windows/win_text.h"

namespace varnel {

namespace {

// A regular file with a single name: not a folder, a reparse point (a symbolic link or a junction) or a
// device.
bool IsPlainFile(const BY_HANDLE_FILE_INFORMATION& info) {
  constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  return (info.dwFileAttributes & kNotPlain) == 0 && info.nNumberOfLinks == 1;
}

}  // namespace

std::FILE* OpenStdioFile(const std::string& path, const char* mode) {
  return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
}

bool IsAbsentOrPlainFile(const std::string& path) {
  const Handle handle(CreateFileW(Utf8ToWide(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.valid()) return true;
  BY_HANDLE_FILE_INFORMATION info;
  return !GetFileInformationByHandle(handle.get(), &info) || IsPlainFile(info);
}

Status LogFile::Open(const std::string& path, bool* not_regular) {
  *not_regular = false;
  Close().IgnoreError();  // the log opened before, which its owner gave up by opening another
  size_ = 0;
  Handle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    *not_regular = !IsAbsentOrPlainFile(path);
    return WindowsErrorStatus(error);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info) || !IsPlainFile(info) ||
      GetFileType(file.get()) != FILE_TYPE_DISK) {
    *not_regular = true;
    return NotRegularFile();
  }
  if (!SetEndOfFile(file.get())) return LastErrorStatus();  // the file position of a new handle is 0
  handle_ = reinterpret_cast<std::intptr_t>(file.Release());
  return Status::Ok();
}

Status LogFile::Create(const std::string& path) {
  Close().IgnoreError();  // the file opened before, which its owner gave up by creating another
  size_ = 0;
  Handle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) return LastErrorStatus();
  handle_ = reinterpret_cast<std::intptr_t>(file.Release());
  return Status::Ok();
}

Status LogFile::Append(std::string_view bytes) {
  if (!is_open()) return WindowsErrorStatus(ERROR_INVALID_HANDLE);
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    const bool written = WriteFile(file, bytes.data() + done, chunk, &put, nullptr) != 0;
    if (!written || put == 0) {
      // The write stopped short: what it put there is taken back, so the file ends on a whole batch.
      const DWORD error = written ? ERROR_DISK_FULL : GetLastError();
      LARGE_INTEGER back;
      back.QuadPart = static_cast<LONGLONG>(size_);
      if (done > 0 && SetFilePointerEx(file, back, nullptr, FILE_BEGIN)) SetEndOfFile(file);
      return WindowsErrorStatus(error);
    }
    done += put;
  }
  size_ += done;
  return Status::Ok();
}

Status LogFile::Sync() {
  if (!is_open()) return WindowsErrorStatus(ERROR_INVALID_HANDLE);
  if (FlushFileBuffers(reinterpret_cast<HANDLE>(handle_))) return Status::Ok();
  return LastErrorStatus();
}

Status LogFile::Close() {
  if (!is_open()) return Status::Ok();
  const bool closed = CloseHandle(reinterpret_cast<HANDLE>(handle_)) != 0;
  handle_ = -1;
  return closed ? Status::Ok() : LastErrorStatus();
}

}  // namespace varnel
