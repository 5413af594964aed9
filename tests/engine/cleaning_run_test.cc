#include "engine/cleaning_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/lower_case.h"
#include "tests/engine/engine_test_support.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

const std::string kHyphens = "---------------------------------------------------";

RunSettings Settings(const TempFolder& folder, ZoneMode mode, const std::string& zones) {
  RunSettings settings;
  settings.RomFolder = folder.path();
  settings.TestMode = true;
  settings.MoveFiles = false;
  settings.OpenLog = false;
  settings.ZoneMode = mode;
  settings.ZoneText = zones;
  return settings;
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(CleaningRunTest, TestRunLogsEveryDecisionAndTouchesNothing) {
  TempFolder folder;
  folder.TouchAll({"Mario (E).nes", "Mario (U) [!].nes", "Mario (J).nes", "Zelda (F).nes"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(E),(U)");
  settings.OpenLog = true;
  RecordingHost host;
  const RunResult result = RunCleaning(settings, host);

  EXPECT_EQ(result.outcome, RunResult::Outcome::kCompleted);
  EXPECT_EQ(result.DisposedCount, 2);
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogLines({"mario (e).nes\t --> mario (u) [!].nes found", "mario (j).nes\t --> mario (u) [!].nes found",
                      kHyphens, "Theoretically deleted files : 2"}));
  EXPECT_EQ(FilesIn(folder.path()).size(), 5u);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"Result: ", "Result: Theoretically deleted files : 2",
                                                  "OpenLog: " + folder.PathOf("logfile.txt")}));
  // Maximum 2 + 4 names; one pass per name and a final one; back to 0 at the end.
  const std::vector<std::vector<double>> progress = {{0, 6, 0}, {0, 6, 1}, {0, 6, 2}, {0, 6, 3},
                                                     {0, 6, 4}, {0, 6, 5}, {0, 6, 0}};
  EXPECT_EQ(host.progress, progress);
}

