// Measures the cleaning engine over a folder of empty files named after a real romset (or generated names):
// listing+sort of the folder (the baseline), a test-mode run in each zone mode, a real delete run (its log and
// its history synced batch by batch) against its floor, the listing plus an unlink loop over the same files, and
// against the same run without a history, a real trash
// run against its floor, the listing plus a loop that writes and syncs each record and renames each file into
// the trash (and its ratio to the delete run, without a target), and the peak memory of a test-mode run over
// 100k files. Each of three runs prints the medians of nine interleaved repeats (three for the trash, whose
// records are synced one by one) and each ratio to its baseline; a summary says which targets were met in two
// runs out of three.
//
//   cleaning_bench [--names FILE] [--repeats N] [--trash-repeats N] [--runs N] [--no-peak]

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

#include "common/well_known_names.h"
#include "engine/cleaning_plan.h"
#include "engine/cleaning_run.h"
#include "platform/file_ops.h"
#include "platform/listing.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace fs = std::filesystem;

namespace varnel {
namespace {

constexpr const char* kZones = "(f),(e),(ue),(jue),(u),(ju),(j)";

// A host that answers Yes and shows nothing.
class QuietHost : public CleaningHost {
 public:
  bool Confirm(const std::string&) override { return true; }
  void ShowMessage(const std::string& text, varnel::MessageIcon) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  }
  void SetProgress(double, double, double value) override { last_value_ = value; }
  void SetResultText(const std::string&) override {}
  void OpenLog(const std::string&) override {}

 private:
  double last_value_ = 0;
};

// The ordinary files of the bench's own folder; a folder that cannot be read ends the bench, whose timings
// would mean nothing.
std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  if (const Status listed = ListOrdinaryFiles(folder, &names); !listed.ok()) {
    std::fprintf(stderr, "%s\n", listed.ToString().c_str());
    std::exit(1);
  }
  return names;
}

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

constexpr double kTestRunTarget = 1.5;     // a test run against the listing
constexpr double kDeleteRunTarget = 1.15;  // a delete run against its floor, the listing and the unlink loop
constexpr double kHistoryTarget = 1.10;    // a delete run with its history against the same run without
constexpr double kTrashRunTarget = 1.5;    // a trash run against its floor, the listing and the record loop

// The ratios of one run of the benchmark, wall-clock and processor time.
struct Ratios {
  std::vector<Timing> test_runs;  // per zone mode, against the listing
  Timing delete_run;              // against the listing plus the unlink loop
  Timing delete_run_time;         // the delete run itself
  Timing history;                 // the delete run against the same run without a history
  Timing trash_run;               // against the listing plus the record and rename loop
  Timing trash_to_delete;         // the trash run against the delete run; no target
};

const std::pair<const char*, ZoneMode> kModes[] = {{"test run, all selected zones", ZoneMode::kAllSelectedZones},
                                                   {"test run, verified first", ZoneMode::kVerifiedFirst},
                                                   {"test run, first selected zone", ZoneMode::kFirstSelectedZone},
                                                   {"test run, all zones", ZoneMode::kAllZones}};

Timing Ratio(Timing run, Timing baseline) { return Timing{run.wall / baseline.wall, run.cpu / baseline.cpu}; }

// Each repeat measures the baseline and every run one after the other, so that a busy moment of a shared
// machine weighs on all of them alike.
void MeasureTestRuns(const std::string& folder, int repeats, Ratios* ratios) {
  QuietHost host;
  Listing(folder);  // warm-up, not counted
  for (const auto& [label, mode] : kModes) RunCleaning(TestRun(folder, mode), host);
  std::vector<Timing> listing;
  std::vector<std::vector<Timing>> runs(std::size(kModes));
  for (int i = 0; i < repeats; ++i) {
    listing.push_back(Measure([&] { Listing(folder); }));
    for (std::size_t m = 0; m < std::size(kModes); ++m) {
      const RunSettings settings = TestRun(folder, kModes[m].second);
      runs[m].push_back(Measure([&] { RunCleaning(settings, host); }));
    }
  }
  const Timing baseline = Median(listing);
  PrintRow("listing + sort", baseline, {});
  for (std::size_t m = 0; m < std::size(kModes); ++m) {
    PrintRow(kModes[m].first, Median(runs[m]), baseline);
    ratios->test_runs.push_back(Ratio(Median(runs[m]), baseline));
  }
}

