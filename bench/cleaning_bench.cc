// Measures the cleaning engine over a folder of empty files named after a real romset (or generated names):
// listing+sort of the folder (the baseline), a test-mode run in each zone mode, a real delete run against an
// unlink loop over the same files, and the peak memory of a test-mode run over 100k files. Prints the median
// of several repeats and each ratio to its baseline's median.
//
//   cleaning_bench [--names FILE] [--repeats N] [--no-peak]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/cleaning_run.h"
#include "platform/file_ops.h"
#include "platform/listing.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace varnel {
namespace {

constexpr const char* kZones = "(f),(e),(ue),(jue),(u),(ju),(j)";

// A host that answers Yes and shows nothing.
class QuietHost : public CleaningHost {
 public:
  bool Confirm(const std::string&) override { return true; }
  void ShowMessage(const std::string& text, int) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
  void SetProgress(double, double, double value) override { last_value_ = value; }
  void SetResultText(const std::string&) override {}
  void OpenLog(const std::string&) override {}

 private:
  double last_value_ = 0;
};

std::vector<std::string> ReadNames(const std::string& path) {
  std::vector<std::string> names;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.find('/') == std::string::npos) names.push_back(line);
  }
  return names;
}

// Romset-like names: games with several zones, verified and bad dumps, and translations.
std::vector<std::string> GeneratedNames(std::size_t count) {
  static const char* const kTags[] = {
      " (U) [!]",        " (E)",    " (J)",        " (U) [b1]", " (E) [a1]", " (U) [T+Fre1.02_Team]",
      " (J) [T-Eng85%]", " (Beta)", " (JU) [h1C]", ""};
  std::vector<std::string> names;
  for (std::size_t i = 0; names.size() < count; ++i) {
    for (const char* tag : kTags) names.push_back("Game Number " + std::to_string(i) + tag + ".gba");
  }
  names.resize(count);
  return names;
}

// The names of `list` in the romnames collection, or generated names when it is not there.
std::vector<std::string> RomsetNames(const std::string& list, std::size_t generated_count) {
  const fs::path path = fs::path(VARNEL_SOURCE_DIR) / ".." / "shared" / "data" / "romnames" / list;
  if (fs::exists(path)) return ReadNames(path.string());
  return GeneratedNames(generated_count);
}

