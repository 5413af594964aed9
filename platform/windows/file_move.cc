// Moving one file without ever replacing another, and without ever showing a partial file under its final
// name: across devices the copy is written to a temporary, flushed, and only then named.

#include <windows.h>

#include <string>

#include "platform/file_ops.h"
#include "platform/system.h"
#include "platform/windows/win_handle.h"
#include "platform/windows/win_text.h"

namespace varnel {

namespace {

// Where the last separator of `path` is, or npos.
std::size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

// Deletes a file this move created, read-only or not.
void DeleteOwnFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  DeleteFileW(path.c_str());
}

// Writes the file's data through to the disk. A read-only copy is made writable for as long as that takes.
Status FlushToDisk(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  const bool read_only = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  Status status;
  {
    const Handle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !FlushFileBuffers(file.get())) status = LastErrorStatus();
  }
  if (read_only) SetFileAttributesW(path.c_str(), attributes);
  return status;
}

}  // namespace

Status FlushFile(const std::string& path) { return FlushToDisk(Utf8ToWide(path)); }

Status MoveWithoutReplace(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists; without MOVEFILE_COPY_ALLOWED
  // the system never copies under the final name itself.
  if (MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), 0)) return Status::Ok();
  const DWORD error = GetLastError();
  if (error == ERROR_NOT_SAME_DEVICE) return CopyAcrossDevices(from, to);
  return WindowsErrorStatus(error);
}

Status CopyAcrossDevices(const std::string& from, const std::string& to, TemporaryNaming) {
  const std::wstring source = Utf8ToWide(from), target = Utf8ToWide(to);
  const DWORD attributes = GetFileAttributesW(source.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return WindowsErrorStatus(GetLastError());
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) return NotRegularFile();
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) return WindowsErrorStatus(ERROR_ALREADY_EXISTS);

  const std::size_t separator = LastSeparator(to);
  const std::string folder = separator == std::string::npos ? std::string() : to.substr(0, separator);
  std::wstring temporary;
  for (int attempt = 0;; ++attempt) {
    const std::string name = NewTemporaryName();
    temporary = Utf8ToWide(folder.empty() ? name : JoinPath(folder, name));
    // Keeps the attributes and the times of the source.
    if (CopyFileExW(source.c_str(), temporary.c_str(), nullptr, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS)) break;
    const DWORD error = GetLastError();
    const bool name_taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    if (!name_taken) DeleteOwnFile(temporary);  // whatever part of the copy was written
    if (!name_taken || attempt + 1 == kTemporaryTries) return WindowsErrorStatus(error);
  }
  if (const Status flushed = FlushToDisk(temporary); !flushed.ok()) {
    DeleteOwnFile(temporary);
    return flushed;
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteOwnFile(temporary);
    return WindowsErrorStatus(error);
  }
  if (!DeleteFileW(source.c_str())) {
    const DWORD error = GetLastError();
    DeleteOwnFile(target);  // the file stays once, at its source
    return WindowsErrorStatus(error);
  }
  return Status::Ok();
}

Status RemoveLeftoverTemporaries(const std::string& folder, int* removed) {
  if (removed != nullptr) *removed = 0;
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW(Utf8ToWide(JoinPath(folder, "*")).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? Status::Ok() : WindowsErrorStatus(error);
  }
  Status status;
  do {
    if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) continue;
    const std::string name = WideToUtf8(entry.cFileName);
    if (!IsMoveTemporaryName(name)) continue;
    const std::wstring path = Utf8ToWide(JoinPath(folder, name));
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
      SetFileAttributesW(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (DeleteFileW(path.c_str())) {
      if (removed != nullptr) ++*removed;
    } else if (status.ok()) {
      status = WindowsErrorStatus(GetLastError());
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return status;
}

}  // namespace varnel
