#include "jobs/zip/zip_job.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

#include "jobs/zip/archiver_lookup.h"
#include "tests/jobs/zip/test_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

struct RecordingHost : ZipHost {
  void ShowMessage(const std::string& text, int icon) override { messages.emplace_back(text, icon); }
  void SetProgress(double minimum, double maximum, double value) override {
    progress.push_back({minimum, maximum, value});
  }
  void ProcessEvents() override { ++events; }
  bool StopRequested() override { return stop_at_event > 0 && events >= stop_at_event; }

  std::vector<std::pair<std::string, int>> messages;
  std::vector<std::array<double, 3>> progress;
  int events = 0;
  int stop_at_event = 0;  // 0: never
};

// A fake archiver in its own program folder: appends its arguments to calls.log (one per line, a blank line
// after each run), writes the archive, and takes `behaviour` (shell code that may exit) before that.
class ZipJobTest : public ::testing::Test {
 protected:
  void SetUpArchiver(const std::string& behaviour = "") {
    WriteScript(program_ / kArchiverName, "for a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\" >> \"" + Log() +
                                              "\"; done\necho >> \"" + Log() + "\"\n" + behaviour +
                                              "printf 'zip of %s' \"$4\" > \"$2\"\n");
    settings_.archiver = FindArchiver(program_.path(), "");
    ASSERT_EQ(settings_.archiver, program_ / kArchiverName);
  }
  std::string Log() const { return program_ / "calls.log"; }
  ZipJobResult Run() { return RunZipJob(settings_, host_); }

  TestFolder program_, roms_;
  ZipJobSettings settings_{roms_.path(), "", kArchiverTimeout};
  RecordingHost host_;
};

TEST_F(ZipJobTest, ZipsEveryOrdinaryFileInListingOrder) {
  SetUpArchiver();
  for (const char* name : {"b.nes", "A game (E).smc", "-x $'q\".gb", "noext", ".hidden"}) WriteFile(roms_ / name, "r");
  fs::create_directory(roms_ / "sub");
  const ZipJobResult result = Run();

  EXPECT_EQ(result.end, ZipJobEnd::kFinished);
  const std::string a = roms_ / "A game (E).smc", b = roms_ / "b.nes", x = roms_ / "-x $'q\".gb", n = roms_ / "noext",
                    z = roms_ / "ZippedRoms/";
  std::string expected;  // the listing's order: "-" sorts before the letters, which ignore case
  for (const auto& [archive, source] :
       {std::pair{"-x $'q\".zip", x}, {"A game (E).zip", a}, {"b.zip", b}, {"noext.zip", n}}) {
    expected += settings_.archiver + "\na\n" + z + archive + "\n-tzip\n" + source + "\n\n";
  }
  EXPECT_EQ(ReadFile(Log()), expected);
  EXPECT_EQ(ReadFile(z + "-x $'q\".zip"), "zip of " + x);
  EXPECT_EQ(result.zipped, 4);
  const std::vector<std::pair<std::string, int>> messages = {{"4 files zipped", kIconNone}};
  EXPECT_EQ(host_.messages, messages);
  ASSERT_EQ(host_.progress.size(), 5u);
  for (std::size_t i = 0; i < host_.progress.size(); ++i) {
    EXPECT_EQ(host_.progress[i], (std::array<double, 3>{0, 6, static_cast<double>(i)}));
  }
}

TEST_F(ZipJobTest, FailedArchiverRunsAreCountedApart) {
  SetUpArchiver("case \"$4\" in *bad*) exit 1;; esac\n");
  for (const char* name : {"bad1", "bad2", "bad3", "bad4", "bad5", "bad6", "good"}) WriteFile(roms_ / name, "r");
  const ZipJobResult result = Run();
  EXPECT_EQ(result.zipped, 1);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].first, "1 files zipped\n6 files not zipped: bad1, bad2, bad3, bad4, bad5, ...");
  EXPECT_EQ(host_.messages[0].second, kIconExclamation);
  EXPECT_EQ(NotZippedLine({"x", "y"}), "2 files not zipped: x, y");
}

