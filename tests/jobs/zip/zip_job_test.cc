#include "jobs/zip/zip_job.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "jobs/zip/archiver_lookup.h"
#include "tests/jobs/zip/test_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Records what the job shows: "[icon] text" per message, and "value/max" per progress step.
struct RecordingHost : ZipHost {
  void ShowMessage(const std::string& text, int icon) override {
    messages += "[" + std::to_string(icon) + "] " + text + "\n";
  }
  void SetProgress(double minimum, double maximum, double value) override {
    progress +=
        std::to_string(int(minimum)) + ":" + std::to_string(int(value)) + "/" + std::to_string(int(maximum)) + " ";
  }
  void ProcessEvents() override { ++events; }
  bool StopRequested() override { return stop_at_event > 0 && events >= stop_at_event; }

  std::string messages, progress;
  int events = 0, stop_at_event = 0;
};

// A fake archiver in a program folder of its own: appends $0 and its arguments to calls.log, one per line and
// a blank line after each run, runs `behaviour` (which may exit), then writes the archive.
class ZipJobTest : public ::testing::Test {
 protected:
  void SetUpArchiver(const std::string& behaviour = "") {
    const std::string log = "\"" + Log() + "\"";
    WriteScript(program_ / kArchiverName, "for a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\" >> " + log +
                                              "; done\necho >> " + log + "\n" + behaviour +
                                              "printf 'zip of %s' \"$4\" > \"$2\"\n");
    settings_.archiver = FindArchiver(program_.path, "");
  }
  std::string Log() const { return program_ / "calls.log"; }
  std::string Call(const std::string& archive, const std::string& file) const {
    return settings_.archiver + "\na\n" + (roms_ / "ZippedRoms/") + archive + "\n-tzip\n" + (roms_ / file) + "\n\n";
  }
  ZipJobResult Run() { return RunZipJob(settings_, host_); }

  TestFolder program_, roms_;
  ZipJobSettings settings_{roms_.path, "", kArchiverTimeout};
  RecordingHost host_;
};

TEST_F(ZipJobTest, ZipsEveryOrdinaryFileInListingOrder) {
  SetUpArchiver();
  for (const char* name : {"b.nes", "A game (E).smc", "-x $'q\".gb", "noext", ".hidden"}) WriteFile(roms_ / name, "r");
  fs::create_directory(roms_ / "sub");
  const ZipJobResult result = Run();
  EXPECT_EQ(result.end, ZipJobEnd::kFinished);
  EXPECT_EQ(ReadFile(Log()), Call("-x $'q\".zip", "-x $'q\".gb") + Call("A game (E).zip", "A game (E).smc") +
                                 Call("b.zip", "b.nes") + Call("noext.zip", "noext"));
  EXPECT_EQ(ReadFile(roms_ / "ZippedRoms/-x $'q\".zip"), "zip of " + (roms_ / "-x $'q\".gb"));
  EXPECT_EQ(host_.messages, "[0] 4 files zipped\n");
  EXPECT_EQ(host_.progress, "0:0/6 0:1/6 0:2/6 0:3/6 0:4/6 ");
}

TEST_F(ZipJobTest, FailedArchiverRunsAreCountedApart) {
  SetUpArchiver("case \"$4\" in *bad*) exit 1;; esac\n");
  for (const char* name : {"bad1", "bad2", "bad3", "bad4", "bad5", "bad6", "good"}) WriteFile(roms_ / name, "r");
  EXPECT_EQ(Run().zipped, 1);
  EXPECT_EQ(host_.messages, "[48] 1 files zipped\n6 files not zipped: bad1, bad2, bad3, bad4, bad5, ...\n");
  EXPECT_EQ(NotZippedLine({"x", "y"}), "2 files not zipped: x, y");
}