// The history the real runs are recorded in: a folder of the benchmark's own, never the user's.
HistoryPlace g_history = HistoryPlace::Nowhere();

// What a real run and its floors took in one run of the benchmark: the medians over the repeats.
struct FloorTimings {
  std::size_t disposed = 0;  // files the run disposes of
  std::size_t listed = 0;
  Timing listing, run;
  std::vector<Timing> loops, floors;  // per loop: the loop, and the listing plus the loop
  Timing unrecorded;                  // the same run without a history, when measured
};

// A loop that disposes of the files named, in that order, by plain system calls.
using DisposalLoop = std::function<void(const std::vector<std::string>&)>;

// A real run cannot take less than the listing of the folder plus the disposal of its files by plain system
// calls: each repeat measures the listing, the run of `settings`, and each of `loops` over the files the run
// disposes of in the run's order, each with every file made again and after `reset` (when given), and the run
// is compared with those floors. With `unrecorded`, each repeat also measures the same run without a history,
// the two runs taking turns going first.
FloorTimings MeasureAgainstFloor(const BenchFolder& folder, const RunSettings& settings, int repeats,
                                 const std::vector<DisposalLoop>& loops, const std::function<void()>& reset = nullptr,
                                 bool unrecorded = false) {
  QuietHost host;
  std::vector<std::string> disposed;  // in the order the run disposes of them: its plan's
  fs::remove(fs::path(folder.path()) / varnel::kLogFileName);
  const CleaningPlan plan = PlanCleaning(settings, Listing(folder.path()));
  for (const PlannedDisposal& disposal : plan.disposals) disposed.emplace_back(plan.ListedName(disposal));
  std::vector<Timing> listing_times, run_times, unrecorded_times;
  std::vector<std::vector<Timing>> loop_times(loops.size()), floor_times(loops.size());
  const auto prepare = [&] {
    folder.Restore(disposed);
    if (reset) reset();
  };
  // Once, not counted: so that the run, like the loops, starts where a disposal of every file was undone (the
  // files made again, the trash emptied), and none is favoured by the work the file system defers.
  prepare();
  loops.front()(disposed);
  for (int i = 0; i < repeats; ++i) {
    fs::remove(fs::path(folder.path()) / varnel::kLogFileName);
    prepare();
    listing_times.push_back(Measure([&] { Listing(folder.path()); }));
    const bool recorded_first = !unrecorded || i % 2 == 0;
    for (int turn = 0; turn < (unrecorded ? 2 : 1); ++turn) {
      if (turn == 1) {
        fs::remove(fs::path(folder.path()) / varnel::kLogFileName);
        prepare();
      }
      if ((turn == 0) == recorded_first) {
        run_times.push_back(Measure([&] { RunCleaning(settings, host, g_history); }));
      } else {
        unrecorded_times.push_back(Measure([&] { RunCleaning(settings, host, HistoryPlace::Nowhere()); }));
      }
    }
    for (std::size_t l = 0; l < loops.size(); ++l) {
      prepare();
      loop_times[l].push_back(Measure([&] { loops[l](disposed); }));
      floor_times[l].push_back(Timing{listing_times.back().wall + loop_times[l].back().wall,
                                      listing_times.back().cpu + loop_times[l].back().cpu});
    }
  }
  folder.Restore(disposed);
  fs::remove(fs::path(folder.path()) / varnel::kLogFileName);
  if (reset) reset();
  FloorTimings timings{disposed.size(),
                       plan.listing.size(),
                       Median(listing_times),
                       Median(run_times),
                       {},
                       {},
                       unrecorded ? Median(unrecorded_times) : Timing{}};
  for (std::size_t l = 0; l < loops.size(); ++l) {
    timings.loops.push_back(Median(loop_times[l]));
    timings.floors.push_back(Median(floor_times[l]));
  }
  return timings;
}

