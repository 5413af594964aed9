#ifndef VARNEL_BENCH_BENCH_SUPPORT_H_
#define VARNEL_BENCH_BENCH_SUPPORT_H_

// What the benchmarks over a folder of real romset names share (POSIX); VARNEL_SOURCE_DIR names the checkout.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/cleaning_host.h"

namespace varnel {

// How many names a folder gets when no real name list is found: as many as all the lists hold.
inline constexpr int kGeneratedRomNames = 138090;

// A value of /proc/self/status in MiB ("VmRSS", "VmHWM").
inline double StatusMiB(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0 && line[std::string(field).size()] == ':') {
      return std::stod(line.substr(std::string(field).size() + 1)) / 1024.0;
    }
  }
  return 0;
}

// Creates the empty file `path`; false when something is there already or it cannot be made.
inline bool CreateEmptyFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

// Fills `folder` with empty files named after every line of the lists in `lists` (a name that comes twice makes
// one file), reading one name at a time so that the names never sit in this process's memory; generated names
// when there is no list. Returns how many files it made.
inline int PopulateWithRomNames(const std::filesystem::path& lists, const std::string& folder) {
  int created = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(lists, error)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream list(entry.path(), std::ios::binary);
    for (std::string name; std::getline(list, name);) {
      if (!name.empty() && name.back() == '\r') name.pop_back();
      if (!name.empty() && name.find('/') == std::string::npos && CreateEmptyFile(folder + '/' + name)) ++created;
    }
  }
  if (created > 0) return created;
  std::printf("(no real name list: generated names)\n");
  for (int i = 0; i < kGeneratedRomNames; ++i) {
    const std::string name = "Game " + std::to_string(i / 6) + " (" + "UEJFGS"[i % 6] + ") [!].nes";
    created += CreateEmptyFile(folder + '/' + name) ? 1 : 0;
  }
  return created;
}

// Creates the folder `folder` and fills it with PopulateWithRomNames from the lists in the folder named by the
// program's first argument, else ../shared/data/romnames beside the checkout. Returns how many files it made.
inline int MakeRomNamesFolder(int argc, char** argv, const std::string& folder) {
  const std::filesystem::path lists = argc > 1 ? argv[1] : VARNEL_SOURCE_DIR "/../shared/data/romnames";
  std::filesystem::create_directory(folder);
  return PopulateWithRomNames(lists, folder);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A cleaning run's host that answers Yes and shows nothing.
class SilentCleaningHost : public CleaningHost {
 public:
  bool Confirm(const std::string&) override { return true; }
  void ShowMessage(const std::string&, varnel::MessageIcon) override {}
  void SetProgress(double, double, double) override {}
  void SetResultText(const std::string&) override {}
  void OpenLog(const std::string&) override {}
};

// How long `run` takes, in seconds of wall-clock time.
template <typename Run>
double Seconds(Run run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace varnel

#endif  // VARNEL_BENCH_BENCH_SUPPORT_H_
