// Runs of the jobs over real temporary folders, then their undo.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/cleaning_run.h"
#include "history/run_recorder.h"
#include "history/undo.h"
#include "jobs/alpha/alpha_job.h"
#include "platform/file_ops.h"
#include "platform/folder_lock.h"
#include "tests/history/snapshot.h"
#include "tests/support/files.h"
#include "tests/support/recording_hosts.h"
#include "tests/support/temp_folder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jobs/zip/zip_job.h"
#endif

namespace varnel {
namespace {

namespace fs = std::filesystem;

// The romset every test starts from: names of several games and zones, one with a leading "-", one with "*"
// (POSIX), one that is not UTF-8 (POSIX), each with its own contents and modification time, and the log of an
// earlier run.
std::vector<std::string> RomNames() {
  std::vector<std::string> names = {"Adventure (E) [!].nes", "Adventure (E).nes", "Adventure (J).nes", "Bomber (U).nes",
                                    "bomber (U) [b1].nes",   "-dash (E).nes",     "Zelda (E) [!].nes", "Zelda (F).nes"};
#ifndef _WIN32
  names.push_back("star * (E).nes");
  names.push_back("caf\xE9 (F).nes");
#endif
  return names;
}

// The files a cleaning run with the zones "(e),(u)" disposes of: "Adventure (E).nes", "Adventure (J).nes",
// "bomber (U) [b1].nes", "Zelda (F).nes", and on POSIX "caf\xE9 (F).nes".
#ifdef _WIN32
constexpr int kCleanedFiles = 4;
#else
constexpr int kCleanedFiles = 5;
#endif

class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int minute = 0;
    for (const std::string& name : RomNames()) {
      roms_.Touch(name, "rom " + name);
      fs::last_write_time((roms_ / name), fs::file_time_type::clock::now() - std::chrono::minutes(++minute * 7));
    }
    roms_.Touch("logfile.txt", "an earlier run\r\n");
  }

  HistoryPlace Place() const { return HistoryPlace::In(history_.path()); }

  RunSettings CleanSettings(bool move) const {
    RunSettings settings;
    settings.RomFolder = roms_.path();
    settings.TestMode = false;
    settings.MoveFiles = move;
    settings.OpenLog = false;
    settings.ZoneMode = ZoneMode::kFirstSelectedZone;
    settings.ZoneText = "(e),(u)";
    return settings;
  }

  UndoResult Undo(const std::string& id = "", bool ask = false) {
    UndoOptions options;
    options.place = Place();
    options.id = id;
    options.ask = ask;
    return UndoRun(options, host_);
  }

  // The newest run of the history, read whole.
  RecordedRun Newest() const {
    std::vector<std::string> ids;
    EXPECT_TRUE(ListRuns(history_.path(), &ids).ok());
    RecordedRun run;
    if (!ids.empty()) {
      EXPECT_TRUE(ReadRun(history_.path(), ids.front(), &run).ok());
    }
    return run;
  }

  TempFolder roms_, history_;
  RecordingCleaningHost clean_host_;
  RecordingAlphaHost alpha_host_;
  RecordingUndoHost host_;
};

#ifndef _WIN32
// An archiver that writes a zip's worth of bytes: its arguments are "a <archive> -tzip -spd -l -sse <file>".
std::string FakeArchiver(const TempFolder& folder) {
  folder.Touch("7z", "#!/bin/sh\nprintf 'an archive of %s, longer than an empty zip' \"$7\" > \"$2\"\n");
  fs::permissions((folder / "7z"), fs::perms::owner_all);
  return (folder / "7z");
}
#endif

