#include "jobs/zip/zip_job.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>

#include "jobs/zip/archiver_lookup.h"
#include "platform/folder_lock.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/recording_hosts.h"
#include "tests/support/temp_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// The progress steps as "<minimum>:<value>/<maximum> " each.
std::string Steps(const std::vector<ProgressStep>& steps) {
  std::string text;
  for (const ProgressStep& step : steps) {
    text += std::to_string(int(step.minimum)) + ":" + std::to_string(int(step.value)) + "/" +
            std::to_string(int(step.maximum)) + " ";
  }
  return text;
}

// Every name in `folder`, sorted, hidden ones included.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// `text` with each temporary's name ".varnel-<pid>-<n>.tmp" written ".varnel-*.tmp".
std::string MaskTemporaries(const std::string& text) {
  return std::regex_replace(text, std::regex(R"(\.varnel-[0-9]+-[0-9]+\.tmp)"), ".varnel-*.tmp");
}

// A fake archiver in a program folder of its own: appends $0 and its arguments to calls.log, one per line and
// a blank line after each run, runs `behaviour` (which may exit; $2 is the archive, $7 the file), then writes
// the archive "zip of <file>".
class ZipJobTest : public ::testing::Test {
 protected:
  void SetUpArchiver(const std::string& behaviour = "") {
    const std::string log = "\"" + Log() + "\"";
    WriteScript(program_ / kArchiverFileName, "for a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\" >> " + log +
                                                  "; done\necho >> " + log + "\n" + behaviour +
                                                  "printf 'zip of %s' \"$7\" > \"$2\"\n");
    settings_.archiver = FindArchiver(program_.path(), "");
  }
  std::string Log() const { return program_ / "calls.log"; }
  // The logged run for `file` of `folder` (by default the romset).
  std::string Call(const std::string& file, std::string folder = "") const {
    if (folder.empty()) folder = roms_.path();
    return settings_.archiver + "\na\n" + folder + "/ZippedRoms/.varnel-*.tmp\n-tzip\n-spd\n-l\n-sse\n" + folder + "/" +
           file + "\n\n";
  }
  std::string Calls() const { return MaskTemporaries(ReadFile(Log())); }
  ZipJobResult Run() { return RunZipJob(settings_, host_); }
  std::vector<std::string> Archives() const { return Names(roms_ / "ZippedRoms"); }

  TempFolder program_, roms_;
  ZipJobSettings settings_{roms_.path(), "", kArchiverHangLimit};
  RecordingZipHost host_;
};

TEST_F(ZipJobTest, ZipsEveryOrdinaryFileInListingOrder) {
  SetUpArchiver();
  for (const char* name : {"b.nes", "A game (E).smc", "-x $'q\".gb", "noext", ".hidden"}) WriteFile(roms_ / name, "r");
  fs::create_directory(roms_ / "sub");
  const ZipJobResult result = Run();
  EXPECT_EQ(result.end, ZipJobEnd::kFinished);
  EXPECT_EQ(Calls(), Call("-x $'q\".gb") + Call("A game (E).smc") + Call("b.nes") + Call("noext"));
  EXPECT_EQ(ReadFile(roms_ / "ZippedRoms/-x $'q\".zip"), "zip of " + (roms_ / "-x $'q\".gb"));
  EXPECT_EQ(Archives(), (std::vector<std::string>{"-x $'q\".zip", "A game (E).zip", "b.zip", "noext.zip"}));
  EXPECT_EQ(host_.Shown(), "[none] 4 files zipped\n");
  EXPECT_EQ(Steps(host_.progress), "0:0/6 0:1/6 0:2/6 0:3/6 0:4/6 0:6/6 ");  // full at the end
}

// An archive gets its final name only when the archiver ended with 0 and left more than an empty zip; in
// every other case nothing of that run stays in ZippedRoms.
TEST_F(ZipJobTest, OnlyACompleteArchiveGetsItsName) {
  SetUpArchiver(
      "case \"$7\" in\n"
      "  *fails*) printf 'partial' > \"$2\"; exit 2;;\n"
      "  *lies*) exit 0;;\n"
      "  *empty*) printf 'PK\\005\\006%018d' 0 > \"$2\"; exit 0;;\n"
      "  *folder*) mkdir \"$2\"; exit 0;;\n"
      "esac\n");
  for (const char* name : {"1 fails", "2 lies", "3 empty", "4 folder", "5 good", "6 fails", "7 fails"}) {
    WriteFile(roms_ / name, "r");
  }
  const ZipJobResult result = Run();
  EXPECT_EQ(result.zipped, 1);
  EXPECT_EQ(
      host_.Shown(),
      "[exclamation] 1 files zipped\n6 files not zipped: 1 fails (7z ended with code 2), 2 lies (7z wrote no archive), "
      "3 empty (7z wrote an empty archive), 4 folder (7z wrote no archive), 6 fails (7z ended with code 2), ...\n");
  // The folder the archiver made in the temporary's place is not Varnel's to remove.
  ASSERT_EQ(Archives().size(), 2u);
  EXPECT_EQ(Archives()[1], "5 good.zip");
  EXPECT_TRUE(fs::is_directory(roms_ / "ZippedRoms/" + Archives()[0]));
}