TEST_F(ZipJobTest, NothingIsZippedWithoutFilesOrAFolderForTheArchives) {
  SetUpArchiver();
  fs::create_directory(roms_ / "sub");
  WriteFile(roms_ / ".hidden", "");
  EXPECT_EQ(Run().end, ZipJobEnd::kEmptyFolder);
  WriteFile(roms_ / "game.nes", "r");
  WriteFile(roms_ / "ZippedRoms", "a file");
  EXPECT_EQ(Run().end, ZipJobEnd::kNotStarted);
  settings_.folder = roms_ / "missing";
  Run();
  EXPECT_EQ(host_.messages, "[48] Empty directory\n[16] \"ZippedRoms\" exists as a file in " + roms_.path +
                                "; nothing was zipped.\n[16] Cannot read " + settings_.folder +
                                ": No such file or directory\n");
  EXPECT_FALSE(fs::exists(Log()));
}

TEST_F(ZipJobTest, ArchiveFolderThatCannotBeCreatedIsReported) {
  SetUpArchiver();
  WriteFile(roms_ / "game.nes", "r");
  fs::permissions(roms_.path, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(roms_.path.c_str(), W_OK) == 0) {
    // Permissions do not bind this user (root): a folder of the kernel's, where nobody creates folders.
    if (!fs::is_directory("/sys/kernel")) GTEST_SKIP() << "no folder that refuses a new folder";
    settings_.folder = "/sys/kernel";
  }
  Run();
  const std::string expected = "[16] Cannot create " + settings_.folder + "/ZippedRoms: ";
  EXPECT_EQ(host_.messages.substr(0, expected.size()), expected);
  EXPECT_FALSE(fs::exists(Log()));
}

TEST_F(ZipJobTest, RunnerErrorsStopTheJobAtThatFile) {
  for (const char* name : {"a.nes", "b.nes"}) WriteFile(roms_ / name, "r");
  settings_.archiver = program_ / kArchiverName;  // not there yet
  EXPECT_EQ(Run().error.number, 2);
  SetUpArchiver("exec sleep 30\n");
  settings_.timeout = std::chrono::milliseconds(200);
  EXPECT_EQ(Run().end, ZipJobEnd::kRunnerError);
  EXPECT_EQ(host_.messages,
            "[16] Error 2: Erreur systeme N° 2\n[16] Error 259: Timeout sur l'attente de la fin d'un process\n");
  EXPECT_EQ(host_.progress, "0:0/4 0:0/4 ");
  EXPECT_EQ(ReadFile(Log()), Call("a.zip", "a.nes"));
}

TEST_F(ZipJobTest, StopRequestKillsTheRunningArchiverSilently) {
  SetUpArchiver("exec sleep 30\n");
  for (const char* name : {"a.nes", "b.nes"}) WriteFile(roms_ / name, "r");
  host_.stop_at_event = 3;  // the first call comes before the first file, the next ones from the wait
  EXPECT_EQ(Run().end, ZipJobEnd::kStopped);
  EXPECT_EQ(host_.messages, "");
  EXPECT_EQ(ReadFile(Log()), Call("a.zip", "a.nes"));
}

TEST(RealArchiverTest, ZipsWithTheInstalledArchiver) {
  const char* path = std::getenv("PATH");
  TestFolder roms;
  const ZipJobSettings settings{roms.path, FindArchiver("", path == nullptr ? "" : path), kArchiverTimeout};
  if (settings.archiver.empty()) GTEST_SKIP() << "no 7z on PATH";
  WriteFile(roms / "Game (E).nes", std::string(4096, 'n'));
  WriteFile(roms / "it's $x", "data");
  RecordingHost host;
  RunZipJob(settings, host);
  EXPECT_EQ(host.messages, "[0] 2 files zipped\n");
  for (const char* zip : {"Game (E).zip", "it's $x.zip"})
    EXPECT_EQ(ReadFile(roms / "ZippedRoms/" + zip).substr(0, 2), "PK");
}

}  // namespace
}  // namespace varnel
