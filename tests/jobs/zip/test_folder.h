#ifndef VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_
#define VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

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

// The process id a script wrote into `path`; 0 when there is none.
inline int ProcessIdIn(const std::string& path) {
  const std::string text = ReadFile(path);
  return text.empty() ? 0 : std::atoi(text.c_str());
}

// True when the process `pid` has ended (a zombie that nobody reaped yet counts as ended), waiting a little
// for a process that was just killed to die.
inline bool ProcessEnded(int pid) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  do {
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t name_end = stat.rfind(')');
    if (stat.empty() || (name_end != std::string::npos && name_end + 2 < stat.size() &&
                         (stat[name_end + 2] == 'Z' || stat[name_end + 2] == 'X'))) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

}  // namespace varnel

#endif  // VARNEL_TESTS_JOBS_ZIP_TEST_FOLDER_H_
