#ifndef VARNEL_TESTS_SUPPORT_TEMP_FOLDER_H_
#define VARNEL_TESTS_SUPPORT_TEMP_FOLDER_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace varnel {

// A fresh folder of its own under `parent` (the system's temporary folder by default), its name `prefix` and a
// random number, removed with everything in it at the end of the test; permissions a test took away from it are
// given back first.
class TempFolder {
 public:
  explicit TempFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path(),
                      std::string_view prefix = "varnel-test-");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` in the folder (a relative path below it too).
  std::string operator/(std::string_view name) const;

  // Writes the file `name` with `contents`, replacing it; returns its path.
  std::string Touch(std::string_view name, std::string_view contents = "") const;
  // Writes an empty file for each of `names`.
  void TouchAll(const std::vector<std::string>& names) const;
  // True when anything of that name is in the folder.
  bool Has(std::string_view name) const;
  // The bytes of the file `name`; empty when it cannot be read.
  std::string Read(std::string_view name) const;

 private:
  std::string path_;
};

// Makes `folder` the process's current folder until the end of the scope, then gives the previous one back
// (also when an assertion leaves the test early).
class CurrentFolderScope {
 public:
  explicit CurrentFolderScope(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentFolderScope() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  CurrentFolderScope(const CurrentFolderScope&) = delete;
  CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace varnel

#endif  // VARNEL_TESTS_SUPPORT_TEMP_FOLDER_H_