TEST_F(UndoTest, ARunThenItsUndoGivesTheFolderBack) {
  const std::map<std::string, std::string> before = Snapshot(roms_.path());
#ifndef _WIN32
  TempFolder program;
  const std::string archiver = FakeArchiver(program);
#endif
  const struct {
    const char* job;
    std::function<void()> run;
    int done;
  } kJobs[] = {
      {"clean-move", [&] { EXPECT_EQ(RunCleaning(CleanSettings(true), clean_host_, Place()).failed_count, 0); },
       kCleanedFiles},
#ifndef _WIN32  // the recycle bin of a wine prefix takes nothing
      {"clean-trash",
       [&] {
         RunSettings settings = CleanSettings(false);
         settings.TrashFiles = true;
         EXPECT_EQ(RunCleaning(settings, clean_host_, Place()).failed_count, 0) << clean_host_.Shown();
       },
       kCleanedFiles},
#endif
      {"alpha", [&] { EXPECT_TRUE(RunAlphaFolders(roms_.path(), alpha_host_, Place()).all_moved()); },
       int(before.size())},
#ifndef _WIN32
      {"zip",
       [&] {
         ZipJobSettings settings{roms_.path(), archiver};
         settings.history = Place();
         RecordingZipHost zip_host;
         EXPECT_EQ(RunZipJob(settings, zip_host).zipped, int(before.size()) + 1);
       },
       int(before.size()) + 1},  // logfile.txt is zipped too
#endif
  };
  for (const auto& job : kJobs) {
    SCOPED_TRACE(job.job);
    job.run();
    const RecordedRun run = Newest();
    EXPECT_EQ(JobName(run.summary.job), job.job);
    EXPECT_EQ(run.summary.done, job.done);
    EXPECT_NE(Snapshot(roms_.path()), before);

    const UndoResult undone = Undo();
    EXPECT_TRUE(undone.all_back()) << undone.message;
    EXPECT_EQ(undone.run.id, run.summary.id);
    EXPECT_EQ(undone.came_back, job.done);
    EXPECT_EQ(Snapshot(roms_.path()), before);
    EXPECT_EQ(host_.calls.back(), "[information] " + std::to_string(job.done) + " files came back.");
    EXPECT_NE(roms_.Read("logfile.txt"), "");  // as the run left it
  }
}

// The undo of an undo puts the run's result back, the folders the first undo removed made again.
TEST_F(UndoTest, AnUndoCanBeUndone) {
  ASSERT_TRUE(RunAlphaFolders(roms_.path(), alpha_host_, Place()).all_moved());
  const std::map<std::string, std::string> sorted = Snapshot(roms_.path());
  const UndoResult first = Undo();
  ASSERT_TRUE(first.all_back());
  EXPECT_FALSE(roms_.Has("AlphaFolders"));
  const UndoResult second = Undo(first.undo_id);
  EXPECT_TRUE(second.all_back()) << second.message;
  std::map<std::string, std::string> expected;
  for (const auto& [path, what] : sorted) {  // the empty letter folders do not come back
    if (path.back() != '/' || path == "AlphaFolders/") expected[path] = what;
  }
  for (const auto& [path, what] : sorted) {
    if (path.back() != '/' || path == "AlphaFolders/") continue;
    for (const auto& [file, contents] : sorted) {
      if (file.size() > path.size() && file.compare(0, path.size(), path) == 0) expected[path] = what;
    }
  }
  EXPECT_EQ(Snapshot(roms_.path()), expected);
  EXPECT_EQ(Newest().summary.undoes, first.undo_id);
}

#ifndef _WIN32  // the recycle bin of a wine prefix takes nothing
// Files an undo brought back from the trash go back to the trash when that undo is undone.
TEST_F(UndoTest, AnUndoOfATrashRunCanBeUndone) {
  RunSettings settings = CleanSettings(false);
  settings.TrashFiles = true;
  ASSERT_EQ(RunCleaning(settings, clean_host_, Place()).DisposedCount, kCleanedFiles);
  const std::map<std::string, std::string> trashed = Snapshot(roms_.path());
  const UndoResult first = Undo();
  ASSERT_TRUE(first.all_back()) << first.message;
  const UndoResult second = Undo(first.undo_id);
  EXPECT_TRUE(second.all_back()) << second.message;
  EXPECT_EQ(Snapshot(roms_.path()), trashed);
  // And the undo of that brings them back again, from where the trash put them this time.
  const UndoResult third = Undo(second.undo_id);
  EXPECT_EQ(third.came_back, kCleanedFiles) << third.message;
  EXPECT_TRUE(roms_.Has("Zelda (F).nes"));
}
#endif

