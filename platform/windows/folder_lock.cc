#include "platform/folder_lock.h"

#include <windows.h>

#include <string>

#include "platform/file_ops.h"
#include "platform/sub_folders.h"
#include "platform/windows/win_text.h"

namespace varnel {
namespace {

// Creates the folder `path` of the user's own state when absent; one there already (through a link too, as
// the user may have placed it) is fine.
Status MakeFolderIfAbsent(const std::string& path) {
  const Status made = MakeFolder(path);
  return made.ok() || IsFolder(path) ? Status::Ok() : made;
}

}  // namespace

Status FolderLock::TakeLock(const std::string& folder) { return TakeLockFile(folder); }

Status FolderLock::TakeLockFile(const std::string& folder) {
  FolderIdentity identity;  // volume serial number and file index: what tells one folder from every other
  if (Status status = IdentifyFolder(folder, &identity); !status.ok()) return status;
  wchar_t local[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return Status::Error("LOCALAPPDATA is not set", ERROR_ENVVAR_NOT_FOUND);
  std::string path = JoinPath(WideToUtf8(std::wstring_view(local, length)), "Varnel");
  if (Status status = MakeFolderIfAbsent(path); !status.ok()) return status;
  path = JoinPath(path, "locks");
  if (Status status = MakeFolderIfAbsent(path); !status.ok()) return status;
  path = JoinPath(path, std::to_string(identity.device) + "-" + std::to_string(identity.inode) + ".lock");
  // Share mode 0: a second opening, from any process, fails with a sharing violation while this one lasts.
  const HANDLE handle = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastErrorStatus();
  handle_ = reinterpret_cast<std::intptr_t>(handle);
  lock_file_ = path;
  return Status::Ok();
}

void FolderLock::Release() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // the lock file goes with its handle
  handle_ = -1;
  lock_file_.clear();
}

bool FolderLock::IsBusy(const Status& status) {
  return !status.ok() && (status.code() == ERROR_SHARING_VIOLATION || status.code() == ERROR_LOCK_VIOLATION);
}

}  // namespace varnel