// A delete run against the listing plus an unlink loop over the same files.
void MeasureDeleteRun(const BenchFolder& folder, int repeats, Ratios* ratios) {
  RunSettings settings = TestRun(folder.path(), ZoneMode::kVerifiedFirst);
  settings.TestMode = false;
  const DisposalLoop unlink_loop = [&](const std::vector<std::string>& names) {
    bool unlinked = true;
    for (const std::string& name : names) unlinked = RemoveFile(JoinPath(folder.path(), name)).ok() && unlinked;
    if (!unlinked) {
      std::fprintf(stderr, "cleaning_bench: a file of the unlink loop could not be deleted\n");
      std::exit(1);
    }
  };
  const FloorTimings t = MeasureAgainstFloor(folder, settings, repeats, {unlink_loop}, nullptr, /*unrecorded=*/true);
  std::printf("  (%zu of %zu files deleted, each batch of log lines and of intents synced before its files go)\n",
              t.disposed, t.listed);
  PrintRow("listing + sort", t.listing, {});
  PrintRow("unlink loop", t.loops[0], {});
  PrintRow("floor: listing + unlink loop", t.floors[0], {});
  PrintRow("delete run, verified first", t.run, t.floors[0]);
  PrintRow("delete run without a history", t.unrecorded, {});
  PrintRow("delete run / run without history", t.run, t.unrecorded);
  ratios->delete_run = Ratio(t.run, t.floors[0]);
  ratios->delete_run_time = t.run;
  ratios->history = Ratio(t.run, t.unrecorded);
}

