#include "platform/replace_file.h"

#include <algorithm>
#include <atomic>

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace varnel {

namespace {

// Numbers the temporary files of this process, so that two saves never pick the same name.
std::atomic<unsigned> temporary_count{0};

}  // namespace

#ifdef _WIN32

namespace {

Status LastError() {
  const DWORD error = GetLastError();
  return Status::Error(SystemMessage(error), static_cast<int>(error));
}

// A handle closed when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const bool closed = !valid() || CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// The path of the file `path` names, links resolved, when it exists. Fails when it exists but is not a file.
Status FinalTarget(const std::wstring& path, std::wstring* target) {
  *target = path;
  Handle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Status::Ok();  // a new file
    return Status::Error(SystemMessage(error), static_cast<int>(error));
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) return LastError();
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
      return Status::Error(SystemMessage(error), static_cast<int>(error));
    }
  }
  Handle file(created);
  Status status;
  for (std::size_t done = 0; status.ok() && done < contents.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1 << 20));
    DWORD put = 0;
    if (!WriteFile(file.get(), contents.data() + done, chunk, &put, nullptr)) status = LastError();
    done += put;
  }
  if (status.ok() && !FlushFileBuffers(file.get())) status = LastError();
  if (!file.Close() && status.ok()) status = LastError();
  if (status.ok() &&
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    status = LastError();
  }
  if (!status.ok()) DeleteFileW(temporary.c_str());
  return status;
}

#else

namespace {

Status ErrnoStatus(int error) { return Status::Error(std::strerror(error), error); }

// A file descriptor closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now; false when the close reports that data was not written.
  bool Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

// The folder part of `path`: "." for a bare name, "/" for a name at the root.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows `path` through its chain of symbolic links to the name that is not a link; `info` is that name's,
// and `exists` false when nothing has that name yet. A relative link is read from the folder of the link.
Status FinalTarget(const std::string& path, std::string* target, struct stat* info, bool* exists) {
  constexpr int kMaxLinks = 40;
  *target = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    if (::lstat(target->c_str(), info) != 0) {
      if (errno != ENOENT) return ErrnoStatus(errno);
      *exists = false;
      return Status::Ok();
    }
    if (!S_ISLNK(info->st_mode)) {
      *exists = true;
      return S_ISREG(info->st_mode) ? Status::Ok() : Status::Error(kNotARegularFile);
    }
    std::string link(256, '\0');
    for (;;) {
      const ssize_t length = ::readlink(target->c_str(), link.data(), link.size());
      if (length < 0) return ErrnoStatus(errno);
      if (static_cast<std::size_t>(length) < link.size()) {
        link.resize(static_cast<std::size_t>(length));
        break;
      }
      link.resize(link.size() * 2);
    }
    if (link.empty()) return ErrnoStatus(ENOENT);
    *target = link.front() == '/' ? link : FolderOf(*target) + "/" + link;
  }
  return ErrnoStatus(ELOOP);
}

Status WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t put = ::write(fd, contents.data(), contents.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(errno);
    }
    contents.remove_prefix(static_cast<std::size_t>(put));
  }
  return Status::Ok();
}

}  // namespace

Status ReplaceWholeFile(const std::string& path, std::string_view contents) {
  std::string target;
  struct stat info;
  bool exists = false;
  if (Status status = FinalTarget(path, &target, &info, &exists); !status.ok()) return status;
  const std::string folder = FolderOf(target);

  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = folder + "/.varnel-" + std::to_string(::getpid()) + "-" + std::to_string(temporary_count++) + ".tmp";
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) return ErrnoStatus(errno);
  }
  Descriptor file(fd);
  Status status;
  if (exists) {
    // The replaced file's owner where the system allows it, then its permissions, umask aside.
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) (void)::fchown(file.get(), info.st_uid, info.st_gid);
    if (::fchmod(file.get(), info.st_mode & 07777) != 0) status = ErrnoStatus(errno);
  }
  if (status.ok()) status = WriteAll(file.get(), contents);
  if (status.ok() && ::fsync(file.get()) != 0) status = ErrnoStatus(errno);
  if (!file.Close() && status.ok()) status = ErrnoStatus(errno);
  if (status.ok() && ::rename(temporary.c_str(), target.c_str()) != 0) status = ErrnoStatus(errno);
  if (!status.ok()) {
    ::unlink(temporary.c_str());
    return status;
  }
  // The new name on disk too. The content is already there, so a folder that cannot be synced (some file
  // systems refuse) does not make the save a failure.
  Descriptor folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder_fd.get() >= 0) (void)::fsync(folder_fd.get());
  return Status::Ok();
}

#endif

}  // namespace varnel
