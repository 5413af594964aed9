#include "platform/windows/win_handle.h"

#include <windows.h>

#include <memory>

#include "platform/windows/win_text.h"

namespace varnel {

Handle::Handle() : handle_(INVALID_HANDLE_VALUE) {}

bool Handle::valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

void* Handle::Release() {
  void* const handle = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  return handle;
}

bool Handle::Close() {
  const bool held = valid();
  void* const handle = Release();
  return !held || CloseHandle(handle);
}

Status ForEachFolderEntry(const std::wstring& pattern, bool folders_only,
                          const std::function<void(std::wstring_view name, unsigned long attributes)>& on_entry) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                       folders_only ? FindExSearchLimitToDirectories : FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? Status::Ok() : WindowsErrorStatus(error);
  }
  // A find handle is closed by FindClose, not CloseHandle.
  const std::unique_ptr<void, decltype(&FindClose)> closer(find, &FindClose);
  do {
    on_entry(data.cFileName, data.dwFileAttributes);
  } while (FindNextFileW(find, &data));
  const DWORD end = GetLastError();
  if (end != ERROR_NO_MORE_FILES) return WindowsErrorStatus(end);
  return Status::Ok();
}

}  // namespace varnel
