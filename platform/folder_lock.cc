#include "platform/folder_lock.h"

#include <string>

#ifdef _WIN32
#include "platform/file_ops.h"
#include "platform/win_text.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

#include "platform/posix_file.h"
#endif

namespace varnel {

FolderLock::~FolderLock() { Release(); }

#ifdef _WIN32

namespace {

// Volume serial number and file index of `path`: what tells one folder from every other.
Status FolderIdentity(const std::string& path, unsigned long* serial, unsigned long long* index) {
  const HANDLE folder = CreateFileW(Utf8ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return WindowsErrorStatus(GetLastError());
  BY_HANDLE_FILE_INFORMATION info;
  const bool got = GetFileInformationByHandle(folder, &info);
  const DWORD error = GetLastError();
  CloseHandle(folder);
  if (!got) return WindowsErrorStatus(error);
  *serial = info.dwVolumeSerialNumber;
  *index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return Status::Ok();
}

// Creates `path` when absent; fine when it exists as a folder.
Status MakeFolderIfAbsent(const std::string& path) {
  if (CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) || IsFolder(path)) return Status::Ok();
  return WindowsErrorStatus(GetLastError());
}

}  // namespace

Status FolderLock::Acquire(const std::string& folder) {
  Release();
  unsigned long serial = 0;
  unsigned long long index = 0;
  if (Status status = FolderIdentity(folder, &serial, &index); !status.ok()) return status;
  wchar_t local[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return Status::Error("LOCALAPPDATA is not set", ERROR_ENVVAR_NOT_FOUND);
  std::string path = JoinPath(WideToUtf8(std::wstring_view(local, length)), "Varnel");
  if (Status status = MakeFolderIfAbsent(path); !status.ok()) return status;
  path = JoinPath(path, "locks");
  if (Status status = MakeFolderIfAbsent(path); !status.ok()) return status;
  path = JoinPath(path, std::to_string(serial) + "-" + std::to_string(index) + ".lock");
  // Share mode 0: a second opening, from any process, fails with a sharing violation while this one lasts.
  handle_ = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return WindowsErrorStatus(GetLastError());
  lock_file_ = path;
  return Status::Ok();
}

void FolderLock::Release() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  lock_file_.clear();
}

bool FolderLock::held() const { return handle_ != INVALID_HANDLE_VALUE; }

bool FolderLock::IsBusy(const Status& status) {
  return !status.ok() && (status.code() == ERROR_SHARING_VIOLATION || status.code() == ERROR_LOCK_VIOLATION);
}

#else

namespace {

// Appends each of `parts` to `path`, creating the folders that are absent, for the user alone.
Status EnsureFolders(std::string& path, std::initializer_list<const char*> parts) {
  for (const char* part : parts) {
    path += '/';
    path += part;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return ErrnoStatus(errno);
  }
  return Status::Ok();
}

}  // namespace

Status FolderLock::Acquire(const std::string& folder) {
  Release();
  // A folder that cannot be opened for reading (permission to enter it only) still has its lock file.
  FileDescriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!opened.valid()) return AcquireWithLockFile(folder);
  if (::flock(opened.get(), LOCK_EX | LOCK_NB) == 0) {
    fd_ = opened.Release();
    return Status::Ok();
  }
  if (errno == EWOULDBLOCK) return ErrnoStatus(EWOULDBLOCK);
  return AcquireWithLockFile(folder);
}

Status FolderLock::AcquireWithLockFile(const std::string& folder) {
  Release();
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISDIR(info.st_mode)) return ErrnoStatus(ENOTDIR);
  std::string path = PasswordDatabaseHome();
  if (path.empty()) return Status::Error("No home folder in the password database", ENOENT);
  if (Status status = EnsureFolders(path, {".local", "state", "varnel", "locks"}); !status.ok()) return status;
  path += '/' + std::to_string(info.st_dev) + '-' + std::to_string(info.st_ino) + ".lock";
  FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
  if (!file.valid()) return ErrnoStatus(errno);
  struct stat file_info;
  if (::fstat(file.get(), &file_info) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(file_info.st_mode)) return Status::Error("Not a regular file", EINVAL);
  if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return ErrnoStatus(errno);
  // The file stays when the lock goes: removing it could let two jobs lock two different files of one name.
  fd_ = file.Release();
  lock_file_ = path;
  return Status::Ok();
}

void FolderLock::Release() {
  if (fd_ >= 0) ::close(fd_);  // closing the only descriptor of the open file releases its flock
  fd_ = -1;
  lock_file_.clear();
}

bool FolderLock::held() const { return fd_ >= 0; }

bool FolderLock::IsBusy(const Status& status) { return !status.ok() && status.code() == EWOULDBLOCK; }

#endif

}  // namespace varnel