TEST(CleaningRunTest, DeleteRunAsksAndDeletesTheListedFile) {
  TempFolder folder;
  // Two names that differ only by case are two files; the run deletes the one it names.
  folder.TouchAll({"Game (E).zip", "game (e).zip", "Game (U).zip"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.TestMode = false;
  RecordingHost host;
  const RunResult result = RunCleaning(settings, host);

  EXPECT_EQ(host.calls.front(), "Confirm: You will delete files. Continue ?");
  EXPECT_EQ(result.summary, "Deleted files : 2");
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogLines({"game (e).zip\t --> game (e).zip found", "game (u).zip\t --> game (e).zip found", kHyphens,
                      "Deleted files : 2"}));
  EXPECT_EQ(FilesIn(folder.path()), (std::set<std::string>{"Game (E).zip", "logfile.txt"}));
}

TEST(CleaningRunTest, DeleteRunNotConfirmedChangesNothing) {
  TempFolder folder;
  folder.TouchAll({"a (e).z", "a (u).z"});
  folder.Touch("logfile.txt", "earlier run");
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.TestMode = false;
  RecordingHost host;
  host.confirm_answer = false;
  EXPECT_EQ(RunCleaning(settings, host).outcome, RunResult::Outcome::kNotConfirmed);
  EXPECT_EQ(host.calls, std::vector<std::string>{"Confirm: You will delete files. Continue ?"});
  EXPECT_TRUE(host.progress.empty());
  EXPECT_EQ(folder.Read("logfile.txt"), "earlier run");
  EXPECT_EQ(FilesIn(folder.path()).size(), 3u);
}

TEST(CleaningRunTest, MoveRunKeepsListedNamesInMoved) {
  TempFolder folder;
  folder.TouchAll({"Game (E).zip", "Game (J).zip", "Other.zip", "Lone (J).zip"});
  RunSettings settings = Settings(folder, ZoneMode::kAllSelectedZones, "(E)");
  settings.TestMode = false;
  settings.MoveFiles = true;
  RecordingHost host;
  const RunResult result = RunCleaning(settings, host);

  EXPECT_EQ(host.calls.front(), "Result: ");  // no question when moving
  EXPECT_EQ(folder.Read("logfile.txt"), LogLines({"game (j).zip\t --> Unselected Zone",
                                                  "lone (j).zip\t --> Unselected Zone", kHyphens, "Moved files : 2"}));
  EXPECT_EQ(FilesIn(folder.path()), (std::set<std::string>{"Game (E).zip", "Other.zip", "logfile.txt"}));
  EXPECT_EQ(FilesIn(folder.PathOf("moved")), (std::set<std::string>{"Game (J).zip", "Lone (J).zip"}));
  EXPECT_EQ(result.DisposedCount, 2);
}

TEST(CleaningRunTest, TestRunInMoveModeCreatesNoFolder) {
  TempFolder folder;
  folder.TouchAll({"Lone (J).zip", "Plain.zip"});
  RunSettings settings = Settings(folder, ZoneMode::kFirstSelectedZone, "(e)");
  settings.MoveFiles = true;
  RecordingHost host;
  EXPECT_EQ(RunCleaning(settings, host).summary, "Theoretically moved files : 1");
  EXPECT_FALSE(folder.Has("moved"));
  EXPECT_EQ(FilesIn(folder.path()).size(), 3u);

  // In kAllZones and kVerifiedFirst a lone dump always stays.
  for (const ZoneMode mode : {ZoneMode::kAllZones, ZoneMode::kVerifiedFirst}) {
    settings.ZoneMode = mode;
    EXPECT_EQ(RunCleaning(settings, host).summary, "0 file deleted");
    EXPECT_EQ(folder.Read("logfile.txt"), LogLines({"0 file deleted"}));
  }
}

TEST(CleaningRunTest, RoutesKeepExclusionAndTranslations) {
  TempFolder folder;
  folder.TouchAll({"Some Game (E).zip", "Some Game (E) [T+Fre1.1].zip", "Some Game (E) [T+Fre_beta].zip",
                   "Some Game (J) [T+Eng1.0].zip", "Some Game (U) [T+Fre1.0].zip", "Some Game (U) [T+Fre1.1] [a1].zip",
                   "Some Game (U) [T+Ger1.0].zip", "Some Game (U) (Beta).zip", "Some Game (U) (Beta) [!].zip"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(f),(e),(ue),(jue),(u),(ju),(j)");
  settings.KeepTranslations = true;
  settings.TranslationText = "Fre,eng";
  settings.KeepText = "[!]";
  settings.ExclusionText = "(Beta), ,";  // blank items are passed over
  RecordingHost host;
  RunCleaning(settings, host);
  const std::string better = " --> some game (e) [t+fre1.1].zip has a better translation";
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogLines({"some game (u) (beta).zip\t --> Excluded file",
                      "some game (u) [t+ger1.0].zip\t --> Translation not wanted",
                      "some game (e) [t+fre_beta].zip\t" + better, "some game (u) [t+fre1.0].zip\t" + better,
                      "some game (u) [t+fre1.1] [a1].zip\t" + better, kHyphens, "Theoretically deleted files : 5"}));

  // Without translations every translated dump goes as excluded, in listing order.
  settings.KeepTranslations = false;
  RunCleaning(settings, host);
  EXPECT_EQ(
      folder.Read("logfile.txt"),
      LogLines(
          {"some game (e) [t+fre1.1].zip\t --> Excluded file", "some game (e) [t+fre_beta].zip\t --> Excluded file",
           "some game (j) [t+eng1.0].zip\t --> Excluded file", "some game (u) (beta).zip\t --> Excluded file",
           "some game (u) [t+fre1.0].zip\t --> Excluded file", "some game (u) [t+fre1.1] [a1].zip\t --> Excluded file",
           "some game (u) [t+ger1.0].zip\t --> Excluded file", kHyphens, "Theoretically deleted files : 7"}));

  // A keep item that is empty holds every name.
  settings.KeepText = "[!],";
  EXPECT_EQ(RunCleaning(settings, host).summary, "0 file deleted");
}

TEST(CleaningRunTest, TranslationsOfAnotherGameNeverCompete) {
  TempFolder folder;
  folder.TouchAll({"Alpha (E) [T+Fre1.0].zip", "Alpha (E).zip", "Beta (E) [T+Fre1.0].zip", "Beta (E) [T+Fre2.0].zip",
                   "Beta (E).zip"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.KeepTranslations = true;
  settings.TranslationText = "fre";
  RecordingHost host;
  RunCleaning(settings, host);
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogLines({"beta (e) [t+fre1.0].zip\t --> beta (e) [t+fre2.0].zip has a better translation", kHyphens,
                      "Theoretically deleted files : 1"}));
}

TEST(CleaningRunTest, EarlierLogGroupsButIsNeverDisposedOf) {
  TempFolder folder;
  folder.TouchAll({"logfile (e).txt", "logfile (u).txt"});
  folder.Touch("logfile.txt", "earlier run");
  folder.Touch("LogFile.TXT", "keep me");
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.TestMode = false;
  RecordingHost host;
  RunCleaning(settings, host);
  EXPECT_EQ(host.progress.front(), (std::vector<double>{0, 6, 0}));  // both logs are in the snapshot
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogLines({"logfile (u).txt\t --> logfile (e).txt found", kHyphens, "Deleted files : 1"}));
  EXPECT_EQ(folder.Read("LogFile.TXT"), "keep me");
  EXPECT_EQ(FilesIn(folder.path()), (std::set<std::string>{"LogFile.TXT", "logfile (e).txt", "logfile.txt"}));
}

TEST(CleaningRunTest, FailedDeleteAndMoveAreLoggedAndNotCounted) {
  TempFolder folder;
  folder.TouchAll({"k (e).z", "k (j).z", "m (e).z", "m (j).z"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.TestMode = false;
  RecordingHost host;
  // "k (j).z" disappears after the listing was taken.
  host.on_progress = [&folder](double value) {
    if (value == 1) fs::remove(folder.PathOf("k (j).z"));
  };
  RunResult result = RunCleaning(settings, host);
  EXPECT_EQ(result.failed_count, 1);
  EXPECT_EQ(folder.Read("logfile.txt"), LogLines({"k (j).z\t --> Error: No such file or directory",
                                                  "m (j).z\t --> m (e).z found", kHyphens, "Deleted files : 1"}));

  // A file of the same name already lies in "moved": it is never overwritten.
  folder.TouchAll({"k (j).z", "m (j).z"});
  fs::create_directory(folder.PathOf("moved"));
  folder.Touch("moved/k (j).z", "earlier");
  settings.MoveFiles = true;
  host.on_progress = nullptr;
  result = RunCleaning(settings, host);
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogLines({"k (j).z\t --> Error: File exists", "m (j).z\t --> m (e).z found", kHyphens, "Moved files : 1"}));
  EXPECT_EQ(folder.Read("moved/k (j).z"), "earlier");
  EXPECT_TRUE(folder.Has("k (j).z"));
}

TEST(CleaningRunTest, RunsThatStopBeforeTheScan) {
  TempFolder folder;
  folder.TouchAll({"a (e).z", "a (j).z"});
  RunSettings settings = Settings(folder, ZoneMode::kNone, "(e)");
  settings.TestMode = false;
  settings.MoveFiles = true;
  struct Stop {
    const char* label;
    std::function<void(RunSettings&)> prepare;
    RunResult::Outcome outcome;
    std::string message;
  };
  const std::string missing = folder.PathOf("missing");
  const std::vector<Stop> stops = {
      {"no zone mode", [](RunSettings&) {}, RunResult::Outcome::kNoZoneMode, "Message 0: Erreur"},
      {"moved is a file",
       [&](RunSettings& s) {
         s.ZoneMode = ZoneMode::kVerifiedFirst;
         fs::remove(folder.PathOf("moved"));  // the folder the first run made
         folder.Touch("moved");
       },
       RunResult::Outcome::kSetupFailed,
       "Message 16: \"moved\" exists as a file in " + folder.path() + "; nothing was moved."},
      {"log cannot be created",
       [&](RunSettings& s) {
         fs::remove(folder.PathOf("moved"));
         fs::create_directory(folder.PathOf("logfile.txt"));
         s.MoveFiles = false;
       },
       RunResult::Outcome::kSetupFailed,
       "Message 16: Cannot create the log file " + folder.PathOf("logfile.txt") + ": Is a directory"},
      {"moved cannot be created",
       [&](RunSettings& s) {
         s.RomFolder = missing;
         s.MoveFiles = true;
       },
       RunResult::Outcome::kSetupFailed, "Message 16: Cannot create " + missing + "/moved: No such file or directory"},
      {"folder cannot be read", [&](RunSettings& s) { s.TestMode = true; }, RunResult::Outcome::kSetupFailed,
       "Message 48: Cannot read " + missing + ": No such file or directory"},
      {"only folders",
       [&](RunSettings&) {
         fs::create_directory(missing);
         fs::create_directory(missing + "/sub");
       },
       RunResult::Outcome::kEmptyFolder, "Message 48: Empty directory"},
  };
  for (const Stop& stop : stops) {
    stop.prepare(settings);
    RecordingHost host;
    const RunResult result = RunCleaning(settings, host);
    EXPECT_EQ(result.outcome, stop.outcome) << stop.label;
    EXPECT_EQ(result.log_path, "") << stop.label;
    ASSERT_FALSE(host.calls.empty()) << stop.label;
    EXPECT_EQ(host.calls.back(), stop.message) << stop.label;
    EXPECT_TRUE(folder.Has("a (e).z") && folder.Has("a (j).z")) << stop.label;
  }
  EXPECT_FALSE(fs::is_regular_file(folder.PathOf("logfile.txt")));
}

// Real names (tests/data/snes_names.txt) in a move run: every file ends in the folder or in "moved", each
// moved file has one line, every dump a line names as kept is still in the folder, and a test run of the
// same folder decides exactly the same.
TEST(CleaningRunTest, RealNamesMoveRunIsConsistent) {
  std::ifstream list(VARNEL_TEST_DATA_DIR "/snes_names.txt");
  std::vector<std::string> names;
  for (std::string line; std::getline(list, line);) {
    if (!line.empty()) names.push_back(line);
  }
  ASSERT_GT(names.size(), 100u);
  TempFolder folder;
  folder.TouchAll(names);
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(U),(E),(J)");
  settings.KeepTranslations = true;
  settings.TranslationText = "fre,ger,spa";
  settings.ExclusionText = "[b";
  RecordingHost host;
  const RunResult test_run = RunCleaning(settings, host);
  const std::string test_log = folder.Read("logfile.txt");
  settings.TestMode = false;
  settings.MoveFiles = true;
  const RunResult move_run = RunCleaning(settings, host);
  const std::string log = folder.Read("logfile.txt");
  ASSERT_GT(move_run.DisposedCount, 50);
  EXPECT_EQ(move_run.DisposedCount, test_run.DisposedCount);
  EXPECT_EQ(log.substr(0, log.find(kHyphens)), test_log.substr(0, test_log.find(kHyphens)));

  const std::set<std::string> kept = FilesIn(folder.path());
  const std::set<std::string> moved = FilesIn(folder.PathOf("moved"));
  EXPECT_EQ(kept.size() + moved.size(), names.size() + 1);  // and the log
  std::set<std::string> kept_lower, moved_lower;
  for (const std::string& name : kept) kept_lower.insert(LowerCase(name));
  for (const std::string& name : moved) moved_lower.insert(LowerCase(name));

  std::set<std::string> logged;
  std::size_t start = 0;
  for (std::size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = log.substr(start, end - start);
    if (line == kHyphens) break;
    const std::size_t tab = line.find("\t --> ");
    ASSERT_NE(tab, std::string::npos) << line;
    const std::string name = line.substr(0, tab);
    EXPECT_TRUE(moved_lower.count(name)) << line;
    EXPECT_TRUE(logged.insert(name).second) << line;
    std::string other = line.substr(tab + 6);
    for (const std::string suffix : {" found (prioritary)", " found", " kept", " has a better translation"}) {
      if (other.size() > suffix.size() && other.ends_with(suffix)) {
        other.resize(other.size() - suffix.size());
        EXPECT_TRUE(kept_lower.count(other)) << line;
        break;
      }
    }
  }
  EXPECT_EQ(logged.size(), moved.size());
}

}  // namespace
}  // namespace varnel
