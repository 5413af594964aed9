#include "engine/cleaning_run.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/folder_lock.h"
#include "platform/listing.h"
#include "platform/lower_case.h"
#include "tests/engine/engine_test_support.h"
#include "tests/support/scoped_home.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

const std::string kHyphens = "---------------------------------------------------";

RunSettings Settings(const TempFolder& folder, ZoneMode mode, const std::string& zones) {
  RunSettings settings;
  settings.RomFolder = folder.path();
  settings.OpenLog = false;
  settings.ZoneMode = mode;
  settings.ZoneText = zones;
  return settings;
}

// The system's reason for a failure, as this platform words it.
std::string ReasonOf(const Status& status) { return status.message(); }

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(CleaningRunTest, TestRunLogsEveryDecisionAndTouchesNothing) {
  TempFolder folder;
  folder.TouchAll({"Mario (E).nes", "Mario (U) [!].nes", "Mario (J).nes", "Zelda (F).nes"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(E),(U)");
  settings.OpenLog = true;
  RecordingCleaningHost host;
  const RunResult result = RunCleaning(settings, host);
  EXPECT_EQ(result.outcome, RunResult::Outcome::kCompleted);
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf("mario (e).nes\t --> mario (u) [!].nes found|mario (j).nes\t --> mario "
                                              "(u) [!].nes found|" +
                                              kHyphens + "|Theoretically deleted files : 2"));
  EXPECT_EQ(FilesIn(folder.path()).size(), 5u);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"Result: ", "Result: Theoretically deleted files : 2",
                                                  "OpenLog: " + folder / "logfile.txt"}));
  // Maximum 2 + 4 names; one pass per name and a final one; full at the end.
  EXPECT_EQ(host.progress,
            (std::vector<ProgressStep>{{0, 6, 0}, {0, 6, 1}, {0, 6, 2}, {0, 6, 3}, {0, 6, 4}, {0, 6, 5}, {0, 6, 6}}));
}

TEST(CleaningRunTest, DeleteRunAsksAndDeletesTheListedFile) {
  if (!kNamesTellCaseApart) GTEST_SKIP() << "names that differ only by case are one file here";
  TempFolder folder;
  folder.TouchAll({"Game (E).zip", "game (e).zip", "Game (U).zip"});  // two files differing only by case
  folder.Touch("logfile.txt", "earlier run");
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.TestMode = false;
  RecordingCleaningHost host;
  host.confirm_answer = false;
  EXPECT_EQ(RunCleaning(settings, host).outcome, RunResult::Outcome::kNotConfirmed);
  EXPECT_EQ(host.calls, std::vector<std::string>{"Confirm: You will delete files. Continue ?\n2 files will be deleted "
                                                 "from " +
                                                 folder.path() + "."});
  EXPECT_EQ(folder.Read("logfile.txt"), "earlier run");

  host.confirm_answer = true;
  EXPECT_EQ(RunCleaning(settings, host).summary, "Deleted files : 2");
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf("game (e).zip\t --> game (e).zip found|game (u).zip\t --> game (e).zip "
                                              "found|" +
                                              kHyphens + "|Deleted files : 2"));
  EXPECT_EQ(FilesIn(folder.path()), (std::set<std::string>{"Game (E).zip", "logfile.txt"}));
}

TEST(CleaningRunTest, MoveRunKeepsListedNames) {
  TempFolder folder;
  folder.TouchAll({"Game (E).zip", "Game (J).zip", "Other.zip", "Lone (J).zip"});
  RunSettings settings = Settings(folder, ZoneMode::kAllSelectedZones, "(E)");
  settings.MoveFiles = true;
  RecordingCleaningHost host;
  EXPECT_EQ(RunCleaning(settings, host).summary, "Theoretically moved files : 2");
  EXPECT_FALSE(folder.Has("moved"));
  settings.TestMode = false;
  EXPECT_EQ(RunCleaning(settings, host).summary, "Moved files : 2");
  EXPECT_EQ(host.calls.front(), "Result: ");  // no question when moving
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf("game (j).zip\t --> Unselected Zone|lone (j).zip\t --> Unselected Zone|" +
                                              kHyphens + "|Moved files : 2"));
  EXPECT_EQ(FilesIn(folder.path()), (std::set<std::string>{"Game (E).zip", "Other.zip", "logfile.txt"}));
  EXPECT_EQ(FilesIn(folder / "moved"), (std::set<std::string>{"Game (J).zip", "Lone (J).zip"}));
  // A lone dump always stays in the other modes.
  settings.ZoneMode = ZoneMode::kAllZones;
  folder.Touch("Solo (J).zip");
  EXPECT_EQ(RunCleaning(settings, host).summary, "0 file deleted");
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf("0 file deleted"));
}

