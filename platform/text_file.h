#ifndef VARNEL_PLATFORM_TEXT_FILE_H_
#define VARNEL_PLATFORM_TEXT_FILE_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace varnel {

// True when nothing named `path` exists, or it is a regular file with a single link. A symbolic link (or a
// reparse point) is looked at itself, never followed. When the entry cannot be examined for another reason
// (no permission), the answer is true and opening it tells why.
bool IsAbsentOrPlainFile(const std::string& path);

// A log written ahead of what it records: bytes go to the file as they are appended, never held back in a
// buffer, and Sync() puts them on disk. The file is closed by Close() or, at the latest, by the destructor.
class LogFile {
 public:
  LogFile() = default;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile();

  // Opens or creates `path` for writing without following a symbolic link and without waiting on a FIFO,
  // checks that it is a regular file with a single link, and only then empties it. When the entry is
  // anything else, it is left as it was, *not_regular is set and the result is a failure.
  Status Open(const std::string& path, bool* not_regular);
  // Creates `path` as a new empty file, readable and writable by its owner alone, and opens it for writing.
  // Fails when anything has that name already, a dangling link included (IsNameTaken tells that failure).
  Status Create(const std::string& path);
  // Writes all of `bytes` at the end of the file. A write that stops short is a failure; the file is then cut
  // back to its length before the call, as far as the system lets it.
  Status Append(std::string_view bytes);
  // Puts every byte appended so far on disk (fdatasync, FlushFileBuffers).
  Status Sync();
  // Closes the file; reports a failure of the close.
  Status Close();
  bool is_open() const { return handle_ != -1; }
  // Bytes appended since Open().
  std::uint64_t size() const { return size_; }

 private:
  std::intptr_t handle_ = -1;  // the open file's descriptor (POSIX) or handle (Windows); -1 when none
  std::uint64_t size_ = 0;
};

// Reads a whole file as bytes; a failure is the failure to "read" `path`.
Status ReadWholeFile(const std::string& path, std::string* contents);

// Reads a file a part at a time and calls `each` with every line, its line feed left out (a last line without
// one too); a failure is the failure to "read" `path`, and may come after some lines were given.
Status ReadFileLines(const std::string& path, const std::function<void(std::string_view line)>& each);

// Reads the first `length` bytes of a file into *head and its last `length` bytes into *tail (the whole file
// into each when it is no longer).
Status ReadFileEnds(const std::string& path, std::size_t length, std::string* head, std::string* tail);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_TEXT_FILE_H_
