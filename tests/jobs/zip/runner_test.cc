#include "jobs/zip/runner.h"

#include <gtest/gtest.h>

#include "jobs/zip/archiver_lookup.h"
#include "tests/jobs/zip/test_folder.h"

namespace varnel {
namespace {

ProcessCommand Script(const std::string& path) {
  ProcessCommand command;
  command.arguments = {path};
  command.command_line = path;
  return command;
}

ProcessRun RunScript(const TestFolder& folder, const std::string& body, std::chrono::milliseconds timeout,
                     const WaitEvents& events = {}) {
  WriteScript(folder / "child", body);
  ChildProcess child;
  ProcessRun run;
  run.error = LancerProcess(Script(folder / "child"), &child);
  if (!run.error.ok()) return run;
  return AttendreFinProcess(&child, timeout, events);
}

TEST(RunnerTest, ExitCodesAreHandedBack) {
  TestFolder folder;
  for (int code : {0, 1, 3}) {
    const ProcessRun run = RunScript(folder, "exit " + std::to_string(code) + "\n", kArchiverTimeout);
    EXPECT_TRUE(run.error.ok()) << run.error.description;
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(run.exit_code, code);
  }
}

TEST(RunnerTest, OutputGoesNowhereAndInputIsEmpty) {
  TestFolder folder;
  // A child that writes much and reads its input must neither block nor disturb the test's output.
  const ProcessRun run =
      RunScript(folder, "head -c 1000000 /dev/zero; head -c 1000000 /dev/zero >&2; cat; exit 4\n", kArchiverTimeout);
  EXPECT_EQ(run.exit_code, 4);
}

TEST(RunnerTest, TimedOutChildIsKilled) {
  TestFolder folder;
  const ProcessRun run = RunScript(folder, "exec sleep 30\n", std::chrono::milliseconds(250));
  EXPECT_EQ(run.error.number, 259);
  EXPECT_EQ(run.error.source, "AttendreFinProcess");
  EXPECT_EQ(run.error.description, "Timeout sur l'attente de la fin d'un process");
}

TEST(RunnerTest, EventsRunWhileTheChildRunsAndCanStopIt) {
  TestFolder folder;
  int calls = 0;
  const ProcessRun run = RunScript(folder, "exec sleep 30\n", kArchiverTimeout, [&calls] { return ++calls < 3; });
  EXPECT_TRUE(run.error.ok());
  EXPECT_TRUE(run.stopped);
  EXPECT_EQ(calls, 3);
}

TEST(RunnerTest, MissingProgramIsLaunchErrorTwo) {
  TestFolder folder;
  ChildProcess child;
  const ProcessError error = LancerProcess(Script(folder / "7z"), &child);
  EXPECT_EQ(error.number, 2);
  EXPECT_EQ(error.source, "LancerProcess");
  EXPECT_EQ(error.description, "Erreur systeme N° 2");
  EXPECT_FALSE(child.started());
}

TEST(ArchiverLookupTest, ProgramFolderFirstThenAbsolutePathEntries) {
  TestFolder program, first, second;
  WriteFile(first / kArchiverName, "not startable");
  WriteScript(second / kArchiverName, "exit 0\n");
  const std::string path = "relative:" + first.path() + "::" + second.path();
  EXPECT_EQ(FindArchiver(program.path(), path), second / kArchiverName);
  EXPECT_EQ(FindArchiver(program.path(), "relative::" + first.path()), "");
  WriteScript(program / kArchiverName, "exit 0\n");
  EXPECT_EQ(FindArchiver(program.path(), path), program / kArchiverName);
}

}  // namespace
}  // namespace varnel
