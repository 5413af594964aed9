// The alphabetical job over a folder of real romset names, against a plain rename loop that moves the
// same files into the same letter folders; then the undo of the job's run, against a plain rename loop that
// moves the files back. Prints the median of each and their ratios (target: <= 1.2 each). The runs are recorded
// in a history folder of the benchmark's own.
//
// Usage: alpha_bench [NAMES_FILE [REPEATS]]. Without NAMES_FILE the GoodGBA list beside the checkout is
// used when present; otherwise 37,145 names are generated.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/well_known_names.h"
#include "history/undo.h"
#include "jobs/alpha/alpha_job.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kGeneratedNames = 37145;

class QuietHost : public varnel::AlphaHost, public varnel::UndoHost {
 public:
  bool Confirm(const std::string&) override { return true; }
  void ShowMessage(const std::string& text, varnel::MessageIcon) override { last_message = text; }
  void SetProgress(double, double, double value) override { last_value = value; }
  std::string last_message;
  double last_value = 0;
};

std::vector<std::string> LoadNames(const std::string& path) {
  std::vector<std::string> names;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

// Names shaped like a romset's: an initial of any kind, a title, zone and dump tags, an extension.
std::vector<std::string> GenerateNames() {
  static const char kInitials[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdez0123456789[!#";
  static const char* const kTags[] = {" (U)", " (E)", " (J)", " (JU)", " [!]", " [b1]", " [T+Fre]", " (PD)"};
  std::mt19937 random(42);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < kGeneratedNames; ++i) {
    std::string name(1, kInitials[random() % (sizeof(kInitials) - 1)]);
    name += "ame Title " + std::to_string(i);
    name += kTags[random() % std::size(kTags)];
    name += ".gba";
    names.push_back(name);
  }
  return names;
}

void Populate(const fs::path& folder, const std::vector<std::string>& names) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const std::string& name : names) std::ofstream(folder / fs::path(std::u8string(name.begin(), name.end())));
}