TEST_F(ZipJobTest, AnArchiverThatRefusesTheSwitchesStopsTheJobAtItsFirstRun) {
  for (const char* name : {"a.nes", "b.nes", "c.nes"}) WriteFile(roms_ / name, "r");
  SetUpArchiver("exit 7\n");
  EXPECT_EQ(Run().end, ZipJobEnd::kUnsupportedArchiver);
  EXPECT_EQ(host_.Shown(), "[stop] This 7z does not understand the switches Varnel needs: use 7-Zip 18.00 or newer.\n");
  EXPECT_EQ(Calls(), Call("a.nes"));
  EXPECT_EQ(Archives(), std::vector<std::string>());
  // After a first run that worked, the same code is one file's failure.
  fs::remove(Log());
  host_.messages.clear();
  SetUpArchiver("case \"$7\" in *b.nes) exit 7;; esac\n");
  EXPECT_EQ(Run().end, ZipJobEnd::kFinished);
  EXPECT_EQ(host_.Shown(), "[exclamation] 2 files zipped\n1 files not zipped: b.nes (7z ended with code 7)\n");
}

// An archive that exists before the job is left as it is and its file skipped; of several files with one
// archive name only the first is zipped or skipped, the later ones are never zipped, on every run.
TEST_F(ZipJobTest, ExistingArchivesAreKeptAndOneArchiveNameServesOneFile) {
  SetUpArchiver();
  for (const char* name : {"Game (E).nes", "Game (E).smc", "Old.nes", "Old.unf", "New.gb"}) {
    WriteFile(roms_ / name, "r");
  }
  fs::create_directory(roms_ / "ZippedRoms");
  WriteFile(roms_ / "ZippedRoms/Old.zip", "the user's archive");
  EXPECT_EQ(Run().end, ZipJobEnd::kFinished);
  EXPECT_EQ(
      host_.Shown(),
      "[exclamation] 2 files zipped\n1 files skipped: their archive already exists\n2 files not zipped: Game (E).smc "
      "(another file has the same archive name), Old.unf (another file has the same archive name)\n");
  EXPECT_EQ(Calls(), Call("Game (E).nes") + Call("New.gb"));
  EXPECT_EQ(ReadFile(roms_ / "ZippedRoms/Old.zip"), "the user's archive");
  EXPECT_EQ(ReadFile(roms_ / "ZippedRoms/Game (E).zip"), "zip of " + (roms_ / "Game (E).nes"));

  host_.messages.clear();
  const ZipJobResult again = Run();
  EXPECT_EQ(again.skipped, 3);
  EXPECT_EQ(again.failed.size(), 2u);
  EXPECT_EQ(
      host_.Shown(),
      "[exclamation] 0 files zipped\n3 files skipped: their archive already exists\n2 files not zipped: Game (E).smc "
      "(another file has the same archive name), Old.unf (another file has the same archive name)\n");
  EXPECT_EQ(Calls(), Call("Game (E).nes") + Call("New.gb"));  // no new run
}

TEST(PlanZipJobTest, FirstFileOfEachArchiveNameDecides) {
  const auto exists = [](const std::string& archive) { return archive == "b.zip" || archive == "D.zip"; };
  const std::vector<PlannedZip> plan =
      PlanZipJob({"a.nes", "a.smc", "b", "b.nes", "c", "D.nes", "d.nes", "d.smc"}, exists);
  std::string steps;
  for (const PlannedZip& file : plan) {
    steps += file.name + ">" + file.archive + ":" + "zsx"[static_cast<int>(file.step)] + " ";
  }
  // Case tells archive names apart, as the file system does here.
  EXPECT_EQ(steps,
            "a.nes>a.zip:z a.smc>a.zip:x b>b.zip:s b.nes>b.zip:x c>c.zip:z D.nes>D.zip:s d.nes>d.zip:z d.smc>d.zip:x ");
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
  EXPECT_EQ(host_.Shown(), "[exclamation] Empty directory\n[stop] \"ZippedRoms\" exists as a file in " + roms_.path() +
                               "; nothing was zipped.\n[stop] Cannot read " + settings_.folder +
                               ": No such file or directory\n");
  EXPECT_FALSE(fs::exists(Log()));
}

