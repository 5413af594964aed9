#include "platform/replace_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/windows/win_handle.h"
#include "platform/windows/win_text.h"

namespace varnel {

namespace {

// Numbers the temporary files of this process, so that two saves never pick the same name.
std::atomic<unsigned> temporary_count{0};

// The path of the file `path` names, links resolved, when it exists. Fails when it exists but is not a file.
Status FinalTarget(const std::wstring& path, std::wstring* target) {
  *target = path;
  Handle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Status::Ok();  // a new file
    return WindowsErrorStatus(error);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) return LastErrorStatus();
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || GetFileType(file.get()) != FILE_TYPE_DISK) {
    return Status::Error(kNotARegularFile);
  }
  std::wstring final_path(32768, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(file.get(), final_path.data(), 32768, FILE_NAME_NORMALIZED);
  if (length > 0 && length < 32768) target->assign(final_path.data(), length);
  return Status::Ok();
}

}  // namespace

Status ReplaceWholeFile(const std::string& path, std::string_view contents) {
  std::wstring target;
  if (Status status = FinalTarget(Utf8ToWide(path), &target); !status.ok()) return status;
  const std::size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);

  std::wstring temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; created == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = folder + L"\\.varnel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(temporary_count++) + L".tmp";
    // CREATE_NEW fails on any existing name, a link included.
    created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    if (created == INVALID_HANDLE_VALUE &&
        ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 100)) {
      return WindowsErrorStatus(error);
    }
  }
  Handle file(created);
  Status status;
  for (std::size_t done = 0; status.ok() && done < contents.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1 << 20));
    DWORD put = 0;
    if (!WriteFile(file.get(), contents.data() + done, chunk, &put, nullptr)) status = LastErrorStatus();
    done += put;
  }
  if (status.ok() && !FlushFileBuffers(file.get())) status = LastErrorStatus();
  if (!file.Close() && status.ok()) status = LastErrorStatus();
  if (status.ok() &&
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    status = LastErrorStatus();
  }
  if (!status.ok()) DeleteFileW(temporary.c_str());
  return status;
}

}  // namespace varnel