// Puts every file back from the letter folders into `folder` and removes "AlphaFolders", so each timed run
// starts from the same files (creating them anew costs far more than the runs themselves). Returns the files
// moved back: the baseline of an undo.
std::size_t Restore(const fs::path& folder) {
  const fs::path alpha = folder / varnel::kAlphaFoldersName;
  std::size_t moved = 0;
  for (const fs::directory_entry& letter : fs::directory_iterator(alpha)) {
    for (const fs::directory_entry& file : fs::directory_iterator(letter.path())) {
      if (std::rename(file.path().c_str(), (folder / file.path().filename()).c_str()) == 0) ++moved;
    }
  }
  fs::remove_all(alpha);
  return moved;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The baseline: what a hand-written loop does for the same result, with nothing checked and nothing sorted.
std::size_t PlainRenameLoop(const fs::path& folder) {
  const fs::path alpha = folder / varnel::kAlphaFoldersName;
  fs::create_directory(alpha);
  fs::create_directory(alpha / "#");
  for (char letter = 'A'; letter <= 'Z'; ++letter) fs::create_directory(alpha / std::string(1, letter));
  const std::string root = folder.string() + "/";
  const std::string alpha_root = alpha.string() + "/";
  std::size_t moved = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().filename().string();
    char initial = name[0];
    if (initial >= 'a' && initial <= 'z') initial = static_cast<char>(initial - 'a' + 'A');
    if (initial < 'A' || initial > 'Z') initial = '#';
    const std::string to = alpha_root + initial + "/" + name;
    if (std::rename((root + name).c_str(), to.c_str()) == 0) ++moved;
  }
  return moved;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::string names_path = argc > 1 ? argv[1] : VARNEL_SOURCE_DIR "/../shared/data/romnames/goodgba.txt";
  const int repeats = argc > 2 ? std::max(5, std::atoi(argv[2])) : 7;
  std::vector<std::string> names = LoadNames(names_path);
  if (names.empty()) {
    std::printf("%s not found: generating names\n", names_path.c_str());
    names = GenerateNames();
  }

  const std::string tag = std::to_string(std::random_device()());
  const fs::path folder = fs::temp_directory_path() / ("varnel_alpha_bench_" + tag);
  const fs::path history = fs::temp_directory_path() / ("varnel_alpha_bench_history_" + tag);
  const varnel::HistoryPlace place = varnel::HistoryPlace::In(history.string());
  std::string last_run;  // the id of the job's last run
  // Each timed run moves the same files; Restore() puts them back. The two take turns going first, so
  // neither always meets a freshly written directory.
  const auto time_job = [&]() -> double {
    QuietHost host;
    const auto start = std::chrono::steady_clock::now();
    const varnel::AlphaResult result = varnel::RunAlphaFolders(folder.string(), host, place);
    const double seconds = Seconds(start);
    last_run = result.history_id;
    if (static_cast<std::size_t>(result.moved_count) == names.size()) return seconds;
    std::fprintf(stderr, "the job moved %d of %zu files: %s\n", result.moved_count, names.size(),
                 result.message.c_str());
    return -1;
  };
  const auto time_loop = [&]() -> double {
    const auto start = std::chrono::steady_clock::now();
    const std::size_t moved = PlainRenameLoop(folder);
    const double seconds = Seconds(start);
    if (moved == names.size()) return seconds;
    std::fprintf(stderr, "the rename loop moved %zu of %zu files\n", moved, names.size());
    return -1;
  };

  // The job's run taken back, from the sorted folder: the undo against the loop that moves the files back.
  const auto time_undo = [&]() -> double {
    QuietHost host;
    varnel::UndoOptions options;
    options.place = place;
    options.id = last_run;
    options.ask = false;
    const auto start = std::chrono::steady_clock::now();
    const varnel::UndoResult result = varnel::UndoRun(options, host);
    const double seconds = Seconds(start);
    if (result.all_back() && static_cast<std::size_t>(result.came_back) == names.size()) return seconds;
    std::fprintf(stderr, "the undo brought back %d of %zu files: %s\n", result.came_back, names.size(),
                 result.message.c_str());
    return -1;
  };
  const auto time_restore = [&]() -> double {
    const auto start = std::chrono::steady_clock::now();
    const std::size_t moved = Restore(folder);
    const double seconds = Seconds(start);
    if (moved == names.size()) return seconds;
    std::fprintf(stderr, "the loop moved %zu of %zu files back\n", moved, names.size());
    return -1;
  };
  const auto clean_up = [&] {
    fs::remove_all(folder);
    fs::remove_all(history);
  };

  std::vector<double> job_times, loop_times, undo_times, restore_times;
  Populate(folder, names);
  for (int repeat = 0; repeat < repeats * 2; ++repeat) {
    const bool job_turn = (repeat % 2 == 0) == (repeat % 4 < 2);  // job, loop, loop, job, job, loop, ...
    const double seconds = job_turn ? time_job() : time_loop();
    if (seconds < 0) {
      clean_up();
      return 1;
    }
    (job_turn ? job_times : loop_times).push_back(seconds);
    Restore(folder);
  }
  for (int repeat = 0; repeat < repeats * 2; ++repeat) {
    const bool undo_turn = (repeat % 2 == 0) == (repeat % 4 < 2);  // undo, loop, loop, undo, ...
    if (time_job() < 0) {
      clean_up();
      return 1;
    }
    const double seconds = undo_turn ? time_undo() : time_restore();
    if (seconds < 0) {
      clean_up();
      return 1;
    }
    (undo_turn ? undo_times : restore_times).push_back(seconds);
  }
  clean_up();

  const double job = Median(job_times);
  const double loop = Median(loop_times);
  std::printf("alpha job, %zu files: median of %d runs %.1f ms\n", names.size(), repeats, job * 1e3);
  std::printf("plain rename loop:     median of %d runs %.1f ms\n", repeats, loop * 1e3);
  std::printf("ratio job / rename loop: %.2f (target <= 1.20)\n", job / loop);
  const double undo = Median(undo_times);
  const double restore = Median(restore_times);
  std::printf("undo of the job's run:  median of %d runs %.1f ms\n", repeats, undo * 1e3);
  std::printf("plain rename loop back: median of %d runs %.1f ms\n", repeats, restore * 1e3);
  std::printf("ratio undo / rename loop back: %.2f (target <= 1.20)\n", undo / restore);
  return 0;
}