// Files taken, changed, replaced or gone stay where they are and are reported; the others come back, and
// nothing else changes.
TEST_F(UndoTest, ABlockedUndoReportsItsFilesAndChangesNothingElse) {
  ASSERT_TRUE(RunAlphaFolders(roms_.path(), alpha_host_, Place()).all_moved());
  roms_.Touch("Bomber (U).nes", "a new file in the old one's place");
  const std::string changed = roms_ / "AlphaFolders/Z/Zelda (F).nes";
  WriteFile(changed, ReadFile(changed) + " and more");
  fs::remove((roms_ / "AlphaFolders/A/Adventure (J).nes"));
  // The same bytes and time, but another file: made beside it, then renamed over it.
  const std::string replaced = (roms_ / "AlphaFolders/#/-dash (E).nes");
  roms_.Touch("AlphaFolders/#/copy", "rom -dash (E).nes");
  fs::last_write_time((roms_ / "AlphaFolders/#/copy"), fs::last_write_time(replaced));
  fs::rename((roms_ / "AlphaFolders/#/copy"), replaced);
  const std::map<std::string, std::string> blocked = Snapshot(roms_.path());

  // Asked first: No changes nothing.
  host_.confirm_answer = false;
  EXPECT_EQ(Undo("", true).outcome, UndoResult::Outcome::kNotConfirmed);
  const int going_back = int(RomNames().size()) - 4;
  EXPECT_EQ(host_.calls.back(), "Confirm: Undo the alpha run of " + std::string(LocalTimeOf(Newest().summary.started)) +
                                    " in " + roms_.path() + ": " + std::to_string(going_back) +
                                    " files go back. Continue ?");
  EXPECT_EQ(Snapshot(roms_.path()), blocked);

  host_.confirm_answer = true;
  const UndoResult undone = Undo("", true);
  EXPECT_EQ(undone.came_back, going_back);
  std::map<std::string, std::string> failures;
  for (const FileFailure& failure : undone.failures) failures[failure.name] = failure.reason;
  EXPECT_EQ(failures, (std::map<std::string, std::string>{{"Bomber (U).nes", kPlaceTaken},
                                                          {"Zelda (F).nes", kChangedSinceRun},
                                                          {"Adventure (J).nes", kNotFound},
                                                          {"-dash (E).nes", kChangedSinceRun}}));
  std::map<std::string, std::string> after = Snapshot(roms_.path());
  for (const char* stayed :
       {"Bomber (U).nes", "AlphaFolders/", "AlphaFolders/B/", "AlphaFolders/B/Bomber (U).nes", "AlphaFolders/Z/",
        "AlphaFolders/Z/Zelda (F).nes", "AlphaFolders/#/", "AlphaFolders/#/-dash (E).nes"}) {
    EXPECT_EQ(after[stayed], blocked.at(stayed)) << stayed;
    after.erase(stayed);
  }
  EXPECT_FALSE(roms_.Has("AlphaFolders/A"));                                                    // emptied, so removed
  for (const auto& [path, what] : after) EXPECT_EQ(path.find('/'), std::string::npos) << path;  // back at the top

  // Its history tells every file, and the run is tried again by the next undo once the place is free.
  EXPECT_EQ(Newest().files.size(), RomNames().size());
  fs::remove((roms_ / "Bomber (U).nes"));
  const UndoResult again = Undo();
  EXPECT_EQ(again.run.id, undone.run.id);
  EXPECT_EQ(again.came_back, 1);
  // That undo names only what it did: the files back in their place already are none of its own.
  const RecordedRun second = Newest();
  ASSERT_EQ(second.files.size(), 4u);
  std::set<std::string> named;
  for (const RecordedFile& file : second.files) named.insert(file.destination);
  EXPECT_EQ(named, (std::set<std::string>{"Bomber (U).nes", "Zelda (F).nes", "Adventure (J).nes", "-dash (E).nes"}));
}

