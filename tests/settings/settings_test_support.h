#ifndef VARNEL_TESTS_SETTINGS_SETTINGS_TEST_SUPPORT_H_
#define VARNEL_TESTS_SETTINGS_SETTINGS_TEST_SUPPORT_H_

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace varnel {

// A fresh folder, removed with everything in it at the end of the test.
struct TempFolder {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("varnel-settings-" + std::to_string(std::random_device()()));
  TempFolder() { std::filesystem::create_directories(path); }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

// The bytes of a file; empty when it cannot be read.
inline std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace varnel

#endif  // VARNEL_TESTS_SETTINGS_SETTINGS_TEST_SUPPORT_H_
