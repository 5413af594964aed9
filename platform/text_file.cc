#include "platform/text_file.h"

#include <cerrno>
#include <cstdio>

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

}  // namespace varnel