TEST_F(UndoTest, DeletedFilesAreReportedAsNotRestorable) {
  const RunResult run = RunCleaning(CleanSettings(false), clean_host_, Place());
  ASSERT_EQ(run.DisposedCount, kCleanedFiles);
  const std::map<std::string, std::string> after_run = Snapshot(roms_.path());
  EXPECT_EQ(Undo().outcome, UndoResult::Outcome::kNoRun);  // nothing to take back: not a default
  EXPECT_EQ(host_.calls.back(), "[exclamation] No run to undo.");
  const UndoResult undone = Undo(run.history_id);
  EXPECT_EQ(undone.outcome, UndoResult::Outcome::kCompleted);
  EXPECT_EQ(undone.came_back, 0);
  ASSERT_EQ(undone.failures.size(), std::size_t{kCleanedFiles});
  for (const FileFailure& failure : undone.failures) EXPECT_EQ(failure.reason, kNotRestorable) << failure.name;
  EXPECT_EQ(Snapshot(roms_.path()), after_run);
}

// Without a history to write ahead into, no job touches a file.
TEST_F(UndoTest, NoFileIsTouchedWithoutItsHistory) {
  const std::map<std::string, std::string> before = Snapshot(roms_.path(), false);
  history_.Touch("not a folder", "");
  const HistoryPlace nowhere = HistoryPlace::In((history_ / "not a folder"));
  EXPECT_EQ(RunCleaning(CleanSettings(false), clean_host_, nowhere).outcome, RunResult::Outcome::kSetupFailed);
  EXPECT_EQ(RunCleaning(CleanSettings(true), clean_host_, nowhere).outcome, RunResult::Outcome::kSetupFailed);
  EXPECT_EQ(RunAlphaFolders(roms_.path(), alpha_host_, nowhere).outcome, AlphaResult::Outcome::kHistoryFailed);
  const std::string said = alpha_host_.calls.back();
  EXPECT_EQ(said.rfind("[stop] Cannot create " + nowhere.folder + ": ", 0), 0u) << said;
  EXPECT_EQ(said.substr(said.size() - 20), "; nothing was moved.");
  std::map<std::string, std::string> after = Snapshot(roms_.path(), false);
  for (const char* made : {"moved/", "AlphaFolders/"}) after.erase(made);  // made empty before the history
  for (auto it = after.begin(); it != after.end();)
    it = it->first.rfind("AlphaFolders/", 0) == 0 ? after.erase(it) : ++it;
  EXPECT_EQ(after, before);
}

TEST_F(UndoTest, AFolderInUseIsLeftAlone) {
  ASSERT_TRUE(RunAlphaFolders(roms_.path(), alpha_host_, Place()).all_moved());
  const std::map<std::string, std::string> sorted = Snapshot(roms_.path());
  FolderLock other_job;
  ASSERT_TRUE(other_job.Acquire(roms_.path()).ok());
  EXPECT_EQ(Undo().outcome, UndoResult::Outcome::kLocked);
  EXPECT_EQ(Snapshot(roms_.path()), sorted);
  EXPECT_EQ(Newest().summary.job, JobKind::kAlpha);  // no undo recorded
}

// Files in a trash (the freedesktop.org layout, made by hand) come back, their information files removed.
TEST_F(UndoTest, TrashedFilesComeBackFromTheTrash) {
  TempFolder trash;
  fs::create_directories((trash / "files"));
  fs::create_directories((trash / "info"));
  RunRecorder recorder;
  ASSERT_TRUE(recorder.Start(Place(), JobKind::kCleanTrash, roms_.path(), {}).ok());
  for (const char* name : {"Adventure (J).nes", "Bomber (U).nes"}) {
    FileIdentity identity;
    ASSERT_TRUE(IdentifyFile((roms_ / name), &identity).ok());
    const std::size_t intent = recorder.Intent(name, FileAction::kTrash);
    ASSERT_TRUE(recorder.Write(true).ok());
    const std::string entry = (trash / std::string("files/") + name);
    ASSERT_TRUE(MoveWithoutReplace((roms_ / name), entry).ok());
    trash.Touch(std::string("info/") + name + ".trashinfo", "[Trash Info]\n");
    recorder.DoneInTrash(intent, entry, (trash / std::string("info/") + name + ".trashinfo"), &identity);
  }
  ASSERT_TRUE(recorder.Finish(2, 0).ok());
  roms_.Touch("Bomber (U).nes", "taken");

  const UndoResult undone = Undo();
  EXPECT_EQ(undone.came_back, 1);
  ASSERT_EQ(undone.failures.size(), 1u);
  EXPECT_EQ(undone.failures[0].name, "Bomber (U).nes");
  EXPECT_EQ(undone.failures[0].reason, kPlaceTaken);
  EXPECT_TRUE(roms_.Has("Adventure (J).nes"));
  EXPECT_FALSE(trash.Has("files/Adventure (J).nes"));
  EXPECT_FALSE(trash.Has("info/Adventure (J).nes.trashinfo"));
  EXPECT_TRUE(trash.Has("files/Bomber (U).nes"));
  EXPECT_TRUE(trash.Has("info/Bomber (U).nes.trashinfo"));
}

