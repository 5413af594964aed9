#ifndef VARNEL_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H_
#define VARNEL_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H_

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/cleaning_host.h"
#include "engine/rule_state.h"
#include "gtest/gtest.h"
#include "platform/text_file.h"

namespace varnel {

// Whether the test folder's file system tells names apart by case (Linux does; Windows does not).
#ifdef _WIN32
inline constexpr bool kNamesTellCaseApart = false;
#else
inline constexpr bool kNamesTellCaseApart = true;
#endif

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder()
      : path_(std::filesystem::temp_directory_path() / ("varnel-engine-" + std::to_string(std::random_device()()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string path() const { return path_.string(); }
  std::string PathOf(const std::string& name) const { return (path_ / name).string(); }
  void Touch(const std::string& name, const std::string& contents = "") const {
    std::ofstream(path_ / name, std::ios::binary) << contents;
  }
  void TouchAll(const std::vector<std::string>& names) const {
    for (const std::string& name : names) Touch(name);
  }
  bool Has(const std::string& name) const { return std::filesystem::exists(path_ / name); }
  std::string Read(const std::string& name) const {
    std::string text;
    const Status read = ReadWholeFile(PathOf(name), &text);
    EXPECT_TRUE(read.ok()) << name << ": " << read.message();
    return text;
  }

 private:
  std::filesystem::path path_;
};

// The log text of `lines` separated by "|": each line followed by CR LF.
inline std::string LogOf(const std::string& lines) {
  std::string text;
  std::size_t start = 0;
  for (std::size_t bar; (bar = lines.find('|', start)) != std::string::npos; start = bar + 1) {
    text += lines.substr(start, bar - start) + "\r\n";
  }
  return lines.empty() ? text : text + lines.substr(start) + "\r\n";
}

// Records the calls a run makes; answers the delete question with `confirm_answer` and calls `on_progress`
// with each progress value.
class RecordingHost : public CleaningHost {
 public:
  bool Confirm(const std::string& question) override {
    calls.push_back("Confirm: " + question);
    return confirm_answer;
  }
  void ShowMessage(const std::string& text, int icon) override {
    calls.push_back("Message " + std::to_string(icon) + ": " + text);
  }
  void SetProgress(double minimum, double maximum, double value) override {
    progress.push_back({minimum, maximum, value});
    if (on_progress) on_progress(value);
  }
  void SetResultText(const std::string& text) override { calls.push_back("Result: " + text); }
  void OpenLog(const std::string& path) override { calls.push_back("OpenLog: " + path); }

  bool confirm_answer = true;
  std::function<void(double)> on_progress;
  std::vector<std::string> calls;
  std::vector<std::vector<double>> progress;
};

// The rules' state of a run, for the rules that settle a group or the translation candidates directly.
class EngineStateTest : public ::testing::Test {
 protected:
  // A dump whose listed and lower-cased names are both `name`, kept alive by the fixture.
  Dump Keep(const std::string& name) {
    state_.plan.listing.push_back(name);
    return Dump{state_.plan.listing.size() - 1, names_.emplace_back(name)};
  }
  // The log lines decided so far.
  std::string Log() const { return state_.plan.log_text; }

  RuleState state_;
  std::deque<std::string> names_;
};

}  // namespace varnel

#endif  // VARNEL_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H_
