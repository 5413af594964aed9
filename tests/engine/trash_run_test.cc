// Cleaning runs that put files in the trash: no question, the lines of a delete run, each file in the trash
// with its record, and a trash that refuses leaves every file where it was with an error line.

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/cleaning_run.h"
#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/folder_lock.h"
#include "tests/engine/engine_test_support.h"
#include "tests/support/scoped_home.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

const std::string kHyphens = "---------------------------------------------------";
// Two of the four files go: "(J)" is not a selected zone.
const std::vector<std::string> kNames = {"Game (E).zip", "Game (J).zip", "Other.zip", "Lone (J).zip"};
const std::string kDecisions = "game (j).zip\t --> Unselected Zone|lone (j).zip\t --> Unselected Zone|";

RunSettings TrashRun(const TempFolder& folder, bool test_mode) {
  RunSettings settings;
  settings.RomFolder = folder.path();
  settings.TestMode = test_mode;
  settings.TrashFiles = true;
  settings.OpenLog = false;
  settings.ZoneMode = ZoneMode::kAllSelectedZones;
  settings.ZoneText = "(E)";
  return settings;
}

std::set<std::string> EntriesOf(const std::string& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) names.insert(entry.path().filename().string());
  return names;
}

#ifndef _WIN32

TEST(TrashRunTest, PutsUnkeptFilesInTheTrashWithoutAQuestion) {
  TempFolder folder, data;
  const ScopedDataHome data_home(data.path());
  folder.TouchAll(kNames);
  const std::string trash = data / "Trash";

  RecordingCleaningHost host;
  EXPECT_EQ(RunCleaning(TrashRun(folder, true), host).summary, "Theoretically trashed files : 2");
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf(kDecisions + kHyphens + "|Theoretically trashed files : 2"));
  EXPECT_EQ(EntriesOf(folder.path()).size(), kNames.size() + 1);
  EXPECT_FALSE(fs::exists(trash));

  host = RecordingCleaningHost();
  const RunResult result = RunCleaning(TrashRun(folder, false), host);
  EXPECT_EQ(result.outcome, RunResult::Outcome::kCompleted);
  EXPECT_EQ(result.summary, "Trashed files : 2");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"Result: ", "Result: Trashed files : 2"}));  // no question
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf(kDecisions + kHyphens + "|Trashed files : 2"));
  EXPECT_EQ(EntriesOf(folder.path()), (std::set<std::string>{"Game (E).zip", "Other.zip", "logfile.txt"}));
  EXPECT_EQ(EntriesOf(JoinPath(trash, "files")), (std::set<std::string>{"Game (J).zip", "Lone (J).zip"}));
  EXPECT_EQ(EntriesOf(JoinPath(trash, "info")),
            (std::set<std::string>{"Game (J).zip.trashinfo", "Lone (J).zip.trashinfo"}));

  // With the Move box too, the files are moved.
  folder.TouchAll({"Game (J).zip"});
  RunSettings both = TrashRun(folder, false);
  both.MoveFiles = true;
  EXPECT_EQ(RunCleaning(both, host).summary, "Moved files : 1");
  EXPECT_EQ(EntriesOf(folder / "moved"), std::set<std::string>{"Game (J).zip"});
}

// The trash is a link out of the data folder: no file goes, each has its error line, nothing is written
// through the link.
TEST(TrashRunTest, ARefusedTrashLeavesEveryFileWithAnErrorLine) {
  TempFolder folder, data, outside;
  const ScopedDataHome data_home(data.path());
  folder.TouchAll(kNames);
  fs::create_directory_symlink(outside.path(), data / "Trash");
  RecordingCleaningHost host;
  const RunResult result = RunCleaning(TrashRun(folder, false), host);
  EXPECT_EQ(result.outcome, RunResult::Outcome::kCompleted);
  EXPECT_EQ(result.failed_count, 2);
  const std::string error = "\t --> Error: Cannot use the trash " + data / "Trash" + ": it is a symbolic link";
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogOf(kDecisions + "game (j).zip" + error + "|lone (j).zip" + error + "|0 file deleted"));
  EXPECT_EQ(EntriesOf(folder.path()).size(), kNames.size() + 1);
  EXPECT_TRUE(fs::is_empty(outside.path()));
}

#endif  // !_WIN32

// A trash run changes files: it is refused in the home folder and waits for no other job's folder, like a
// delete or move run, and puts nothing in the trash then.
TEST(TrashRunTest, IsARealRunForTheGuardsAndTheLock) {
  TempFolder folder, data;
#ifndef _WIN32
  const ScopedDataHome data_home(data.path());
#endif
  folder.TouchAll(kNames);
  FolderLock other_job;
  const struct {
    const char* label;
    std::function<void()> prepare;
    RunResult::Outcome outcome;
    std::string message;
  } cases[] = {
      {"home folder", [] {}, RunResult::Outcome::kRefused,
       "[exclamation] Varnel will not change files in " + folder.path() +
           ": choose the folder that holds your romset."},
      {"locked folder", [&] { ASSERT_TRUE(other_job.Acquire(folder.path()).ok()); }, RunResult::Outcome::kLocked,
       "[exclamation] Another Varnel job is working in " + folder.path() + "."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::optional<ScopedHome> home;
    if (c.outcome == RunResult::Outcome::kRefused) home.emplace(folder.path());
    c.prepare();
    RecordingCleaningHost host;
    EXPECT_EQ(RunCleaning(TrashRun(folder, false), host).outcome, c.outcome);
    EXPECT_EQ(host.calls, std::vector<std::string>{c.message});
    EXPECT_EQ(EntriesOf(folder.path()).size(), kNames.size());
    EXPECT_TRUE(fs::is_empty(data.path()));
  }
}

}  // namespace
}  // namespace varnel
