#include "jobs/zip/runner.h"

#include <gtest/gtest.h>

#include "jobs/zip/archiver_lookup.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/recording_hosts.h"
#include "tests/support/temp_folder.h"

namespace varnel {
namespace {

using std::chrono::milliseconds;

ProcessRun RunScript(const TempFolder& folder, const std::string& body, milliseconds hang_limit,
                     const ActivityProbe& activity = {}, const WaitEvents& events = {}) {
  WriteScript(folder / "child", body);
  ChildProcess child;
  ProcessRun run;
  run.error = LancerProcess({{folder / "child"}, folder / "child", 0}, &child);
  return run.error.ok() ? AttendreFinProcess(&child, hang_limit, activity, events) : run;
}

std::string Text(const ProcessError& error) {
  return std::to_string(error.number) + " " + error.source + ": " + error.description;
}

const std::string kTimeout = "259 AttendreFinProcess: Timeout sur l'attente de la fin d'un process";

TEST(RunnerTest, ExitCodesAndLaunchErrors) {
  TempFolder folder;
  for (int code : {0, 1, 3})
    EXPECT_EQ(RunScript(folder, "exit " + std::to_string(code), kArchiverHangLimit).exit_code, code);
  // Much output and a read of its input must neither block the child nor reach the test's terminal.
  const ProcessRun run =
      RunScript(folder, "head -c 1000000 /dev/zero; head -c 1000000 /dev/zero >&2; cat; exit 4", kArchiverHangLimit);
  EXPECT_TRUE(run.error.ok());
  EXPECT_EQ(run.exit_code, 4);
  ChildProcess child;
  EXPECT_EQ(Text(LancerProcess({{folder / "7z"}, folder / "7z", 0}, &child)), "2 LancerProcess: Erreur systeme N° 2");
}

// Whatever way the child's run ends, what it started in the background ends with it.
TEST(RunnerTest, AHungOrStoppedChildIsKilledAndNothingItStartedOutlivesIt) {
  TempFolder folder;
  const std::string start_child = "sleep 300 & echo $! > '" + (folder / "grandchild") + "'\n";
  struct Case {
    const char* what;
    std::string then;        // what the child does once its own child runs
    bool stop_once_started;  // events() answers false once the grandchild runs
    std::string error;
    bool stopped;
  };
  const Case cases[] = {
      {"hung: neither processor time nor output moves", "wait\n", false, kTimeout, false},
      {"stopped by the caller", "wait\n", true, "", true},
      {"ended by itself", "exit 0\n", false, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(folder / "grandchild");
    const ProcessRun run = RunScript(folder, start_child + c.then, milliseconds(250), {},
                                     [&] { return !c.stop_once_started || ProcessIdIn(folder / "grandchild") == 0; });
    EXPECT_EQ(run.error.ok() ? "" : Text(run.error), c.error);
    EXPECT_EQ(run.stopped, c.stopped);
    const int grandchild = ProcessIdIn(folder / "grandchild");
    ASSERT_GT(grandchild, 0);
    EXPECT_TRUE(ProcessEnded(grandchild));
  }
}

// The limit catches a child that does nothing, not one that works long: processor time or output that keeps
// changing keeps it alive for as long as it needs.
TEST(RunnerTest, AChildThatKeepsWorkingIsNeverTakenForHung) {
  TempFolder folder;
  // About a second of processor time, four times the limit, with no output at all.
  const ProcessRun busy =
      RunScript(folder, "i=0; while [ $i -lt 1000000 ]; do i=$((i+1)); done; exit 5\n", milliseconds(250));
  EXPECT_TRUE(busy.error.ok()) << Text(busy.error);
  EXPECT_EQ(busy.exit_code, 5);

  // A child that sleeps, while what it produced grows for 20 looks (about two seconds, eight times the limit)
  // and then stops growing: it is killed only after that.
  std::uint64_t looks = 0;
  const ProcessRun writer =
      RunScript(folder, "exec sleep 300\n", milliseconds(250), [&looks] { return looks < 20 ? ++looks : looks; });
  EXPECT_EQ(Text(writer.error), kTimeout);
  EXPECT_EQ(looks, 20u);
}

TEST(ArchiverLookupTest, ProgramFolderFirstThenAbsolutePathEntries) {
  TempFolder program, first, second;
  WriteFile(first / kArchiverFileName, "not startable");
  WriteScript(second / kArchiverFileName, "exit 0\n");
  const std::string path = "relative:" + first.path() + "::" + second.path();
  EXPECT_EQ(FindArchiver(program.path(), path), second / kArchiverFileName);
  EXPECT_EQ(FindArchiver(program.path(), "relative::" + first.path()), "");
  WriteScript(program / kArchiverFileName, "exit 0\n");
  EXPECT_EQ(FindArchiver(program.path(), path), program / kArchiverFileName);
}

// A relative PATH entry, or an empty one (the current folder for a shell), is never searched, even when the
// current folder holds a startable archiver there: whoever chose the current folder would choose the program.
TEST(ArchiverLookupTest, RelativeAndEmptyPathEntriesAreNeverSearched) {
  TempFolder program, current;
  std::filesystem::create_directories(current / "bin");
  for (const char* folder : {"bin", "."})
    WriteScript(std::filesystem::path(current / folder) / kArchiverFileName, "exit 0\n");
  const std::string in_bin = current / (std::string("bin/") + kArchiverFileName);
  const CurrentFolderScope in_current(current.path());
  const std::string up_and_back = "../" + std::filesystem::path(current.path()).filename().string() + "/bin";
  for (const std::string path : {"bin", "./bin", ".", "", ":", "bin::.", up_and_back.c_str()}) {
    EXPECT_EQ(FindArchiver(program.path(), path), "") << "PATH=" << path;
  }
  EXPECT_EQ(FindArchiver(program.path(), "bin:" + (current / "bin")), in_bin);
}

}  // namespace
}  // namespace varnel
