#ifndef VARNEL_TESTS_HISTORY_HISTORY_TEST_SUPPORT_H_
#define VARNEL_TESTS_HISTORY_HISTORY_TEST_SUPPORT_H_

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/cleaning_host.h"
#include "history/undo.h"
#include "jobs/alpha/alpha_host.h"
#include "jobs/zip/zip_host.h"
#include "platform/text_file.h"

namespace varnel {

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder()
      : path_(std::filesystem::temp_directory_path() / ("varnel-history-" + std::to_string(std::random_device()()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string path() const { return path_.string(); }
  std::string PathOf(const std::string& relative) const { return (path_ / relative).string(); }
  void Write(const std::string& relative, const std::string& contents) const {
    std::ofstream(path_ / relative, std::ios::binary) << contents;
  }
  bool Has(const std::string& relative) const {
    std::error_code error;
    return std::filesystem::symlink_status(path_ / relative, error).type() != std::filesystem::file_type::not_found;
  }

 private:
  std::filesystem::path path_;
};

// What a folder holds, recursively: each entry's relative path with its contents and modification time ("/"
// after a folder's name). `logfile.txt` at the top is left out when `without_log`.
inline std::map<std::string, std::string> Snapshot(const std::string& folder, bool without_log = true) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string relative = fs::relative(entry.path(), folder).generic_string();
    if (without_log && relative == "logfile.txt") continue;
    if (entry.is_directory()) {
      entries[relative + "/"] = "";
      continue;
    }
    std::string contents;
    ReadWholeFile(entry.path().string(), &contents);
    const auto time = fs::last_write_time(entry.path()).time_since_epoch().count();
    entries[relative] = contents + " @" + std::to_string(time);
  }
  return entries;
}

// Records what a job shows: "[icon] text" per message; answers questions with `answer`.
class RecordingHost : public CleaningHost, public AlphaHost, public ZipHost, public UndoHost {
 public:
  bool Confirm(const std::string& question) override {
    messages.push_back("? " + question);
    return answer;
  }
  void ShowMessage(const std::string& text, int icon) override {
    messages.push_back("[" + std::to_string(icon) + "] " + text);
  }
  void SetProgress(double, double, double value) override {
    if (on_progress) on_progress(value);
  }
  void SetResultText(const std::string&) override {}
  void OpenLog(const std::string&) override {}

  bool answer = true;
  std::vector<std::string> messages;
  std::function<void(double)> on_progress;
};

}  // namespace varnel

#endif  // VARNEL_TESTS_HISTORY_HISTORY_TEST_SUPPORT_H_