class BenchFolder {
 public:
  BenchFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("varnel-bench-" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~BenchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string path() const { return path_.string(); }
  // Leaves exactly `names` in the folder, as empty files.
  void Fill(const std::vector<std::string>& names) const {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    fs::create_directories(path_);
    Restore(names);
  }
  // Creates those of `names` that are missing, as empty files, in the order given, and waits until the
  // file system has written them out: the writes of these files must not fall into the next measurement.
  void Restore(const std::vector<std::string>& names) const {
    for (const std::string& name : names) std::ofstream(path_ / name);
#ifndef _WIN32
    sync();
#endif
  }

 private:
  fs::path path_;
};

// Wall-clock and processor time of one call, in milliseconds. The machine may be shared: processor time
// (std::clock, this process only) is steadier there, wall-clock time is what the user waits.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

Timing Measure(const std::function<void()>& work) {
  const std::clock_t cpu_start = std::clock();
  const auto wall_start = std::chrono::steady_clock::now();
  work();
  const auto wall_end = std::chrono::steady_clock::now();
  const std::clock_t cpu_end = std::clock();
  return Timing{std::chrono::duration<double, std::milli>(wall_end - wall_start).count(),
                1000.0 * static_cast<double>(cpu_end - cpu_start) / CLOCKS_PER_SEC};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Timing Median(const std::vector<Timing>& timings) {
  std::vector<double> wall, cpu;
  for (const Timing& t : timings) {
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  return Timing{Median(wall), Median(cpu)};
}

void PrintRow(const char* label, Timing median, Timing baseline) {
  if (baseline.wall > 0) {
    std::printf("  %-32s %9.2f ms %5.2fx   %9.2f ms %5.2fx\n", label, median.wall, median.wall / baseline.wall,
                median.cpu, median.cpu / baseline.cpu);
  } else {
    std::printf("  %-32s %9.2f ms  base   %9.2f ms  base\n", label, median.wall, median.cpu);
  }
}

RunSettings TestRun(const std::string& folder, ZoneMode mode) {
  RunSettings settings;
  settings.RomFolder = folder;
  settings.TestMode = true;
  settings.OpenLog = false;
  settings.KeepTranslations = true;
  settings.TranslationText = "fre,eng";
  settings.ExclusionText = "(beta)";
  settings.ZoneMode = mode;
  settings.ZoneText = kZones;
  return settings;
}

// Each repeat measures the baseline and every run one after the other, so that a busy moment of a shared
// machine weighs on all of them alike. Returns the listing's median.
Timing MeasureTestRuns(const std::string& folder, int repeats) {
  const std::pair<const char*, ZoneMode> modes[] = {{"test run, all selected zones", ZoneMode::kAllSelectedZones},
                                                    {"test run, verified first", ZoneMode::kVerifiedFirst},
                                                    {"test run, first selected zone", ZoneMode::kFirstSelectedZone},
                                                    {"test run, all zones", ZoneMode::kAllZones}};
  QuietHost host;
  ListOrdinaryFiles(folder);  // warm-up, not counted
  for (const auto& [label, mode] : modes) RunCleaning(TestRun(folder, mode), host);
  std::vector<Timing> listing;
  std::vector<std::vector<Timing>> runs(std::size(modes));
  for (int i = 0; i < repeats; ++i) {
    listing.push_back(Measure([&] { ListOrdinaryFiles(folder); }));
    for (std::size_t m = 0; m < std::size(modes); ++m) {
      const RunSettings settings = TestRun(folder, modes[m].second);
      runs[m].push_back(Measure([&] { RunCleaning(settings, host); }));
    }
  }
  const Timing baseline = Median(listing);
  PrintRow("listing + sort", baseline, {});
  for (std::size_t m = 0; m < std::size(modes); ++m) PrintRow(modes[m].first, Median(runs[m]), baseline);
  return baseline;
}

// `listing` is the median listing time of the full folder: a delete run cannot take less than the listing
// plus the unlinks, and that floor is printed beside the run.
void MeasureDeleteRun(const BenchFolder& folder, const std::vector<std::string>& names, int repeats, Timing listing) {
  RunSettings settings = TestRun(folder.path(), ZoneMode::kVerifiedFirst);
  settings.TestMode = false;
  QuietHost host;
  // The first run tells which files a delete run removes; each later repeat puts them back first. The names
  // are in listing order, so the loop removes the files in the order the run does.
  std::vector<std::string> deleted;
  std::vector<Timing> run_times;
  std::vector<Timing> unlink_times;
  for (int i = 0; i < repeats; ++i) {
    fs::remove(fs::path(folder.path()) / "logfile.txt");
    folder.Restore(deleted);
    run_times.push_back(Measure([&] { RunCleaning(settings, host); }));
    if (i == 0) {
      std::set<std::string> left;
      for (const auto& entry : fs::directory_iterator(folder.path())) left.insert(entry.path().filename().string());
      for (const std::string& name : names) {
        if (!left.count(name)) deleted.push_back(name);
      }
    }
    folder.Restore(deleted);
    unlink_times.push_back(Measure([&] {
      for (const std::string& name : deleted) RemoveFile(JoinPath(folder.path(), name));
    }));
  }
  folder.Restore(deleted);
  const Timing baseline = Median(unlink_times);
  std::printf("  (%zu of %zu files deleted)\n", deleted.size(), names.size());
  PrintRow("unlink loop", baseline, {});
  PrintRow("delete run, verified first", Median(run_times), baseline);
  PrintRow("(floor: listing + unlink loop)", Timing{baseline.wall + listing.wall, baseline.cpu + listing.cpu},
           baseline);
}

#ifndef _WIN32
// Runs a test-mode run over `folder` in a fresh process and returns that process's peak resident memory, in
// KiB, so that the benchmark's own data does not count.
long PeakOfRunInChild(const char* self, const std::string& folder) {
  const pid_t child = fork();
  if (child == 0) {
    execl(self, self, "--peak-child", folder.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}
#endif

int PeakChild(const std::string& folder) {
  QuietHost host;
  const RunResult result = RunCleaning(TestRun(folder, ZoneMode::kAllSelectedZones), host);
  return result.outcome == RunResult::Outcome::kCompleted ? 0 : 1;
}

int Main(int argc, char** argv) {
  std::string names_file;
  int repeats = 15;
  bool peak = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--peak-child" && i + 1 < argc) return PeakChild(argv[i + 1]);
    if (arg == "--names" && i + 1 < argc) {
      names_file = argv[++i];
    } else if (arg == "--repeats" && i + 1 < argc) {
      repeats = std::max(5, std::atoi(argv[++i]));
    } else if (arg == "--no-peak") {
      peak = false;
    } else {
      std::fprintf(stderr, "usage: cleaning_bench [--names FILE] [--repeats N] [--no-peak]\n");
      return 2;
    }
  }

  std::vector<std::string> names = names_file.empty() ? RomsetNames("goodgba.txt", 37000) : ReadNames(names_file);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  SortListedNames(names);  // files are created in the order a run lists them, as copying a sorted set would
  std::printf("cleaning_bench: %zu files, median of %d repeats; ratios to the baseline above each group\n",
              names.size(), repeats);
  std::printf("  %-32s %12s %6s   %12s %6s\n", "", "wall-clock", "ratio", "processor", "ratio");

  BenchFolder folder;
  folder.Fill(names);
  const Timing listing = MeasureTestRuns(folder.path(), repeats);
  MeasureDeleteRun(folder, names, repeats, listing);

#ifndef _WIN32
  if (peak) {
    // 100k files: every list of the romnames collection when present, topped up with generated names.
    std::set<std::string> unique;
    for (const char* list : {"goodgba.txt", "goodcpc.txt", "goodsnes.txt", "goodnes.txt", "goodgbx.txt", "goodgen.txt",
                             "goodn64.txt", "goodpce.txt", "goodsms.txt", "goodgg.txt"}) {
      for (std::string& name : RomsetNames(list, 0)) unique.insert(std::move(name));
    }
    for (std::string& name : GeneratedNames(100000)) {
      if (unique.size() >= 100000) break;
      unique.insert(std::move(name));
    }
    std::vector<std::string> big(unique.begin(), unique.end());
    big.resize(std::min<std::size_t>(big.size(), 100000));
    folder.Fill(big);
    const long kib = PeakOfRunInChild("/proc/self/exe", folder.path());
    std::printf("  peak memory, test run over %zu files: %.1f MiB (target < 64 MiB)\n", big.size(), kib / 1024.0);
  }
#else
  (void)peak;
#endif
  return 0;
}

}  // namespace
}  // namespace varnel

int main(int argc, char** argv) { return varnel::Main(argc, argv); }
