#include "jobs/zip/runner.h"

#include <gtest/gtest.h>

#include "jobs/zip/archiver_lookup.h"
#include "tests/jobs/zip/test_folder.h"

namespace varnel {
namespace {

ProcessRun RunScript(const TestFolder& folder, const std::string& body, std::chrono::milliseconds timeout,
                     const WaitEvents& events = {}) {
  WriteScript(folder / "child", body);
  ChildProcess child;
  ProcessRun run;
  run.error = LancerProcess({{folder / "child"}, folder / "child", 0}, &child);
  return run.error.ok() ? AttendreFinProcess(&child, timeout, events) : run;
}

std::string Text(const ProcessError& error) {
  return std::to_string(error.number) + " " + error.source + ": " + error.description;
}

TEST(RunnerTest, ExitCodesAndLaunchErrors) {
  TestFolder folder;
  for (int code : {0, 1, 3})
    EXPECT_EQ(RunScript(folder, "exit " + std::to_string(code), kArchiverTimeout).exit_code, code);
  // Much output and a read of its input must neither block the child nor reach the test's terminal.
  const ProcessRun run =
      RunScript(folder, "head -c 1000000 /dev/zero; head -c 1000000 /dev/zero >&2; cat; exit 4", kArchiverTimeout);
  EXPECT_TRUE(run.error.ok());
  EXPECT_EQ(run.exit_code, 4);
  ChildProcess child;
  EXPECT_EQ(Text(LancerProcess({{folder / "7z"}, folder / "7z", 0}, &child)), "2 LancerProcess: Erreur systeme N° 2");
}

TEST(RunnerTest, TimedOutOrStoppedChildIsKilled) {
  TestFolder folder;
  // Not exec'd: the sleep is the shell's own child, which the kill must reach too.
  EXPECT_EQ(Text(RunScript(folder, "sleep 30", std::chrono::milliseconds(250)).error),
            "259 AttendreFinProcess: Timeout sur l'attente de la fin d'un process");
  int calls = 0;
  const ProcessRun stopped = RunScript(folder, "sleep 30", kArchiverTimeout, [&calls] { return ++calls < 3; });
  EXPECT_TRUE(stopped.error.ok());
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(calls, 3);
}

TEST(ArchiverLookupTest, ProgramFolderFirstThenAbsolutePathEntries) {
  TestFolder program, first, second;
  WriteFile(first / kArchiverName, "not startable");
  WriteScript(second / kArchiverName, "exit 0\n");
  const std::string path = "relative:" + first.path + "::" + second.path;
  EXPECT_EQ(FindArchiver(program.path, path), second / kArchiverName);
  EXPECT_EQ(FindArchiver(program.path, "relative::" + first.path), "");
  WriteScript(program / kArchiverName, "exit 0\n");
  EXPECT_EQ(FindArchiver(program.path, path), program / kArchiverName);
}

}  // namespace
}  // namespace varnel
