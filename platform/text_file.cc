#include "platform/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/system.h"

namespace varnel {

// A log that is still open at its end was not closed by its owner, who then has no use for a failure.
LogFile::~LogFile() { Close().IgnoreError(); }

Status ReadWholeFile(const std::string& path, std::string* contents) {
  contents->clear();
  std::FILE* file = OpenStdioFile(path, "rb");
  if (file == nullptr) return ErrnoStatus(errno).About("read", path);
  char buffer[1 << 14];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) return ErrnoStatus(error).About("read", path);
  return Status::Ok();
}

Status ReadFileLines(const std::string& path, const std::function<void(std::string_view line)>& each) {
  constexpr std::size_t kPart = 256 * 1024;
  std::FILE* file = OpenStdioFile(path, "rb");
  if (file == nullptr) return ErrnoStatus(errno).About("read", path);
  std::string buffer;     // the start of a line from the part before, then the part read
  std::size_t begun = 0;  // bytes of that line
  std::size_t got;
  while (true) {
    if (buffer.size() < begun + kPart) buffer.resize(begun + kPart);
    if ((got = std::fread(buffer.data() + begun, 1, kPart, file)) == 0) break;
    const std::string_view text(buffer.data(), begun + got);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
      each(text.substr(start, end - start));
    }
    begun = text.size() - start;
    std::memmove(buffer.data(), buffer.data() + start, begun);
  }
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) return ErrnoStatus(error).About("read", path);
  if (begun > 0) each(std::string_view(buffer.data(), begun));
  return Status::Ok();
}

Status ReadFileEnds(const std::string& path, std::size_t length, std::string* head, std::string* tail) {
  head->clear();
  tail->clear();
  std::FILE* file = OpenStdioFile(path, "rb");
  if (file == nullptr) return ErrnoStatus(errno).About("read", path);
  head->resize(length);
  head->resize(std::fread(head->data(), 1, length, file));
  bool failed = std::ferror(file) != 0;
  if (!failed && head->size() < length) {
    *tail = *head;  // the whole file
  } else if (!failed) {
    // The offset is counted from the end: a small one reaches the end of a file of any size.
    failed = std::fseek(file, -static_cast<long>(length), SEEK_END) != 0;
    if (!failed) {
      tail->resize(length);
      tail->resize(std::fread(tail->data(), 1, length, file));
      failed = std::ferror(file) != 0;
    }
  }
  const int error = errno;
  std::fclose(file);
  if (failed) return ErrnoStatus(error).About("read", path);
  return Status::Ok();
}

}  // namespace varnel