#ifndef _WIN32
TEST_F(ZipJobTest, ArchiveFolderThatIsALinkIsNeverFollowed) {
  SetUpArchiver();
  WriteFile(roms_ / "game.nes", "r");
  const fs::path elsewhere = fs::path(roms_.path()) / "sub";
  fs::create_directory(elsewhere);
  fs::create_directory_symlink(elsewhere, fs::path(roms_.path()) / "ZippedRoms");
  EXPECT_EQ(Run().end, ZipJobEnd::kNotStarted);
  EXPECT_EQ(host_.Shown(), "[stop] \"ZippedRoms\" in " + roms_.path() + " is a symbolic link; nothing was zipped.\n");
  EXPECT_TRUE(fs::is_empty(elsewhere));
  EXPECT_FALSE(fs::exists(Log()));
}
#endif

TEST_F(ZipJobTest, ArchiveFolderThatCannotBeCreatedIsReported) {
  SetUpArchiver();
  WriteFile(roms_ / "game.nes", "r");
  fs::permissions(roms_.path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(roms_.path().c_str(), W_OK) == 0) {
    // Permissions do not bind this user (root): a folder of the kernel's, where nobody creates folders.
    if (!fs::is_directory("/sys/kernel")) GTEST_SKIP() << "no folder that refuses a new folder";
    settings_.folder = "/sys/kernel";
  }
  Run();
  const std::string expected = "[stop] Cannot create " + settings_.folder + "/ZippedRoms: ";
  EXPECT_EQ(host_.Shown().substr(0, expected.size()), expected);
  EXPECT_FALSE(fs::exists(Log()));
}

// One job per folder; the temporaries an interrupted job left go before this one starts (a folder or a link
// of such a name is not a temporary and stays).
TEST_F(ZipJobTest, TheFolderIsLockedAndLeftoverTemporariesGo) {
  SetUpArchiver();
  WriteFile(roms_ / "game.nes", "r");
  fs::create_directory(roms_ / "ZippedRoms");
  WriteFile(roms_ / "ZippedRoms/.varnel-99999-3.tmp", "half an archive");
  fs::create_directory(roms_ / "ZippedRoms/.varnel-99999-4.tmp");
  fs::create_symlink(roms_ / "game.nes", roms_ / "ZippedRoms/.varnel-99999-5.tmp");
  {
    FolderLock other_job;
    ASSERT_TRUE(other_job.Acquire(roms_.path()).ok());
    EXPECT_EQ(Run().end, ZipJobEnd::kLocked);
    EXPECT_EQ(host_.Shown(), "[exclamation] Another Varnel job is working in " + roms_.path() + ".\n");
    EXPECT_FALSE(fs::exists(Log()));
    EXPECT_TRUE(fs::exists(roms_ / "ZippedRoms/.varnel-99999-3.tmp"));
  }
  EXPECT_EQ(Run().end, ZipJobEnd::kFinished);
  EXPECT_EQ(Archives(), (std::vector<std::string>{".varnel-99999-4.tmp", ".varnel-99999-5.tmp", "game.zip"}));
}

TEST_F(ZipJobTest, RunnerErrorsStopTheJobAtThatFile) {
  for (const char* name : {"a.nes", "b.nes"}) WriteFile(roms_ / name, "r");
  settings_.archiver = program_ / kArchiverFileName;  // not there yet
  EXPECT_EQ(Run().error.number, 2);
  // Hung after writing part of the archive: killed, and the part is gone.
  SetUpArchiver("printf 'part' > \"$2\"\nexec sleep 30\n");
  settings_.hang_limit = std::chrono::milliseconds(200);
  EXPECT_EQ(Run().end, ZipJobEnd::kRunnerError);
  EXPECT_EQ(host_.Shown(),
            "[stop] Error 2: Erreur systeme N° 2\n[stop] Error 259: Timeout sur l'attente de la fin d'un process\n");
  EXPECT_EQ(Steps(host_.progress), "0:0/4 0:0/4 ");
  EXPECT_EQ(Calls(), Call("a.nes"));
  EXPECT_EQ(Archives(), std::vector<std::string>());
}

