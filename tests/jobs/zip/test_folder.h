#ifndef VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_
#define VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace varnel {

// A fresh temporary folder, removed with everything in it when the test ends.
struct TestFolder {
  TestFolder() : path((std::filesystem::temp_directory_path() / "varnel-zip-XXXXXX").string()) {
    ::mkdtemp(path.data());
  }
  ~TestFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

inline void WriteFile(const std::string& path, const std::string& contents, bool executable = false) {
  std::ofstream(path, std::ios::binary) << contents;
  if (executable) std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

inline void WriteScript(const std::string& path, const std::string& body) {
  WriteFile(path, "#!/bin/sh\n" + body, true);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace varnel

#endif  // VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_
