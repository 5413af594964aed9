#include "platform/program_folder.h"

#include <unistd.h>

#include <climits>

namespace varnel {

std::string ProgramFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
  const std::string path(buffer, static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  if (slash == 0) return path.substr(0, 1);  // the root folder keeps its separator
  return path.substr(0, slash);
}

}  // namespace varnel