#ifndef _WIN32
// A trash run against the listing plus a loop that, for each of the same files, creates its record in the
// trash's info/ with O_EXCL, writes and syncs it, then renames the file into files/: the steps the trash takes
// for each file, without its checks and its choice of names. The trash, in `data_home`, is emptied before each.
void MeasureTrashRun(const BenchFolder& folder, const std::string& data_home, int repeats, Ratios* ratios) {
  RunSettings settings = TestRun(folder.path(), ZoneMode::kVerifiedFirst);
  settings.TestMode = false;
  settings.TrashFiles = true;
  const fs::path trash = fs::path(data_home) / "Trash";
  const auto empty_trash = [&] {
    fs::remove_all(trash);
    fs::create_directories(trash / "files");
    fs::create_directories(trash / "info");
    sync();
  };
  const auto loop = [&](const std::vector<std::string>& names, bool sync_records) {
    const int from = open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int files = open((trash / "files").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int info = open((trash / "info").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const std::string& name : names) {
      const std::string record =
          "[Trash Info]\nPath=" + JoinPath(folder.path(), name) + "\nDeletionDate=2024-01-01T00:00:00\n";
      const int fd =
          openat(info, (name + ".trashinfo").c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0 || write(fd, record.data(), record.size()) != static_cast<ssize_t>(record.size()) ||
          (sync_records && fsync(fd) != 0) || renameat(from, name.c_str(), files, name.c_str()) != 0) {
        std::fprintf(stderr, "cleaning_bench: trash loop: %s: %s\n", name.c_str(), std::strerror(errno));
        std::exit(1);
      }
      if (fd >= 0) close(fd);
    }
    close(from), close(files), close(info);
  };
  const FloorTimings t = MeasureAgainstFloor(
      folder, settings, repeats,
      {[&](const std::vector<std::string>& names) { loop(names, true); },
       [&](const std::vector<std::string>& names) { loop(names, false); }},  // the syncs' cost: no target
      empty_trash);
  std::printf("  (%zu of %zu files put in the trash, each record synced before its file goes)\n", t.disposed, t.listed);
  PrintRow("record + sync + rename loop", t.loops[0], {});
  PrintRow("floor: listing + that loop", t.floors[0], {});
  PrintRow("trash run, verified first", t.run, t.floors[0]);
  PrintRow("record + rename loop, no sync", t.loops[1], {});
  PrintRow("trash run / listing + that", t.run, t.floors[1]);
  PrintRow("trash run / delete run", t.run, ratios->delete_run_time);
  ratios->trash_run = Ratio(t.run, t.floors[0]);
  ratios->trash_to_delete = Ratio(t.run, ratios->delete_run_time);
}
#endif

// Prints the ratio of each of the runs and whether the target is met: in at least two runs out of three
// (a majority of the runs), by wall-clock and by processor time.
void PrintVerdict(const char* label, const std::vector<Timing>& ratios, double target) {
  int wall_met = 0, cpu_met = 0;
  std::string wall, cpu;
  for (const Timing& ratio : ratios) {
    char text[32];
    std::snprintf(text, sizeof text, " %5.2fx", ratio.wall);
    wall += text;
    std::snprintf(text, sizeof text, " %5.2fx", ratio.cpu);
    cpu += text;
    wall_met += ratio.wall <= target;
    cpu_met += ratio.cpu <= target;
  }
  const int needed = static_cast<int>(ratios.size()) / 2 + 1;
  std::printf("  %-32s wall-clock%s: %s (%d of %zu)\n", label, wall.c_str(), wall_met >= needed ? "met" : "NOT met",
              wall_met, ratios.size());
  std::printf("  %-32s processor %s: %s (%d of %zu)\n", "", cpu.c_str(), cpu_met >= needed ? "met" : "NOT met", cpu_met,
              ratios.size());
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
  int repeats = 9;
  int trash_repeats = 3;
  int runs = 3;
  bool peak = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--peak-child" && i + 1 < argc) return PeakChild(argv[i + 1]);
    if (arg == "--names" && i + 1 < argc) {
      names_file = argv[++i];
    } else if (arg == "--repeats" && i + 1 < argc) {
      repeats = std::max(5, std::atoi(argv[++i]));
    } else if (arg == "--trash-repeats" && i + 1 < argc) {
      trash_repeats = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--no-peak") {
      peak = false;
    } else {
      std::fprintf(stderr,
                   "usage: cleaning_bench [--names FILE] [--repeats N] [--trash-repeats N] [--runs N] [--no-peak]\n");
      return 2;
    }
  }

  std::vector<std::string> names = names_file.empty() ? RomsetNames("goodgba.txt", 37000) : ReadNames(names_file);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  SortListedNames(&names);  // files are created in the order a run lists them, as copying a sorted set would
  std::printf("cleaning_bench: %zu files, %d runs of %d interleaved repeats; medians, and ratios to the baseline\n",
              names.size(), runs, repeats);

  BenchFolder folder;
  folder.Fill(names);
  const BenchFolder history;
  g_history = HistoryPlace::In(history.path());
#ifndef _WIN32
  // The trash runs' own home trash, beside the folder: on its device, never the user's.
  const BenchFolder data_home;
  setenv("XDG_DATA_HOME", data_home.path().c_str(), 1);
#endif
  std::vector<Ratios> all;
  for (int run = 1; run <= runs; ++run) {
    std::printf("run %d of %d\n  %-32s %12s %6s   %12s %6s\n", run, runs, "", "wall-clock", "ratio", "processor",
                "ratio");
    Ratios ratios;
    MeasureTestRuns(folder.path(), repeats, &ratios);
    MeasureDeleteRun(folder, repeats, &ratios);
#ifndef _WIN32
    MeasureTrashRun(folder, data_home.path(), trash_repeats, &ratios);
#else
    (void)trash_repeats;
#endif
    all.push_back(ratios);
  }

  std::printf(
      "targets: test runs <= %.2fx the listing, the delete run <= %.2fx its floor and <= %.2fx the same run\n"
      "without a history, the trash run <= %.2fx its floor; met when the median of a run is under the target in\n"
      "most runs (two of three)\n",
      kTestRunTarget, kDeleteRunTarget, kHistoryTarget, kTrashRunTarget);
  for (std::size_t m = 0; m < std::size(kModes); ++m) {
    std::vector<Timing> ratios;
    for (const Ratios& run : all) ratios.push_back(run.test_runs[m]);
    PrintVerdict(kModes[m].first, ratios, kTestRunTarget);
  }
  std::vector<Timing> delete_ratios;
  for (const Ratios& run : all) delete_ratios.push_back(run.delete_run);
  PrintVerdict("delete run / floor", delete_ratios, kDeleteRunTarget);
  std::vector<Timing> history_ratios;
  for (const Ratios& run : all) history_ratios.push_back(run.history);
  PrintVerdict("delete run / without history", history_ratios, kHistoryTarget);
#ifndef _WIN32
  std::vector<Timing> trash_ratios;
  std::string to_delete;
  for (const Ratios& run : all) {
    trash_ratios.push_back(run.trash_run);
    char text[32];
    std::snprintf(text, sizeof text, " %5.2fx", run.trash_to_delete.wall);
    to_delete += text;
  }
  PrintVerdict("trash run / floor", trash_ratios, kTrashRunTarget);
  std::printf("  %-32s wall-clock%s (no target)\n", "trash run / delete run", to_delete.c_str());
#endif

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
