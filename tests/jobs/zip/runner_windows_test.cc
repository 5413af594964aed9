// The process runner on Windows: CreateProcessA with the quoted command line, the wait on the process
// handle, and the three errors with their numbers.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "gtest/gtest.h"
#include "jobs/zip/runner.h"
#include "jobs/zip/zip_job.h"
#include "jobs/zip/zipper_fichier.h"
#include "platform/program_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::string StubCommand(const std::string& arguments) { return ProgramFolder() + "\\stub_archiver " + arguments; }

ProcessRun RunChild(const std::string& command_line, std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
  ProcessCommand command;
  command.command_line = command_line;
  ChildProcess child;
  const ProcessError launch = LancerProcess(command, &child);
  if (!launch.ok()) return ProcessRun{launch};
  return AttendreFinProcess(&child, timeout, {});
}

TEST(WindowsRunnerTest, ExitCodesTimeoutAndMissingProgram) {
  EXPECT_TRUE(RunChild(StubCommand("exit 0")).error.ok());
  const ProcessRun three = RunChild(StubCommand("exit 3"));
  EXPECT_TRUE(three.error.ok());
  EXPECT_EQ(three.exit_code, 3);

  const ProcessRun late = RunChild(StubCommand("sleep 20000"), std::chrono::milliseconds(300));
  EXPECT_EQ(late.error.number, 259);
  EXPECT_EQ(late.error.source, "AttendreFinProcess");
  EXPECT_EQ(late.error.description, "Timeout sur l'attente de la fin d'un process");

  const ProcessRun missing = RunChild(ProgramFolder() + "\\no such folder\\7z a x.zip -tzip x.nes");
  EXPECT_EQ(missing.error.number, 2);
  EXPECT_EQ(missing.error.source, "LancerProcess");
  EXPECT_EQ(missing.error.description, "Erreur systeme N\xc2\xb0 2");
}

TEST(WindowsRunnerTest, ZipperFichierWritesTheArchiveOfAQuotedName) {
  const fs::path folder = fs::temp_directory_path() / ("varnel zip " + std::to_string(std::random_device()()));
  fs::create_directories(folder / "ZippedRoms");
  std::ofstream(folder / "Game (E) [!].nes", std::ios::binary) << "rom";
  const ProcessRun run = ZipperFichier(ProgramFolder() + "\\stub_archiver.exe", folder.string(), "Game (E) [!].nes");
  EXPECT_TRUE(run.error.ok()) << run.error.description;
  EXPECT_EQ(run.exit_code, 0);
  std::ifstream archive(folder / "ZippedRoms" / "Game (E) [!].zip", std::ios::binary);
  std::string contents;
  std::getline(archive, contents);
  EXPECT_EQ(contents, "rom");
  archive.close();
  fs::remove_all(folder);
}

}  // namespace
}  // namespace varnel
