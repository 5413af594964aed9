#include "jobs/zip/archiver_lookup.h"

#include <cstdlib>
#include <string_view>

#include "platform/file_ops.h"
#include "platform/process.h"
#include "platform/program_folder.h"

namespace varnel {

std::string FindArchiver(const std::string& program_folder, const std::string& search_path) {
  if (!program_folder.empty()) {
    const std::string beside_program = JoinPath(program_folder, kArchiverFileName);
    if (IsStartableFile(beside_program)) return beside_program;
  }
#ifdef _WIN32
  (void)search_path;  // on Windows the archiver must lie in the program folder
#else
  std::string_view rest = search_path;
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    if (folder.empty() || folder.front() != '/') continue;  // never the current folder
    const std::string candidate = JoinPath(folder, kArchiverFileName);
    if (IsStartableFile(candidate)) return candidate;
  }
#endif
  return {};
}

std::string FindArchiver() {
  const char* path = std::getenv("PATH");
  return FindArchiver(ProgramFolder(), path == nullptr ? std::string() : std::string(path));
}

}  // namespace varnel