// A big file keeps the archiver writing for longer than the limit: it may take as long as it needs.
TEST_F(ZipJobTest, ASlowArchiverThatKeepsWritingIsLetFinish) {
  SetUpArchiver("i=0; while [ $i -lt 30 ]; do printf x >> \"$2\"; sleep 0.05; i=$((i+1)); done\n");
  settings_.hang_limit = std::chrono::milliseconds(300);
  WriteFile(roms_ / "disc.iso", "r");
  EXPECT_EQ(Run().end, ZipJobEnd::kFinished);
  EXPECT_EQ(host_.Shown(), "[none] 1 files zipped\n");
  EXPECT_EQ(Archives(), std::vector<std::string>{"disc.zip"});
}

// A stop ends the archiver and what it started, removes its part of an archive, and shows nothing.
TEST_F(ZipJobTest, StopRequestKillsTheArchiverAndItsChildren) {
  SetUpArchiver("sleep 300 & echo $! > '" + (program_ / "child") + "'\necho $$ > '" + (program_ / "pid") +
                "'\nprintf 'part' > \"$2\"\nwait\n");
  for (const char* name : {"a.nes", "b.nes"}) WriteFile(roms_ / name, "r");
  // Stops once the archiver and its child run.
  host_.on_events = [this](int) { host_.stop_at_event = fs::exists(program_ / "pid") ? 1 : 0; };
  const ZipJobResult result = Run();
  EXPECT_EQ(result.end, ZipJobEnd::kStopped);
  EXPECT_EQ(result.zipped, 0);
  EXPECT_EQ(host_.Shown(), "");
  EXPECT_EQ(Calls(), Call("a.nes"));
  EXPECT_EQ(Archives(), std::vector<std::string>());
  for (const char* process : {"pid", "child"}) {
    const int pid = ProcessIdIn(program_ / process);
    EXPECT_TRUE(pid > 0 && ProcessEnded(pid)) << process;
  }
  EXPECT_EQ(ZipStoppedMessage(3), "Stopped: 3 files zipped.");
}

// ---- The installed 7z, where what goes wrong is the archiver's own behaviour (see also the command-line
// tool's tests). ----

class RealArchiverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    settings_.archiver = FindArchiver("", path == nullptr ? "" : path);
    if (settings_.archiver.empty()) GTEST_SKIP() << "no 7z on PATH";
  }
  ZipJobResult Run() { return RunZipJob(settings_, host_); }

  TempFolder roms_;
  ZipJobSettings settings_{roms_.path(), "", kArchiverHangLimit};
  RecordingZipHost host_;
};

// Files that cannot be read when their turn comes get no archive at all, not an empty one.
TEST_F(RealArchiverTest, AFileThatCannotBeReadGetsNoArchive) {
  // Read errors on every read, whoever reads (the tests may run as root).
  fs::create_symlink("/proc/self/mem", roms_ / "1 unreadable.nes");
  for (const char* name : {"2 removed.nes", "3 fifo.nes", "4 folder.nes", "5 good.nes"}) WriteFile(roms_ / name, "r");
  // Between the listing and its turn: one goes, one becomes a FIFO, one a folder holding a file.
  host_.on_events = [this](int call) {
    if (call != 1) return;
    fs::remove(roms_ / "2 removed.nes");
    fs::remove(roms_ / "3 fifo.nes");
    ::mkfifo((roms_ / "3 fifo.nes").c_str(), 0600);
    fs::remove(roms_ / "4 folder.nes");
    fs::create_directory(roms_ / "4 folder.nes");
    WriteFile(roms_ / "4 folder.nes/inner", "inner");
  };
  const ZipJobResult result = Run();
  EXPECT_EQ(result.zipped, 1);
  ASSERT_EQ(result.failed.size(), 4u);
  EXPECT_EQ(result.failed[0].name + " (" + result.failed[0].reason + ")", "1 unreadable.nes (7z ended with code 2)");
  EXPECT_EQ(result.failed[1].reason, "No such file or directory");
  EXPECT_EQ(result.failed[2].reason, "Not a regular file");
  EXPECT_EQ(result.failed[3].reason, "Not a regular file");
  EXPECT_EQ(Names(roms_ / "ZippedRoms"), std::vector<std::string>{"5 good.zip"});
}

}  // namespace
}  // namespace varnel
