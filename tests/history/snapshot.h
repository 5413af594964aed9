#ifndef VARNEL_TESTS_HISTORY_SNAPSHOT_H_
#define VARNEL_TESTS_HISTORY_SNAPSHOT_H_

#include <filesystem>
#include <map>
#include <string>

#include "tests/support/files.h"

namespace varnel {

// What a folder holds, recursively: each entry's relative path with its contents and modification time ("/"
// after a folder's name). `logfile.txt` at the top is left out when `without_log`.
inline std::map<std::string, std::string> Snapshot(const std::string& folder, bool without_log = true) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string relative = fs::relative(entry.path(), folder).generic_string();
    if (without_log && relative == "logfile.txt") continue;
    if (entry.is_directory()) {
      entries[relative + "/"] = "";
      continue;
    }
    const auto time = fs::last_write_time(entry.path()).time_since_epoch().count();
    entries[relative] = ReadFile(entry.path()) + " @" + std::to_string(time);
  }
  return entries;
}

}  // namespace varnel

#endif  // VARNEL_TESTS_HISTORY_SNAPSHOT_H_
