#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/posix_file.h"
#include "platform/system.h"

namespace varnel {

std::vector<std::string> ProtectedFolderPaths() {
  std::vector<std::string> paths = {"/",      "/bin",   "/boot",   "/dev", "/etc",  "/home", "/lib",
                                    "/lib32", "/lib64", "/libx32", "/opt", "/proc", "/root", "/run",
                                    "/sbin",  "/sys",   "/tmp",    "/usr", "/var"};
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') paths.emplace_back(home);
  if (std::string home = PasswordDatabaseHome(); !home.empty()) paths.push_back(std::move(home));
  return paths;
}

}  // namespace varnel
