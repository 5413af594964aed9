#include "platform/folder_guard.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/file_ops.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <sys/stat.h>

#include <cstdlib>

#include "platform/posix_file.h"
#endif

namespace varnel {
namespace {

#ifdef _WIN32

// What tells one folder from every other: its volume's serial number and its file index.
struct Identity {
  DWORD serial = 0;
  DWORD index_high = 0;
  DWORD index_low = 0;
  bool operator==(const Identity&) const = default;
};

bool IdentityOf(const std::wstring& path, Identity* identity) {
  const HANDLE folder = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool got = GetFileInformationByHandle(folder, &info);
  CloseHandle(folder);
  if (!got || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
  *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return true;
}

std::wstring Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

std::vector<std::wstring> ProtectedPaths() {
  std::vector<std::wstring> paths;
  const std::wstring drive = Environment(L"SystemDrive");
  if (!drive.empty()) {
    paths.push_back(drive + L"\\");
    paths.push_back(drive + L"\\Users");
  }
  for (const wchar_t* name : {L"USERPROFILE", L"SystemRoot", L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramData"}) {
    if (std::wstring value = Environment(name); !value.empty()) paths.push_back(std::move(value));
  }
  return paths;
}

#else

struct Identity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const Identity&) const = default;
};

bool IdentityOf(const std::string& path, Identity* identity) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  *identity = {info.st_dev, info.st_ino};
  return true;
}

std::vector<std::string> ProtectedPaths() {
  std::vector<std::string> paths = {"/",      "/bin",   "/boot",   "/dev", "/etc",  "/home", "/lib",
                                    "/lib32", "/lib64", "/libx32", "/opt", "/proc", "/root", "/run",
                                    "/sbin",  "/sys",   "/tmp",    "/usr", "/var"};
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') paths.emplace_back(home);
  if (std::string home = PasswordDatabaseHome(); !home.empty()) paths.push_back(std::move(home));
  return paths;
}

#endif

}  // namespace

bool IsProtectedFolder(const std::string& folder) {
#ifdef _WIN32
  const std::wstring path = Utf8ToWide(folder);
#else
  const std::string& path = folder;
#endif
  Identity identity;
  if (!IdentityOf(path, &identity)) return false;
  for (const auto& protected_path : ProtectedPaths()) {
    Identity other;
    if (IdentityOf(protected_path, &other) && other == identity) return true;
  }
  return false;
}

FolderEntry EnterJobFolder(const std::string& folder, bool changes_files, FolderLock& lock) {
  FolderEntry entry;
  if (changes_files && IsProtectedFolder(folder)) {
    entry.outcome = FolderEntry::Outcome::kProtected;
    entry.message = "Varnel will not change files in " + folder + ": choose the folder that holds your romset.";
    return entry;
  }
  if (!IsFolder(folder)) return entry;
  const Status locked = lock.Acquire(folder);
  if (locked.ok()) return entry;
  if (FolderLock::IsBusy(locked)) {
    entry.outcome = FolderEntry::Outcome::kBusy;
    entry.message = "Another Varnel job is working in " + folder + ".";
  } else {
    entry.outcome = FolderEntry::Outcome::kLockFailed;
    entry.message = "Cannot lock " + folder + ": " + locked.message();
  }
  return entry;
}

}  // namespace varnel
