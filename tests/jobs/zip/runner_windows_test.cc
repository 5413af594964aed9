// The process runner on Windows: CreateProcessA with the quoted command line, the wait on the process
// handle, the job object that holds what the child starts, and the three errors with their numbers.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "gtest/gtest.h"
#include "jobs/zip/runner.h"
#include "jobs/zip/zip_job.h"
#include "jobs/zip/zipper_fichier.h"
#include "platform/program_folder.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/temp_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::string StubCommand(const std::string& arguments) { return ProgramFolder() + "\\stub_archiver " + arguments; }

ProcessRun RunChild(const std::string& command_line, std::chrono::milliseconds hang_limit = std::chrono::seconds(30),
                    const WaitEvents& events = {}) {
  ProcessCommand command;
  command.command_line = command_line;
  ChildProcess child;
  const ProcessError launch = LancerProcess(command, &child);
  if (!launch.ok()) return ProcessRun{launch};
  return AttendreFinProcess(&child, hang_limit, {}, events);
}

// True when the tests run under wine, which does not tell another process's processor time.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(WindowsRunnerTest, ExitCodesHangAndMissingProgram) {
  EXPECT_TRUE(RunChild(StubCommand("exit 0")).error.ok());
  const ProcessRun three = RunChild(StubCommand("exit 3"));
  EXPECT_TRUE(three.error.ok());
  EXPECT_EQ(three.exit_code, 3);

  const ProcessRun hung = RunChild(StubCommand("sleep 20000"), std::chrono::milliseconds(300));
  EXPECT_EQ(hung.error.number, 259);
  EXPECT_EQ(hung.error.source, "AttendreFinProcess");
  EXPECT_EQ(hung.error.description, "Timeout sur l'attente de la fin d'un process");

  // Busy for five times the limit: working, not hung.
  if (UnderWine()) {
    std::printf("wine gives no processor time of another process: the busy child is not tried\n");
  } else {
    const ProcessRun busy = RunChild(StubCommand("spin 1500"), std::chrono::milliseconds(300));
    EXPECT_TRUE(busy.error.ok()) << busy.error.description;
    EXPECT_EQ(busy.exit_code, 0);
  }

  const ProcessRun missing = RunChild(ProgramFolder() + "\\no such folder\\7z a x.zip -tzip x.nes");
  EXPECT_EQ(missing.error.number, 2);
  EXPECT_EQ(missing.error.source, "LancerProcess");
  EXPECT_EQ(missing.error.description, "Erreur systeme N\xc2\xb0 2");
}

// The child's job object ends what it started, whether the child hangs or is stopped.
TEST(WindowsRunnerTest, WhatTheChildStartedEndsWithIt) {
  const TempFolder folder(fs::temp_directory_path(), "varnel zip ");  // a blank, for the quoting
  for (bool stop : {false, true}) {
    SCOPED_TRACE(stop ? "stopped" : "hung");
    const fs::path pid_file = folder / (stop ? "stopped" : "hung");
    const auto started = [&pid_file] { return fs::exists(pid_file) && fs::file_size(pid_file) > 0; };
    const ProcessRun run = RunChild(StubCommand("spawn \"" + pid_file.string() + "\""), std::chrono::milliseconds(500),
                                    [&] { return !stop || !started(); });
    EXPECT_EQ(run.stopped, stop);
    EXPECT_EQ(run.error.ok(), stop);
    std::ifstream in(pid_file);
    DWORD grandchild = 0;
    in >> grandchild;
    ASSERT_NE(grandchild, 0u);
    EXPECT_TRUE(ProcessEnded(grandchild));
  }
}

TEST(WindowsRunnerTest, ZipperFichierWritesTheArchiveOfAQuotedName) {
  const TempFolder folder(fs::temp_directory_path(), "varnel zip ");  // a blank, for the quoting
  fs::create_directories(folder / "ZippedRoms");
  WriteFile(folder / "Game (E) [!].nes", "rom data longer than an empty zip");
  const ZippedFile zip = ZipperFichier(ProgramFolder() + "\\stub_archiver.exe", folder.path(), "Game (E) [!].nes");
  EXPECT_TRUE(zip.run.error.ok()) << zip.run.error.description;
  EXPECT_EQ(zip.run.exit_code, 0);
  EXPECT_TRUE(zip.zipped) << zip.reason;
  std::ifstream archive(fs::path(folder / "ZippedRoms") / "Game (E) [!].zip", std::ios::binary);
  std::string contents;
  std::getline(archive, contents);
  EXPECT_EQ(contents, "rom data longer than an empty zip");
  archive.close();
  int names = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder / "ZippedRoms")) ++names;
  EXPECT_EQ(names, 1);  // no temporary left
}

}  // namespace
}  // namespace varnel
