#include "platform/file_ops.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/posix_file.h"
#endif

namespace varnel {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  path.push_back(kPathSeparator);
  path.append(name);
  return path;
}

Status MakeFoldersAbove(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
  while (end > 1 && IsPathSeparator(path[end - 1])) --end;
  if (end <= 1) return Status::Ok();
  return MakeFolders(path.substr(0, end));
}

Status MakeFolders(const std::string& path) {
  if (IsFolder(path)) return Status::Ok();
  if (Status above = MakeFoldersAbove(path); !above.ok()) return above;
  const Status made = MakeFolder(path);
  return made.ok() || IsFolder(path) ? Status::Ok() : made;  // made meanwhile by another process
}

Status EnsureFolder(const std::string& path, FolderObstacle* obstacle) {
  FolderObstacle found = FolderObstacleAt(path);
  if (found == FolderObstacle::kNone && !PathExists(path)) {
    Status made = MakeFolder(path);
    if (made.ok()) return made;
    found = FolderObstacleAt(path);  // something took the name meanwhile, or the system refused
    if (found == FolderObstacle::kNone && !PathExists(path)) {
      if (obstacle != nullptr) *obstacle = FolderObstacle::kNone;
      return made;
    }
  }
  if (obstacle != nullptr) *obstacle = found;
  if (found == FolderObstacle::kFile) return Status::Error("exists as a file");
  if (found == FolderObstacle::kLink) return Status::Error("is a symbolic link");
  return Status::Ok();
}

std::string EnsureFolderMessage(std::string_view name, std::string_view folder, FolderObstacle obstacle,
                                const Status& status, std::string_view done) {
  std::string message;
  switch (obstacle) {
    case FolderObstacle::kFile:
      message.append("\"").append(name).append("\" exists as a file in ").append(folder);
      return message.append("; nothing was ").append(done).append(".");
    case FolderObstacle::kLink:
      message.append("\"").append(name).append("\" in ").append(folder).append(" is a symbolic link");
      return message.append("; nothing was ").append(done).append(".");
    case FolderObstacle::kNone:
      break;
  }
  return message.append("Cannot create ").append(JoinPath(folder, name)).append(": ").append(status.message());
}

#ifdef _WIN32

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
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Status::Error("Not a regular file", ERROR_INVALID_PARAMETER);
  return Status::Ok();
}

Status FlushFolder(const std::string&) { return Status::Ok(); }

#else

bool PathExists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Status MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

FolderObstacle FolderObstacleAt(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return FolderObstacle::kNone;
  if (S_ISLNK(info.st_mode)) return FolderObstacle::kLink;
  return S_ISDIR(info.st_mode) ? FolderObstacle::kNone : FolderObstacle::kFile;
}

bool IsNameTaken(const Status& status) { return !status.ok() && status.code() == EEXIST; }

Status RemoveEmptyFolder(const std::string& path) {
  if (::rmdir(path.c_str()) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

Status RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return Status::Ok();
  return ErrnoStatus(errno);
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  char folder[PATH_MAX];
  if (::getcwd(folder, sizeof folder) == nullptr) return "./" + path;
  return JoinPath(folder, path);
}

bool RegularFileSize(const std::string& path, std::uint64_t* size) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (size != nullptr) *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

Status CheckRegularFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(info.st_mode)) return Status::Error("Not a regular file", EINVAL);
  return Status::Ok();
}

namespace {

// fsync on `fd`; a file system that cannot flush at all (EINVAL) has nothing to flush.
Status Sync(int fd) {
  if (::fsync(fd) == 0 || errno == EINVAL) return Status::Ok();
  return ErrnoStatus(errno);
}

}  // namespace

Status FlushFile(const std::string& path) {
  // O_NONBLOCK: a FIFO put in the file's place is not waited on; it is refused below.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file.valid()) return ErrnoStatus(errno);
  struct stat info;
  if (::fstat(file.get(), &info) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(info.st_mode)) return Status::Error("Not a regular file", EINVAL);
  return Sync(file.get());
}

Status FlushFolder(const std::string& path) {
  const FileDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return ErrnoStatus(errno);
  return Sync(folder.get());
}

#endif

}  // namespace varnel