#ifndef _WIN32
// A child process runs `job`, which calls the progress function it is given at each step, and is killed by
// SIGKILL at the step `at`.
using KillableJob = std::function<void(const std::function<void(double)>& on_progress)>;
void RunKilled(const KillableJob& job, double at) {
  const pid_t child = fork();
  if (child == 0) {
    job([at](double value) {
      if (value >= at) raise(SIGKILL);
    });
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

// A run killed half way: its history names every file it touched, and its undo puts them back.
TEST_F(UndoTest, AKilledRunIsTakenBack) {
  const std::map<std::string, std::string> before = Snapshot(roms_.path());
  const struct {
    const char* job;
    KillableJob run;
    std::string moved_to;
  } kJobs[] = {
      {"clean-move",
       [&](const std::function<void(double)>& on_progress) {
         RecordingCleaningHost host;
         host.on_progress = on_progress;
         RunCleaning(CleanSettings(true), host, Place());
       },
       "moved/"},
      {"alpha",
       [&](const std::function<void(double)>& on_progress) {
         RecordingAlphaHost host;
         host.on_progress = on_progress;
         RunAlphaFolders(roms_.path(), host, Place());
       },
       "AlphaFolders/"},
  };
  for (const auto& job : kJobs) {
    SCOPED_TRACE(job.job);
    RunKilled(job.run, 3);
    const RecordedRun run = Newest();
    EXPECT_FALSE(run.summary.ended);
    std::set<std::string> intended;
    for (const RecordedFile& file : run.files) intended.insert(file.name);
    int moved = 0;
    for (const auto& [path, what] : Snapshot(roms_.path())) {
      if (path.rfind(job.moved_to, 0) != 0 || path.back() == '/') continue;
      ++moved;
      EXPECT_EQ(intended.count(path.substr(path.rfind('/') + 1)), 1u) << path;
    }
    EXPECT_GE(moved, 2);
    EXPECT_TRUE(Undo().all_back()) << host_.Shown();
    EXPECT_EQ(Snapshot(roms_.path()), before);
  }
}

// A zip run killed before it said which archives it wrote: those written since it started go, the others are
// nothing to take back.
TEST_F(UndoTest, ArchivesAKilledZipRunWroteAreRemoved) {
  RunRecorder recorder;
  ASSERT_TRUE(recorder.Start(Place(), JobKind::kZip, roms_.path(), {}).ok());
  recorder.CreatedFolder("ZippedRoms");
  recorder.Intent("Zelda (F).nes", FileAction::kZip, "ZippedRoms/Zelda (F).zip");
  recorder.Intent("Zelda (E) [!].nes", FileAction::kZip, "ZippedRoms/Zelda (E) [!].zip");
  ASSERT_TRUE(recorder.Write(true).ok());
  fs::create_directories((roms_ / "ZippedRoms"));
  roms_.Touch("ZippedRoms/Zelda (F).zip", "an archive");
  const UndoResult undone = Undo();
  EXPECT_TRUE(undone.all_back()) << undone.message;
  EXPECT_EQ(undone.came_back, 1);
  EXPECT_FALSE(roms_.Has("ZippedRoms"));
}
#endif

}  // namespace
}  // namespace varnel
