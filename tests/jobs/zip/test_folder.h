#ifndef VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_
#define VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace varnel {

// A fresh temporary folder, removed with everything in it when the test ends.
class TestFolder {
 public:
  TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "varnel-zip-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TestFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes an executable shell script.
inline void WriteScript(const std::string& path, const std::string& body) {
  WriteFile(path, "#!/bin/sh\n" + body);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

}  // namespace varnel

#endif  // VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_
