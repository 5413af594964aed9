#include "cli/terminal.h"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace varnel {

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

namespace {
int first_output_failure = 0;  // the reason the standard output first failed to write
}  // namespace

void FlushOutput() {
  errno = 0;
  if (std::fflush(stdout) != 0 && first_output_failure == 0) first_output_failure = errno != 0 ? errno : -1;
}

void PrintLine(std::string_view line) {
  errno = 0;
  const bool written =
      std::fwrite(line.data(), 1, line.size(), stdout) == line.size() && std::fputc('\n', stdout) != EOF;
  if (!written && first_output_failure == 0) first_output_failure = errno != 0 ? errno : -1;
}

int OutputFailure() {
  FlushOutput();
  if (first_output_failure == 0 && std::ferror(stdout) != 0) first_output_failure = -1;
  return first_output_failure;
}

}  // namespace varnel
