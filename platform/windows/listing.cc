#include <windows.h>

#include <string>

#include "platform/system.h"
#include "platform/windows/win_text.h"

namespace varnel {

Status GatherOrdinaryFiles(const std::string& folder, GatheredNames* names) {
  std::wstring pattern = Utf8ToWide(folder);
  pattern += L"\\*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? Status::Ok() : WindowsErrorStatus(error);
  }
  do {
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((data.dwFileAttributes & kSkipped) != 0) continue;
    names->Add(WideToUtf8(data.cFileName));
  } while (FindNextFileW(find, &data));
  const DWORD end = GetLastError();
  FindClose(find);
  // A listing cut short by a failure is no snapshot of the folder: a job must not take it for one.
  if (end != ERROR_NO_MORE_FILES) return WindowsErrorStatus(end);
  return Status::Ok();
}

}  // namespace varnel