TEST(CleaningRunTest, RoutesKeepExclusionAndTranslations) {
  TempFolder folder;
  folder.TouchAll({"Some Game (E).zip", "Some Game (E) [T+Fre1.1].zip", "Some Game (E) [T+Fre_beta].zip",
                   "Some Game (J) [T+Eng1.0].zip", "Some Game (U) [T+Fre1.0].zip", "Some Game (U) [T+Fre1.1] [a1].zip",
                   "Some Game (U) [T+Ger1.0].zip", "Some Game (U) (Beta).zip", "Some Game (U) (Beta) [!].zip"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(f),(e),(ue),(jue),(u),(ju),(j)");
  settings.KeepTranslations = true;
  settings.TranslationText = "Fre,eng";
  settings.KeepText = "[!]";
  settings.ExclusionText = "(Beta), ,";  // blank items are passed over
  RecordingCleaningHost host;
  RunCleaning(settings, host);
  const std::string better = " --> some game (e) [t+fre1.1].zip has a better translation";
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogOf("some game (u) (beta).zip\t --> Excluded file|some game (u) [t+ger1.0].zip\t --> Translation not "
                  "wanted|some game (e) [t+fre_beta].zip\t" +
                  better + "|some game (u) [t+fre1.0].zip\t" + better + "|some game (u) [t+fre1.1] [a1].zip\t" +
                  better + "|" + kHyphens + "|Theoretically deleted files : 5"));
  settings.KeepTranslations = false;  // every translated dump goes as excluded
  EXPECT_EQ(RunCleaning(settings, host).summary, "Theoretically deleted files : 7");
  settings.KeepText = "[!],";  // an empty keep item holds every name
  EXPECT_EQ(RunCleaning(settings, host).summary, "0 file deleted");
}

TEST(CleaningRunTest, TranslationsOfAnotherGameNeverCompete) {
  TempFolder folder;
  // The translations of Beta are set aside before the file that closes the group of Alpha.
  folder.TouchAll({"Alpha (E) [T+Fre1.0].zip", "Alpha (E).zip", "Beta (E) [T+Fre1.0].zip", "Beta (E) [T+Fre2.0].zip",
                   "Beta (E).zip"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.KeepTranslations = true;
  settings.TranslationText = "fre";
  RecordingCleaningHost host;
  RunCleaning(settings, host);
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf("beta (e) [t+fre1.0].zip\t --> beta (e) [t+fre2.0].zip has a better "
                                              "translation|" +
                                              kHyphens + "|Theoretically deleted files : 1"));
}

TEST(CleaningRunTest, EarlierLogGroupsButIsNeverDisposedOf) {
  if (!kNamesTellCaseApart) GTEST_SKIP() << "names that differ only by case are one file here";
  TempFolder folder;
  folder.TouchAll({"logfile (e).txt", "logfile (u).txt"});
  folder.Touch("logfile.txt", "earlier run");
  folder.Touch("LogFile.TXT", "keep me");
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  RecordingCleaningHost host;
  RunCleaning(settings, host);
  EXPECT_EQ(host.progress.front(), (ProgressStep{0, 6, 0}));  // both logs are in the snapshot
  settings.TestMode = false;
  RunCleaning(settings, host);
  EXPECT_EQ(folder.Read("logfile.txt"),
            LogOf("logfile (u).txt\t --> logfile (e).txt found|" + kHyphens + "|Deleted files : 1"));
  EXPECT_EQ(folder.Read("LogFile.TXT"), "keep me");
}

TEST(CleaningRunTest, FailedDeleteAndMoveAreLoggedAndNotCounted) {
  TempFolder folder;
  folder.TouchAll({"k (e).z", "k (j).z", "m (e).z", "m (j).z"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.TestMode = false;
  RecordingCleaningHost host;
  host.on_progress = [&folder](double value) {  // "k (j).z" goes after the plan was made
    if (value == 0) fs::remove(folder / "k (j).z");
  };
  EXPECT_EQ(RunCleaning(settings, host).failed_count, 1);
  const std::string gone = ReasonOf(RemoveFile(folder / "k (j).z"));
  // The decision line stays; the error line follows the decision lines of its batch.
  const std::string decisions = "k (j).z\t --> k (e).z found|m (j).z\t --> m (e).z found|k (j).z\t --> Error: ";
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf(decisions + gone + "|" + kHyphens + "|Deleted files : 1"));
  // A file of the same name in "moved" is never overwritten.
  folder.TouchAll({"k (j).z", "m (j).z"});
  fs::create_directory(folder / "moved");
  folder.Touch(JoinPath("moved", "k (j).z"), "earlier");
  settings.MoveFiles = true;
  host.on_progress = nullptr;
  RunCleaning(settings, host);
  const std::string exists = ReasonOf(MoveWithoutReplace(folder / "k (j).z", folder / "k (e).z"));
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf(decisions + exists + "|" + kHyphens + "|Moved files : 1"));
  EXPECT_EQ(folder.Read(JoinPath("moved", "k (j).z")), "earlier");
  EXPECT_TRUE(folder.Has("k (j).z"));
}

TEST(CleaningRunTest, RunsThatStopBeforeTheScan) {
  TempFolder folder;
  folder.TouchAll({"a (e).z", "a (j).z"});
  const std::string missing = folder / "missing";
  RunSettings settings = Settings(folder, ZoneMode::kNone, "(e)");
  settings.TestMode = false;
  settings.MoveFiles = true;
  struct Stop {
    std::function<void(RunSettings&)> prepare;
    RunResult::Outcome outcome;
    std::string message;
  };
  const Stop stops[] = {
      {[](RunSettings&) {}, RunResult::Outcome::kNoZoneMode, "[none] Erreur"},
      {[&](RunSettings& s) {
         s.ZoneMode = ZoneMode::kVerifiedFirst;
         fs::remove(folder / "moved");  // made by the run before, as the setup goes
         folder.Touch("moved");
       },
       RunResult::Outcome::kSetupFailed,
       "[stop] \"moved\" exists as a file in " + folder.path() + "; nothing was moved."},
      {[&](RunSettings& s) {
         s.MoveFiles = false;
         fs::create_directory(folder / "logfile.txt");
       },
       RunResult::Outcome::kSetupFailed,
       "[stop] logfile.txt in " + folder.path() + " is not a regular file; nothing was done."},
      {[&](RunSettings& s) { s.RomFolder = missing, s.TestMode = true; }, RunResult::Outcome::kSetupFailed,
       "[exclamation] Cannot read " + missing + ": " +
           [&] {
             std::vector<std::string> names;
             return ListOrdinaryFiles(missing, &names).message();
           }()},
      {[&](RunSettings&) { fs::create_directories(missing + "/sub"); }, RunResult::Outcome::kEmptyFolder,
       "[exclamation] Empty directory"},
  };
  for (const Stop& stop : stops) {
    stop.prepare(settings);
    RecordingCleaningHost host;
    const RunResult result = RunCleaning(settings, host);
    EXPECT_EQ(result.outcome, stop.outcome) << stop.message;
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.back(), stop.message);
    EXPECT_TRUE(result.log_path.empty() && folder.Has("a (e).z") && folder.Has("a (j).z")) << stop.message;
  }
}

#ifndef _WIN32
// "moved" that is a link is never followed, whether it names a folder outside the romset or nothing.
TEST(CleaningRunTest, MovedThatIsALinkStopsTheRun) {
  TempFolder folder;
  TempFolder outside;
  folder.TouchAll({"a (e).z", "a (j).z"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.TestMode = false;
  settings.MoveFiles = true;
  for (const std::string& target : {outside.path(), outside / "none"}) {
    fs::remove(folder / "moved");
    fs::create_directory_symlink(target, folder / "moved");
    RecordingCleaningHost host;
    EXPECT_EQ(RunCleaning(settings, host).outcome, RunResult::Outcome::kSetupFailed);
    EXPECT_EQ(host.calls.back(), "[stop] \"moved\" in " + folder.path() + " is a symbolic link; nothing was moved.");
    EXPECT_TRUE(folder.Has("a (j).z") && !folder.Has("logfile.txt"));
    EXPECT_TRUE(fs::is_empty(outside.path()));
  }
}
#endif

// `pairs` games of two dumps, "title <i> (e).nes" kept and "title <i> (j).nes" deleted with zone "(e)", each
// with the log line "title <i> (j).nes\t --> title <i> (e).nes found". Names are lower case, as logged.
constexpr std::size_t kLineSize = 52;
constexpr std::size_t kLinesPerBatch = 65536 / kLineSize;
std::vector<std::string> PairNames(int pairs) {
  std::vector<std::string> names;
  for (int i = 0; i < pairs; ++i) {
    const std::string title = "title " + std::to_string(10000 + i);
    names.push_back(title + " (e).nes");
    names.push_back(title + " (j).nes");
  }
  return names;
}

// The names of the decision lines of `log`, "<name>\t --> ...", error lines excluded.
std::set<std::string> LoggedNames(const std::string& log) {
  std::set<std::string> names;
  for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = log.substr(start, end - start);
    const std::size_t arrow = line.find("\t --> ");
    if (arrow != std::string::npos && line.find("\t --> Error: ") == std::string::npos) {
      names.insert(line.substr(0, arrow));
    }
  }
  return names;
}

// True when every name of `names` that is no longer in `folder` has its decision line in the log on disk.
::testing::AssertionResult EveryMissingFileIsLogged(const TempFolder& folder, const std::vector<std::string>& names) {
  const std::set<std::string> logged = LoggedNames(folder.Read("logfile.txt"));
  for (const std::string& name : names) {
    if (!folder.Has(name) && !logged.count(name)) return ::testing::AssertionFailure() << name << " went unlogged";
  }
  return ::testing::AssertionSuccess();
}

TEST(CleaningRunTest, NoFileGoesBeforeItsLineIsOnDisk) {
  TempFolder folder;
  const std::vector<std::string> names = PairNames(1500);
  folder.TouchAll(names);
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  RecordingCleaningHost host;
  RunCleaning(settings, host);
  const std::string test_log = folder.Read("logfile.txt");

  // After each file the run carries out, the log on disk names every file gone so far. One file of the
  // first batch is gone before the run reaches it: its error line follows the first batch's lines.
  settings.TestMode = false;
  host = RecordingCleaningHost();
  host.on_progress = [&](double value) {
    if (value == 0) fs::remove(folder / "title 10005 (j).nes");
    if (static_cast<int>(value) % 250 == 1) {
      ASSERT_TRUE(EveryMissingFileIsLogged(folder, names)) << value;
    }
  };
  const RunResult result = RunCleaning(settings, host);
  EXPECT_EQ(result.summary, "Deleted files : 1499");
  EXPECT_EQ(result.failed_count, 1);
  const std::string log = folder.Read("logfile.txt");
  const std::string error = "title 10005 (j).nes\t --> Error: " + ReasonOf(RemoveFile(folder / "x")) + "\r\n";
  const std::size_t first_batch = kLinesPerBatch * kLineSize;
  EXPECT_EQ(log.substr(first_batch, error.size()), error);
  EXPECT_EQ(log.substr(0, first_batch) + log.substr(first_batch + error.size()),
            test_log.substr(0, test_log.find(kHyphens)) + kHyphens + "\r\nDeleted files : 1499\r\n");
  EXPECT_TRUE(EveryMissingFileIsLogged(folder, names));
  // A real run's bar counts the files that go, one step each, and ends full.
  ASSERT_EQ(host.progress.size(), 1502u);
  EXPECT_EQ(host.progress.front(), (ProgressStep{0, 1502, 0}));
  EXPECT_EQ(host.progress[1500], (ProgressStep{0, 1502, 1500}));
  EXPECT_EQ(host.progress.back(), (ProgressStep{0, 1502, 1502}));
}

#ifndef _WIN32
// The log and the history cannot grow past 70,000 bytes: the first batch cut short stops the run before its
// files go, with no summary anywhere, and every file that went has its line.
TEST(CleaningRunTest, AFailedLogWriteStopsTheRun) {
  TempFolder history;
  // Without a history the log's second batch is the first write cut short; with one, the history's first batch
  // of intents, which are longer than the log's lines.
  const struct {
    const char* label;
    HistoryPlace place;
    std::size_t gone;
  } kCases[] = {{"no history", HistoryPlace::Nowhere(), kLinesPerBatch},
                {"history", HistoryPlace::In(history.path()), 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    const std::vector<std::string> names = PairNames(1500);
    folder.TouchAll(names);
    RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
    settings.TestMode = false;
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{70000, 70000};
      setrlimit(RLIMIT_FSIZE, &limit);
      RecordingCleaningHost host;
      const RunResult result = RunCleaning(settings, host, c.place);
      std::string text = std::to_string(static_cast<int>(result.outcome)) + "|" + std::to_string(result.DisposedCount);
      for (const std::string& call : host.calls) text += "|" + call;
      const bool sent = write(report[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
      _exit(sent ? 0 : 1);
    }
    close(report[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(report[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
    close(report[0]);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    std::vector<std::string> ids;
    ASSERT_TRUE(ListRuns(history.path(), &ids).ok());
    const std::string failed_file =
        c.gone > 0 ? "log file " + folder / "logfile.txt" : "history file " + RunFilePath(history.path(), ids[0]);
    const std::string gone = std::to_string(c.gone);
    EXPECT_EQ(text, std::to_string(static_cast<int>(RunResult::Outcome::kLogFailed)) + "|" + gone +
                        "|Confirm: You will delete files. Continue ?\n1500 files will be deleted from " +
                        folder.path() + ".|Result: |[stop] Cannot write the " + failed_file + ": " +
                        std::strerror(EFBIG) + ". The run stopped after " + gone + " files.");
    EXPECT_EQ(folder.Read("logfile.txt").size(), kLinesPerBatch * kLineSize);  // whole lines, no summary
    EXPECT_EQ(FilesIn(folder.path()).size(), names.size() + 1 - c.gone);
    EXPECT_TRUE(EveryMissingFileIsLogged(folder, names));
  }
}

// Only a regular file with a single link is ever the log: a link out of the folder, a second name of a file
// elsewhere, or one put there between the check and the opening, is refused and nothing is done.
TEST(CleaningRunTest, TheLogIsNeverAWayOutOfTheFolder) {
  const struct {
    const char* label;
    bool test_run;
    bool link_after_check;  // the link appears once the run has checked the name
    std::function<void(const std::string& log, const std::string& outside)> make;
  } cases[] = {
      {"link, test run", true, false, [](auto& log, auto& outside) { fs::create_symlink(outside, log); }},
      {"link, delete run", false, false, [](auto& log, auto& outside) { fs::create_symlink(outside, log); }},
      {"dangling link", true, false, [](auto& log, auto& outside) { fs::create_symlink(outside + ".new", log); }},
      {"hard link", true, false, [](auto& log, auto& outside) { fs::create_hard_link(outside, log); }},
      {"link after the check", false, true, [](auto& log, auto& outside) { fs::create_symlink(outside, log); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder parent;
    const std::string roms = parent / "roms", log = JoinPath(roms, "logfile.txt");
    const std::string outside = parent / "outside.txt";
    fs::create_directory(roms);
    parent.Touch("outside.txt", "keep me");
    for (const char* name : {"a (e).z", "a (j).z"}) std::ofstream(JoinPath(roms, name));
    RunSettings settings;
    settings.RomFolder = roms;
    settings.TestMode = c.test_run;
    settings.ZoneText = "(e)";
    RecordingCleaningHost host;
    if (c.link_after_check) {
      host.on_progress = [&](double) {
        if (!fs::is_symlink(log)) c.make(log, outside);
      };
    } else {
      c.make(log, outside);
    }
    const RunResult result = RunCleaning(settings, host);
    EXPECT_EQ(result.outcome, RunResult::Outcome::kSetupFailed);
    EXPECT_EQ(host.calls.back(), "[stop] logfile.txt in " + roms + " is not a regular file; nothing was done.");
    EXPECT_EQ(parent.Read("outside.txt"), "keep me");
    EXPECT_FALSE(parent.Has("outside.txt.new"));
    EXPECT_TRUE(fs::exists(JoinPath(roms, "a (e).z")) && fs::exists(JoinPath(roms, "a (j).z")));
  }
}

// A lone 0xC3 byte (a Latin-1 name never converted to UTF-8) does not hide the letter after it from the
// lower-casing: the keep item "abc" holds "\xC3ABC.nes", which a move run then leaves in place.
TEST(CleaningRunTest, ALatin1NameIsLoweredLetterByLetter) {
  TempFolder folder;
  folder.TouchAll(
      {"\xC3"
       "ABC.nes",
       "\xC3"
       "XYZ.nes"});
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "");
  settings.TestMode = false;
  settings.MoveFiles = true;
  settings.KeepText = "abc";
  settings.ExclusionText = ".nes";
  RecordingCleaningHost host;
  EXPECT_EQ(RunCleaning(settings, host).summary, "Moved files : 1");
  EXPECT_TRUE(
      folder.Has("\xC3"
                 "ABC.nes"));
  EXPECT_EQ(folder.Read("logfile.txt"), LogOf("\xC3"
                                              "xyz.nes\t --> Excluded file|" +
                                              kHyphens + "|Moved files : 1"));
}
#endif

// A real run in the home folder, however the path names it, is refused before anything else (the delete
// question included) and touches nothing; a test run may still look there.
TEST(CleaningRunTest, RealRunsAreRefusedInTheHomeFolder) {
  TempFolder home;
  home.TouchAll({"notes (draft).txt", "notes (final).txt"});
  const ScopedHome scoped_home(home.path());
  std::vector<std::string> aliases = {home.path(), home.path() + std::string(1, kPathSeparator),
                                      JoinPath(home.path(), ".")};
#ifndef _WIN32
  TempFolder links;
  fs::create_symlink(home.path(), links / "home");
  aliases.push_back(links / "home");
#endif
  RunSettings settings = Settings(home, ZoneMode::kVerifiedFirst, "");
  settings.TestMode = false;
  for (const std::string& alias : aliases) {
    for (const bool move : {false, true}) {
      settings.RomFolder = alias;
      settings.MoveFiles = move;
      RecordingCleaningHost host;
      EXPECT_EQ(RunCleaning(settings, host).outcome, RunResult::Outcome::kRefused) << alias;
      EXPECT_EQ(host.calls, std::vector<std::string>{"[exclamation] Varnel will not change files in " + alias +
                                                     ": choose the folder that holds your romset."});
    }
  }
  EXPECT_EQ(FilesIn(home.path()), (std::set<std::string>{"notes (draft).txt", "notes (final).txt"}));
  EXPECT_FALSE(home.Has("moved") || home.Has("logfile.txt"));

  settings.TestMode = true;
  RecordingCleaningHost host;
  EXPECT_EQ(RunCleaning(settings, host).outcome, RunResult::Outcome::kCompleted);
  EXPECT_EQ(FilesIn(home.path()).size(), 3u);  // and the log
}

// While another job holds the folder, no run (a test run neither: it rewrites the log) touches anything.
TEST(CleaningRunTest, SecondJobOnTheFolderTouchesNothing) {
  TempFolder folder;
  folder.TouchAll({"a (e).z", "a (j).z"});
  folder.Touch("logfile.txt", "earlier run");
  FolderLock other_job;
  ASSERT_TRUE(other_job.Acquire(folder.path()).ok());
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  for (const auto& [test, move] : {std::pair{true, false}, {false, false}, {false, true}}) {
    settings.TestMode = test;
    settings.MoveFiles = move;
    RecordingCleaningHost host;
    EXPECT_EQ(RunCleaning(settings, host).outcome, RunResult::Outcome::kLocked);
    EXPECT_EQ(host.calls,
              std::vector<std::string>{"[exclamation] Another Varnel job is working in " + folder.path() + "."});
  }
  EXPECT_EQ(FilesIn(folder.path()), (std::set<std::string>{"a (e).z", "a (j).z", "logfile.txt"}));
  EXPECT_EQ(folder.Read("logfile.txt"), "earlier run");
  EXPECT_FALSE(folder.Has("moved"));

  other_job.Release();
  RecordingCleaningHost host;
  EXPECT_EQ(RunCleaning(settings, host).summary, "Moved files : 1");
}

// A real move run first clears what an interrupted earlier move left in "moved"; a test run leaves it.
TEST(CleaningRunTest, RealMoveRunClearsLeftoverTemporaries) {
  TempFolder folder;
  folder.TouchAll({"a (e).z", "a (j).z"});
  fs::create_directory(folder / "moved");
  const std::string leftover = JoinPath("moved", ".varnel-99-0.tmp");
  folder.Touch(leftover, "half a copy");
  folder.Touch(JoinPath("moved", "b (j).z"), "moved before");
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(e)");
  settings.MoveFiles = true;
  RecordingCleaningHost host;
  RunCleaning(settings, host);
  EXPECT_TRUE(folder.Has(leftover));
  settings.TestMode = false;
  EXPECT_EQ(RunCleaning(settings, host).summary, "Moved files : 1");
  EXPECT_FALSE(folder.Has(leftover));
  EXPECT_EQ(FilesIn(folder / "moved"), (std::set<std::string>{"a (j).z", "b (j).z"}));
}

// Real names (tests/data/snes_names.txt) moved: every file ends in the folder or in "moved", each moved file
// has one line, every dump a line names as kept is still in the folder, and a test run decided the same.
TEST(CleaningRunTest, RealNamesMoveRunIsConsistent) {
  std::ifstream list(VARNEL_TEST_DATA_DIR "/snes_names.txt");
  std::vector<std::string> names;
  for (std::string line; std::getline(list, line);) names.push_back(line);
  ASSERT_GT(names.size(), 100u);
  TempFolder folder;
  folder.TouchAll(names);
  RunSettings settings = Settings(folder, ZoneMode::kVerifiedFirst, "(U),(E),(J)");
  settings.KeepTranslations = true;
  settings.TranslationText = "fre,ger,spa";
  settings.ExclusionText = "[b";
  RecordingCleaningHost host;
  RunCleaning(settings, host);
  const std::string test_log = folder.Read("logfile.txt");
  settings.TestMode = false;
  settings.MoveFiles = true;
  RunCleaning(settings, host);
  const std::string log = folder.Read("logfile.txt");
  EXPECT_EQ(log.substr(0, log.find(kHyphens)), test_log.substr(0, test_log.find(kHyphens)));

  std::set<std::string> kept, moved;
  for (const std::string& name : FilesIn(folder.path())) kept.insert(LowerCase(name));
  for (const std::string& name : FilesIn(folder / "moved")) moved.insert(LowerCase(name));
  EXPECT_EQ(kept.size() + moved.size(), names.size() + 1);  // and the log
  std::size_t lines = 0;
  for (std::size_t start = 0, end; start < log.find(kHyphens); start = end + 2, ++lines) {
    end = log.find("\r\n", start);
    const std::string line = log.substr(start, end - start);
    const std::size_t arrow = line.find("\t --> ");
    EXPECT_TRUE(moved.count(line.substr(0, arrow))) << line;
    for (const std::string suffix : {" found", " kept", " has a better translation"}) {
      if (line.ends_with(suffix)) {
        EXPECT_TRUE(kept.count(line.substr(arrow + 6, line.size() - arrow - 6 - suffix.size()))) << line;
      }
    }
  }
  EXPECT_GT(lines, 50u);
  EXPECT_EQ(lines, moved.size());
}

}  // namespace
}  // namespace varnel
