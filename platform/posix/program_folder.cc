#include "platform/program_folder.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "common/well_known_names.h"

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

std::string StateFolderPath() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    return std::string(state) + "/" + kStateFolderName;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.local/state/" + kStateFolderName;
}

}  // namespace varnel
