#include "platform/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace varnel {

namespace {

Status ErrnoStatus(int error) { return Status::Error(std::strerror(error), error); }

std::FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
  return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

#ifdef _WIN32

Status LastErrorStatus(DWORD error = GetLastError()) {
  return Status::Error(SystemMessage(error), static_cast<int>(error));
}

// A regular file with a single name: not a folder, a reparse point (a symbolic link or a junction) or a
// device.
bool IsPlainFile(const BY_HANDLE_FILE_INFORMATION& info) {
  constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  return (info.dwFileAttributes & kNotPlain) == 0 && info.nNumberOfLinks == 1;
}

#endif

}  // namespace

#ifdef _WIN32

bool IsAbsentOrPlainFile(const std::string& path) {
  const HANDLE handle = CreateFileW(Utf8ToWide(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return true;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  return !known || IsPlainFile(info);
}

LogFile::~LogFile() { Close(); }

bool LogFile::is_open() const { return handle_ != nullptr; }

Status LogFile::Open(const std::string& path, bool* not_regular) {
  *not_regular = false;
  Close();
  size_ = 0;
  const HANDLE handle =
      CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    *not_regular = !IsAbsentOrPlainFile(path);
    return LastErrorStatus(error);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info) || !IsPlainFile(info) || GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    *not_regular = true;
    return Status::Error("Not a regular file", ERROR_INVALID_PARAMETER);
  }
  if (!SetEndOfFile(handle)) {  // the file position of a new handle is 0
    const Status status = LastErrorStatus();
    CloseHandle(handle);
    return status;
  }
  handle_ = handle;
  return Status::Ok();
}

Status LogFile::Create(const std::string& path) {
  Close();
  size_ = 0;
  const HANDLE handle = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastErrorStatus();
  handle_ = handle;
  return Status::Ok();
}

Status LogFile::Append(std::string_view bytes) {
  if (handle_ == nullptr) return LastErrorStatus(ERROR_INVALID_HANDLE);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    const bool written = WriteFile(handle_, bytes.data() + done, chunk, &put, nullptr) != 0;
    if (!written || put == 0) {
      // The write stopped short: what it put there is taken back, so the file ends on a whole batch.
      const DWORD error = written ? ERROR_DISK_FULL : GetLastError();
      LARGE_INTEGER back;
      back.QuadPart = static_cast<LONGLONG>(size_);
      if (done > 0 && SetFilePointerEx(handle_, back, nullptr, FILE_BEGIN)) SetEndOfFile(handle_);
      return LastErrorStatus(error);
    }
    done += put;
  }
  size_ += done;
  return Status::Ok();
}

Status LogFile::Sync() {
  if (handle_ == nullptr) return LastErrorStatus(ERROR_INVALID_HANDLE);
  if (FlushFileBuffers(handle_)) return Status::Ok();
  return LastErrorStatus();
}

Status LogFile::Close() {
  if (handle_ == nullptr) return Status::Ok();
  const bool closed = CloseHandle(handle_) != 0;
  handle_ = nullptr;
  return closed ? Status::Ok() : LastErrorStatus();
}

#else

bool IsAbsentOrPlainFile(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return true;
  return S_ISREG(info.st_mode) && info.st_nlink == 1;
}

LogFile::~LogFile() { Close(); }

bool LogFile::is_open() const { return fd_ >= 0; }

Status LogFile::Open(const std::string& path, bool* not_regular) {
  *not_regular = false;
  Close();
  size_ = 0;
  // No O_TRUNC: the entry is emptied only once it is known to be the regular file it should be.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    // A symbolic link (ELOOP; EMLINK on some systems), a FIFO or socket nobody reads (ENXIO), a folder.
    *not_regular = error == ELOOP || error == EMLINK || error == ENXIO || error == EISDIR;
    return ErrnoStatus(error);
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
    const int error = errno;
    ::close(fd);
    *not_regular = true;
    return Status::Error("Not a regular file", error != 0 ? error : EINVAL);
  }
  if (::ftruncate(fd, 0) != 0) {
    const int error = errno;
    ::close(fd);
    return ErrnoStatus(error);
  }
  fd_ = fd;
  return Status::Ok();
}

Status LogFile::Create(const std::string& path) {
  Close();
  size_ = 0;
  // O_EXCL: never an entry that exists, and never through a link, even a dangling one.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return ErrnoStatus(errno);
  fd_ = fd;
  return Status::Ok();
}

Status LogFile::Append(std::string_view bytes) {
  if (fd_ < 0) return ErrnoStatus(EBADF);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (put > 0) {
      done += static_cast<std::size_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    // The write stopped short: what it put there is taken back, so the file ends on a whole batch.
    const int error = put < 0 ? errno : ENOSPC;
    if (done > 0 && ::ftruncate(fd_, static_cast<off_t>(size_)) == 0) ::lseek(fd_, static_cast<off_t>(size_), SEEK_SET);
    return ErrnoStatus(error);
  }
  size_ += done;
  return Status::Ok();
}

Status LogFile::Sync() {
  if (fd_ < 0) return ErrnoStatus(EBADF);
  if (::fdatasync(fd_) == 0 || errno == EINVAL) return Status::Ok();  // EINVAL: nothing to sync on this system
  return ErrnoStatus(errno);
}

Status LogFile::Close() {
  if (fd_ < 0) return Status::Ok();
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0 ? Status::Ok() : ErrnoStatus(errno);
}

#endif

Status ReadWholeFile(const std::string& path, std::string* contents) {
  contents->clear();
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return ErrnoStatus(errno);
  char buffer[1 << 14];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) return ErrnoStatus(error);
  return Status::Ok();
}

Status ReadFileEnds(const std::string& path, std::size_t length, std::string* head, std::string* tail) {
  head->clear();
  tail->clear();
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return ErrnoStatus(errno);
  head->resize(length);
  head->resize(std::fread(head->data(), 1, length, file));
  bool failed = std::ferror(file) != 0;
  if (!failed && head->size() < length) {
    *tail = *head;  // the whole file
  } else if (!failed) {
#ifdef _WIN32
    failed = _fseeki64(file, -static_cast<long long>(length), SEEK_END) != 0;
#else
    failed = ::fseeko(file, -static_cast<off_t>(length), SEEK_END) != 0;
#endif
    if (!failed) {
      tail->resize(length);
      tail->resize(std::fread(tail->data(), 1, length, file));
      failed = std::ferror(file) != 0;
    }
  }
  const int error = errno;
  std::fclose(file);
  if (failed) return ErrnoStatus(error);
  return Status::Ok();
}

}  // namespace varnel