TEST_F(ZipJobTest, NothingHappensWithoutFilesOrWithoutAFolderForArchives) {
  SetUpArchiver();
  fs::create_directory(roms_ / "sub");
  WriteFile(roms_ / ".hidden", "");
  Run();
  WriteFile(roms_ / "game.nes", "r");
  WriteFile(roms_ / "ZippedRoms", "a file");
  const ZipJobResult blocked = Run();
  settings_.folder = roms_ / "missing";
  Run();

  EXPECT_EQ(blocked.end, ZipJobEnd::kNotStarted);
  const std::vector<std::pair<std::string, int>> messages = {
      {"Empty directory", kIconExclamation},
      {"\"ZippedRoms\" exists as a file in " + roms_.path() + "; nothing was zipped.", kIconStop},
      {"Cannot read " + settings_.folder + ": No such file or directory", kIconStop}};
  EXPECT_EQ(host_.messages, messages);
  EXPECT_FALSE(fs::exists(Log()));
}

TEST_F(ZipJobTest, ArchiveFolderThatCannotBeCreatedIsReported) {
  SetUpArchiver();
  WriteFile(roms_ / "game.nes", "r");
  fs::permissions(roms_.path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(roms_.path().c_str(), W_OK) == 0) GTEST_SKIP() << "permissions do not bind this user";
  Run();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].first, "Cannot create " + (roms_ / "ZippedRoms") + ": Permission denied");
  EXPECT_FALSE(fs::exists(Log()));
}

TEST_F(ZipJobTest, RunnerErrorsStopTheJobAtThatFile) {
  for (const char* name : {"a.nes", "b.nes"}) WriteFile(roms_ / name, "r");
  settings_.archiver = program_ / kArchiverName;  // not there
  const ZipJobResult missing = Run();
  EXPECT_EQ(missing.end, ZipJobEnd::kRunnerError);
  EXPECT_EQ(missing.error.number, 2);

  SetUpArchiver("exec sleep 30\n");
  settings_.timeout = std::chrono::milliseconds(200);
  const ZipJobResult timed_out = Run();
  EXPECT_EQ(timed_out.end, ZipJobEnd::kRunnerError);

  const std::vector<std::pair<std::string, int>> messages = {
      {"Error 2: Erreur systeme N° 2", kIconStop},
      {"Error 259: Timeout sur l'attente de la fin d'un process", kIconStop}};
  EXPECT_EQ(host_.messages, messages);
  EXPECT_EQ(host_.progress.back(), (std::array<double, 3>{0, 4, 0}));
  EXPECT_EQ(ReadFile(Log()),
            settings_.archiver + "\na\n" + (roms_ / "ZippedRoms/a.zip") + "\n-tzip\n" + (roms_ / "a.nes") + "\n\n");
}

TEST_F(ZipJobTest, StopRequestKillsTheRunningArchiverSilently) {
  SetUpArchiver("exec sleep 30\n");
  for (const char* name : {"a.nes", "b.nes"}) WriteFile(roms_ / name, "r");
  host_.stop_at_event = 3;  // the first call is before the first file; the wait makes the next ones
  const ZipJobResult result = Run();
  EXPECT_EQ(result.end, ZipJobEnd::kStopped);
  EXPECT_TRUE(host_.messages.empty());
  const std::string recorded = ReadFile(Log());
  EXPECT_EQ(std::count(recorded.begin(), recorded.end(), '\n'), 6);  // one run only
}

TEST(RealArchiverTest, ZipsWithTheInstalledArchiver) {
  const char* path = std::getenv("PATH");
  ZipJobSettings settings;
  settings.archiver = FindArchiver("", path == nullptr ? "" : path);
  if (settings.archiver.empty()) GTEST_SKIP() << "no 7z on PATH";
  TestFolder roms;
  settings.folder = roms.path();
  WriteFile(roms / "Game (E).nes", std::string(4096, 'n'));
  WriteFile(roms / "it's $x", "data");
  RecordingHost host;
  RunZipJob(settings, host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, "2 files zipped");
  for (const char* archive : {"Game (E).zip", "it's $x.zip"}) {
    EXPECT_EQ(ReadFile(roms / "ZippedRoms" + "/" + archive).substr(0, 2), "PK") << archive;
  }
}

}  // namespace
}  // namespace varnel
