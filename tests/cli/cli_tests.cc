// The built varnel-cli, run on real folders of empty files and compared with direct runs of the engine.
//
// The romset names come from tests/data/cli_goodnes_excerpt.txt: lines 1-40, 6717-6960 and 20148-20221 of
// goodnes.txt from the project's romname lists (GoodNES 3.23b names, CC0, from SnowflakePowered/opengood).

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/cleaning_run.h"
#include "gtest/gtest.h"
#include "platform/folder_lock.h"
#include "settings/config_file.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/recording_hosts.h"
#include "tests/support/temp_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using Edit = std::function<void(RunSettings&)>;

// `p` quoted for the shell.
std::string Quote(const fs::path& p) { return "'" + std::regex_replace(p.string(), std::regex("'"), "'\\''") + "'"; }

// Every file below `folder`, as sorted relative paths.
std::vector<std::string> Tree(const fs::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), folder).generic_string());
  std::sort(files.begin(), files.end());
  return files;
}

// The exit code, the output and the error output of a run.
using CliRun = std::tuple<int, std::string, std::string>;

class CliTest : public ::testing::Test {
 protected:
  // The folder `name`, with a file holding `contents` for each line of `names`.
  fs::path MakeFiles(const std::string& name, const std::string& names, const std::string& contents = "") {
    std::istringstream lines(names);
    fs::create_directories(root_ / name);
    for (std::string line; std::getline(lines, line);) WriteFile(root_ / name / line, contents);
    return root_ / name;
  }

  // Each test keeps its own history: XDG_STATE_HOME in the test's folder.
  void SetHistoryFolder() const { setenv("XDG_STATE_HOME", (root_ / "state").c_str(), 1); }

  // HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_STATE_HOME in the test's folder, so that the user's own
  // configuration file, trash and history are never reached by the runs the test starts.
  void UseTestFolders() const {
    setenv("HOME", root_.c_str(), 1), setenv("XDG_CONFIG_HOME", root_.c_str(), 1), SetHistoryFolder();
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
  }

  // Runs varnel-cli with stdin from /dev/null, in the test's folders (UseTestFolders). `config_file` sets the
  // test-only path when not empty.
  CliRun Run(const std::vector<std::string>& args, const fs::path& config_file = {}) {
    UseTestFolders();
    config_file.empty() ? unsetenv("VARNEL_CONFIG_FILE") : setenv("VARNEL_CONFIG_FILE", config_file.c_str(), 1);
    std::string command = Quote(VARNEL_CLI_PATH);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " </dev/null >" + Quote(root_ / "out") + " 2>" + Quote(root_ / "err");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(root_ / "out"), ReadFile(root_ / "err")};
  }

  // Starts varnel-cli as Run() does, without a shell, and with SIGXFSZ ignored and the file-size limit
  // `file_size_limit` when it is not 0. Returns the child's pid; Wait() collects its run.
  pid_t Start(const std::vector<std::string>& args, rlim_t file_size_limit = 0) {
    UseTestFolders();
    unsetenv("VARNEL_CONFIG_FILE");
    const std::string out = (root_ / "out").string(), err = (root_ / "err").string();
    std::vector<std::string> argv = {VARNEL_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      const int in = open("/dev/null", O_RDONLY);
      const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(in, 0), dup2(out_fd, 1), dup2(err_fd, 2);
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{file_size_limit, file_size_limit};
      if (file_size_limit != 0) setrlimit(RLIMIT_FSIZE, &limit);
      execv(pointers[0], pointers.data());
      _exit(127);
    }
    return child;
  }
  CliRun Wait(pid_t child) {
    int status = -1;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(root_ / "out"), ReadFile(root_ / "err")};
  }

  // RunCleaning over `folder` with the cleaning window's initial settings, changed by `edit`.
  static RunResult Direct(const fs::path& folder, const Edit& edit) {
    RunSettings settings;
    settings.RomFolder = folder.string();
    settings.ZoneText = kDefaultZoneText;
    settings.ExclusionText = kDefaultExclusionText;
    if (edit) edit(settings);
    RecordingCleaningHost host;  // answers the delete question Yes
    return RunCleaning(settings, host);
  }

  // Runs `c.args` and checks the exit code and that the output and the error output hold the given texts.
  struct Expected {
    std::vector<std::string> args;
    int code;
    std::string out_has, err_has;
  };
  void ExpectRun(const Expected& c) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const auto [code, out, err] = Run(c.args);
    EXPECT_EQ(code, c.code) << err;
    EXPECT_NE(out.find(c.out_has), std::string::npos) << out;
    EXPECT_NE(err.find(c.err_has), std::string::npos) << err;
  }

  const TempFolder temp_;
  const fs::path root_ = temp_.path();
  // The names from the excerpt, plus two dumps that differ only by extension.
  const std::string romset_ = ReadFile(VARNEL_CLI_NAMES) + "Zzz Game (U) [!].nes\nZzz Game (U) [!].unf\n";
};

TEST_F(CliTest, EachOptionRunsAsItsBoxWould) {
  const std::string file = "(u),(e)\r\n(j)\r\n[b1]\r\nfre\r\n";
  const Edit from_file = [](RunSettings& s) {
    s.ZoneText = "(u),(e)", s.KeepText = "(j)", s.ExclusionText = "[b1]";
    s.KeepTranslations = true, s.TranslationText = "fre";
  };
  struct Case {
    std::vector<std::string> args;
    Edit edit;                // the same change made in the window; none when the run must not change
    std::string config = "";  // written to the test-only path, or with "window:" before it to the window's path
  };
  const std::vector<Case> cases = {
      {{}, nullptr},
      {{"--zones", "(U)"}, [](RunSettings& s) { s.ZoneText = "(U)"; }},
      {{"--keep", "(j)"}, [](RunSettings& s) { s.KeepText = "(j)"; }},
      {{"--exclude="}, [](RunSettings& s) { s.ExclusionText = ""; }},
      {{"--exclude", "-in-1,[b1]"}, [](RunSettings& s) { s.ExclusionText = "-in-1,[b1]"; }},
      {{"--translations", "fre,eng"}, [](RunSettings& s) { s.KeepTranslations = true, s.TranslationText = "fre,eng"; }},
      {{"--mode", "all-selected"}, [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllSelectedZones; }},
      {{"--mode", "first-selected"}, [](RunSettings& s) { s.ZoneMode = ZoneMode::kFirstSelectedZone; }},
      {{"--mode", "3"}, [](RunSettings& s) { s.ZoneMode = ZoneMode::kFirstSelectedZone; }},
      {{"--mode", "all-zones"}, [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllZones; }},
      {{"--multi-ext"}, [](RunSettings& s) { s.IgnoreExtensions = true; }},
      {{"--move"}, [](RunSettings& s) { s.MoveFiles = true; }},
      {{"--trash"}, [](RunSettings& s) { s.TrashFiles = true; }},
      {{"--apply", "--trash"}, [](RunSettings& s) { s.TestMode = false, s.TrashFiles = true; }},
      {{"--apply", "--yes"}, [](RunSettings& s) { s.TestMode = false; }},
      {{}, from_file, file},
      {{"--apply", "--move"}, [&](RunSettings& s) { from_file(s), s.TestMode = false, s.MoveFiles = true; }, file},
      {{"--zones", "(j)"}, [&](RunSettings& s) { from_file(s), s.ZoneText = "(j)"; }, file},
      {{"--no-translations"}, [&](RunSettings& s) { from_file(s), s.KeepTranslations = false; }, file},
      {{}, [](RunSettings& s) { s.ZoneText = "(u)", s.ExclusionText = "[b1]"; }, "window:(u)\r\n\r\n[b1]\r\n"},
  };
  const fs::path unedited = MakeFiles("unedited", romset_);
  const std::size_t file_count = Tree(unedited).size();
  ASSERT_EQ(std::get<0>(Run({"clean", unedited.string()})), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args) + " " + ::testing::PrintToString(c.config));
    const fs::path cli = root_ / "cli", direct = root_ / "direct", window = root_ / "varnel_config.txt";
    if (!fs::exists(cli)) MakeFiles("cli", romset_), MakeFiles("direct", romset_);  // test runs leave them as they were
    const bool at_window = c.config.starts_with("window:");
    fs::remove(window);
    if (!c.config.empty()) WriteFile(at_window ? window : root_ / "test.txt", c.config.substr(at_window ? 7 : 0));
    std::vector<std::string> args = {"clean", cli.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto [code, out, err] = Run(args, c.config.empty() || at_window ? fs::path() : root_ / "test.txt");
    ASSERT_EQ(code, 0) << err;
    const RunResult result = Direct(direct, c.edit);
    const std::string log = ReadFile(cli / "logfile.txt");
    EXPECT_EQ(log, ReadFile(direct / "logfile.txt"));
    EXPECT_EQ(out, result.summary + "\n");
    EXPECT_EQ(log != ReadFile(unedited / "logfile.txt"), static_cast<bool>(c.edit));
    EXPECT_EQ(Tree(cli), Tree(direct));  // kept in place, or moved into "moved", as the window does
    // None lost: each file is still there, or in "moved", or deleted or trashed and counted; and the log.
    const bool gone = result.summary.starts_with("Deleted") || result.summary.starts_with("Trashed");
    EXPECT_EQ(Tree(cli).size(), file_count + 1 - (gone ? result.DisposedCount : 0));
    if (result.summary.starts_with("Trashed")) {  // the two runs' files, under names of their own
      EXPECT_EQ(Tree(root_ / "data/Trash/files").size(), 2u * result.DisposedCount);
      EXPECT_EQ(Tree(root_ / "data/Trash/info").size(), 2u * result.DisposedCount);
    }
    if (!result.summary.starts_with("Theoretically")) fs::remove_all(cli), fs::remove_all(direct);
  }
}

TEST_F(CliTest, ExitCodesAndMessages) {
  // With a log already, as --print-log writes one.
  const std::string f = MakeFiles("romset", romset_ + "logfile.txt\n").string(), missing = (root_ / "missing").string();
  const std::vector<std::string> before = Tree(f);
  fs::create_directories(root_ / "empty/sub");
  const Expected cases[] = {
      {{}, 2, "", "subcommand"},
      {{"clean"}, 2, "", "FOLDER"},
      {{"clean", f, "--mode", "5"}, 2, "", "--mode"},
      {{"clean", f, "--keep"}, 2, "", "--keep"},
      {{"clean", f, "--translations", "fre", "--no-translations"}, 2, "", "--no-translations"},
      {{"clean", f, "--apply"}, 2, "", "You will delete files. Continue ? (no terminal to answer: add --yes)\n"},
      {{"clean", missing}, 1, "", "missing"},
      {{"alpha", missing}, 1, "", "Cannot read"},
      {{"zip", missing}, 1, "", "Cannot read"},
      {{"clean", (root_ / "empty").string()}, 1, "", "Empty directory\n"},
      {{"alpha", (root_ / "empty").string()}, 1, "", "Empty directory\n"},
      {{"clean", "--help"}, 0, "--no-translations", ""},
      {{"clean", f, "--apply", "--trash", "--move"}, 2, "", " excludes --"},
      {{"--version"}, 0, "varnel-cli " VARNEL_VERSION "\n", ""},
      {{"clean", f, "--print-log"}, 0, "\t --> ", ""},
  };
  for (const Expected& c : cases) ExpectRun(c);
  EXPECT_EQ(Tree(f), before);  // nothing deleted by any of these
  EXPECT_FALSE(fs::exists(root_ / "empty/AlphaFolders"));
}

// `pairs` games of two dumps of which the second goes, in lower case as the log names them, and the log's
// decision lines ("<name>\t --> ...").
std::string PairNames(int pairs) {
  std::string names;
  for (int i = 0; i < pairs; ++i) {
    names += "title " + std::to_string(10000 + i) + " (u) [!].nes\n";
    names += "title " + std::to_string(10000 + i) + " (j).nes\n";
  }
  return names;
}
std::set<std::string> LoggedNames(const std::string& log) {
  std::set<std::string> names;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t arrow = line.find("\t --> ");
    if (arrow != std::string::npos) names.insert(line.substr(0, arrow));
  }
  return names;
}
// The files of `names` missing from `folder` that the log there does not name.
std::vector<std::string> GoneUnlogged(const fs::path& folder, const std::string& names) {
  const std::set<std::string> logged = LoggedNames(ReadFile(folder / "logfile.txt"));
  std::vector<std::string> unlogged;
  std::istringstream lines(names);
  for (std::string name; std::getline(lines, name);) {
    if (!fs::exists(folder / name) && !logged.count(name)) unlogged.push_back(name);
  }
  return unlogged;
}

// A FIFO or a link at the log's name: refused at once (a FIFO once made every run hang), nothing done.
TEST_F(CliTest, TheLogsNameHoldingAFifoOrALinkIsRefused) {
  const fs::path outside = root_ / "outside.txt";
  WriteFile(outside, "keep me");
  const struct {
    std::vector<std::string> options;
    bool fifo;
  } cases[] = {{{}, true}, {{"--apply", "--yes"}, true}, {{}, false}, {{"--apply", "--move"}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options) + (c.fifo ? " fifo" : " link"));
    const fs::path folder = MakeFiles("romset", "Game (E).nes\nGame (J).nes\n");
    fs::remove(folder / "logfile.txt");
    if (c.fifo) {
      ASSERT_EQ(mkfifo((folder / "logfile.txt").c_str(), 0600), 0);
    } else {
      fs::create_symlink(outside, folder / "logfile.txt");
    }
    std::vector<std::string> args = {"clean", folder.string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto [code, out, err] = Run(args);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "logfile.txt in " + folder.string() + " is not a regular file; nothing was done.\n");
    EXPECT_TRUE(fs::exists(folder / "Game (E).nes") && fs::exists(folder / "Game (J).nes"));
    EXPECT_EQ(ReadFile(outside), "keep me");
  }
}

// A log and a history that cannot grow past 70,000 bytes (a full disk): the first batch of intents, longer than
// the log's lines, is cut short, and the run stops before that batch with exit 1 and no summary.
TEST_F(CliTest, AFullDiskStopsTheRunWithoutASummary) {
  const std::string names = PairNames(1500);
  const fs::path folder = MakeFiles("romset", names);
  const auto [code, out, err] = Wait(Start({"clean", folder.string(), "--apply", "--yes"}, 70000));
  EXPECT_EQ(code, 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(Tree(folder).size(), 3001u);
  EXPECT_EQ(err.rfind("Cannot write the history file ", 0), 0u) << err;
  EXPECT_NE(err.find(std::string(": ") + std::strerror(EFBIG) + ". The run stopped after 0 files.\n"),
            std::string::npos)
      << err;
}

// Killed at random moments of a delete run (as by kill -9, a closed terminal or a power cut), the run
// leaves a line in the log for every file it deleted.
TEST_F(CliTest, AKilledRunLeavesALineForEveryFileGone) {
  const std::string names = PairNames(1300);
  std::vector<std::string> order;  // the files in the order the run deletes them: that of the log
  {
    const fs::path folder = MakeFiles("romset", names);
    ASSERT_EQ(std::get<0>(Run({"clean", folder.string()})), 0);
    std::istringstream lines(ReadFile(folder / "logfile.txt"));
    for (std::string line; std::getline(lines, line);)
      if (line.find("\t --> ") != std::string::npos) order.push_back(line.substr(0, line.find("\t --> ")));
    ASSERT_EQ(order.size(), 1300u);
  }
  std::mt19937 random(std::random_device{}());
  for (int round = 0; round < 3; ++round) {
    // The first round is killed within the first batch of lines, the others anywhere.
    const std::size_t after = 1 + random() % (round == 0 ? 1000 : order.size() - 1);
    SCOPED_TRACE("killed once file " + std::to_string(after) + " was gone");
    const fs::path folder = MakeFiles("romset", names);  // puts back the files an earlier round deleted
    const pid_t child = Start({"clean", folder.string(), "--apply", "--yes"});
    const std::string watched = (folder / order[after - 1]).string();
    int status = 0;
    while (access(watched.c_str(), F_OK) == 0 && waitpid(child, &status, WNOHANG) == 0) {
    }
    kill(child, SIGKILL);
    Wait(child);
    EXPECT_EQ(GoneUnlogged(folder, names), std::vector<std::string>{});
  }
}

// On a terminal both lines of the question are asked, and Return alone answers No.
TEST_F(CliTest, ReturnOnTheDeleteQuestionAnswersNo) {
  if (std::system("script --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "script (util-linux) is not installed";
  const fs::path folder = MakeFiles("romset", "Game (E).nes\nGame (J).nes\n");
  setenv("HOME", root_.c_str(), 1), setenv("XDG_CONFIG_HOME", root_.c_str(), 1), unsetenv("VARNEL_CONFIG_FILE");
  const std::string command = Quote(VARNEL_CLI_PATH) + " clean " + Quote(folder) + " --apply";
  const std::string shell = "printf '\\n' | script -qec " + Quote(command) + " /dev/null >" + Quote(root_ / "out");
  const int status = std::system(shell.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  EXPECT_NE(
      ReadFile(root_ / "out")
          .find("You will delete files. Continue ?\r\n1 files will be deleted from " + folder.string() + ". [y/N] "),
      std::string::npos)
      << ReadFile(root_ / "out");
  EXPECT_TRUE(fs::exists(folder / "Game (J).nes"));
  EXPECT_FALSE(fs::exists(folder / "logfile.txt"));
}

// Only the window's own file may be missing (a fresh account); any other file that cannot be used stops the
// run before it touches anything, its log included, even with every list on the command line.
TEST_F(CliTest, AConfigurationFileThatCannotBeUsedStopsTheRun) {
  const fs::path f = MakeFiles("romset", romset_), window = root_ / "varnel_config.txt";
  const std::vector<std::string> before = Tree(f);
  const fs::path good = root_ / "good.txt", two_lines = root_ / "two.txt", folder = root_ / "folder.txt",
                 missing = root_ / "missing.txt";
  WriteFile(good, "(u)\n(j)\n\n"), WriteFile(two_lines, "(u)\r\n(j)\r\n");
  const fs::path fifo = root_ / "fifo.txt";
  fs::create_directory(folder);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::vector<std::string> all_lists = {"--zones", "(u)", "--keep", "", "--exclude", "", "--no-translations"};
  struct Case {
    const char* what;
    fs::path variable;               // VARNEL_CONFIG_FILE, when not empty
    std::vector<std::string> extra;  // after "clean FOLDER --apply --yes"
    std::string window_file;         // the window's own file: "<folder>", "<dangling>", or its contents
    fs::path refused;                // the file named in the message; none: the run goes on
    std::string reason;
  };
  const Case cases[] = {
      {"variable: two lines", two_lines, {}, "", two_lines, "it has fewer than three lines"},
      {"variable: a folder", folder, {}, "", folder, "Is a directory"},
      {"variable: a FIFO", fifo, {}, "", fifo, "not a regular file"},  // no wait for a writer
      {"variable: missing", missing, {}, "", missing, "No such file or directory"},
      {"variable: every list given", two_lines, all_lists, "", two_lines, "it has fewer than three lines"},
      {"--config: missing, over a good variable",
       good,
       {"--config", missing.string()},
       "",
       missing,
       "No such file or directory"},
      {"window's file: two lines", {}, all_lists, "(u)\r\n(j)\r\n", window, "it has fewer than three lines"},
      {"window's file: a folder", {}, {}, "<folder>", window, "Is a directory"},
      {"window's file: a dangling link", {}, {}, "<dangling>", window, "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(window);
    if (c.window_file == "<folder>") {
      fs::create_directory(window);
    } else if (c.window_file == "<dangling>") {
      fs::create_symlink("gone.txt", window);
    } else if (!c.window_file.empty()) {
      WriteFile(window, c.window_file);
    }
    std::vector<std::string> args = {"clean", f.string(), "--apply", "--yes"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto [code, out, err] = Run(args, c.variable);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(err, "Problem with config file " + c.refused.string() + ": " + c.reason + "\n");
    EXPECT_EQ(out, "");
    ASSERT_EQ(Tree(f), before);  // nothing deleted, no log written
  }
  fs::remove_all(window);
  const auto [code, out, err] = Run({"clean", f.string()});  // a fresh account: the defaults, silently
  EXPECT_EQ(code, 0);
  EXPECT_EQ(err, "");
}

// The keep list of a file with LF line ends (any Linux editor), named either way, protects its files in a
// real run; --config wins over the variable.
TEST_F(CliTest, AKeepListFromTheFileProtectsItsFiles) {
  WriteFile(root_ / "lf.txt", "(u),(e)\n(j)\n\n"), WriteFile(root_ / "two.txt", "(u)\n(j)\n");
  const std::pair<fs::path, std::vector<std::string>> namings[] = {{root_ / "lf.txt", {}},
                                                                   {root_ / "two.txt", {"--config", "lf.txt"}}};
  for (const auto& [variable, extra] : namings) {
    const fs::path cli = MakeFiles("cli", romset_), direct = MakeFiles("direct", romset_);
    std::vector<std::string> args = {"clean", cli.string(), "--apply", "--yes"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto [code, out, err] = [&] {
      const CurrentFolderScope in_root(root_);  // --config lf.txt is relative to the working folder
      return Run(args, variable);
    }();
    ASSERT_EQ(code, 0) << err;
    const RunResult result = Direct(direct, [](RunSettings& s) {
      s.ZoneText = "(u),(e)", s.KeepText = "(j)", s.ExclusionText = "", s.TestMode = false;
    });
    EXPECT_GT(result.DisposedCount, 0);
    const std::vector<std::string> left = Tree(cli);
    EXPECT_EQ(left, Tree(direct));
    EXPECT_EQ(std::count_if(left.begin(), left.end(), [](const std::string& n) { return n.find("(J)") != n.npos; }),
              159);  // every (J) dump of the romset
    fs::remove_all(cli), fs::remove_all(direct);
  }
}

TEST_F(CliTest, ZipRunsTheArchiverOncePerFile) {
  if (std::system("command -v 7z >/dev/null") != 0) GTEST_SKIP() << "7z (p7zip-full) is not installed";
  const std::string f = MakeFiles("roms", "Game (E).nes\nGame (U) [!].nes\n", "rom").string();
  ExpectRun({{"zip", f}, 0, "", "2 files zipped\n"});
  // Their archives exist now: the archiver is not run again, and that is no failure.
  ExpectRun({{"zip", f, "--archiver", "/bin/false"},
             0,
             "",
             "0 files zipped\n2 files skipped: their archive already exists\n"});
  EXPECT_TRUE(fs::exists(f + "/ZippedRoms/Game (E).zip") && fs::exists(f + "/ZippedRoms/Game (U) [!].zip"));
  fs::remove_all(f + "/ZippedRoms");
  ExpectRun({{"zip", f, "--archiver", "/bin/false"},
             1,
             "",
             "2 files not zipped: Game (E).nes (7z ended with code 1), Game (U) [!].nes (7z ended with code 1)\n"});
  EXPECT_EQ(Tree(f + "/ZippedRoms"), std::vector<std::string>());
}

// A hostile folder as a user would zip it with the installed 7z: names that are wildcards, switches or list
// files to 7z, a link, two files with one archive name, a file that cannot be read, then a second run.
TEST_F(CliTest, ZipMakesOneCompleteArchivePerFileAndKeepsThem) {
  if (std::system("command -v 7z >/dev/null") != 0) GTEST_SKIP() << "7z (p7zip-full) is not installed";
  const fs::path f = MakeFiles("roms", "*\n?\n[\n-x.nes\n@list\nGame (E).nes\nGame (E).smc\n.hidden\n", "data");
  std::string rom(3000, '\0');  // bytes that do not compress, as a ROM's
  std::mt19937 bytes(15);
  for (char& c : rom) c = static_cast<char>(bytes());
  WriteFile(f / "rom.bin", rom);
  fs::create_symlink("rom.bin", f / "link.gb");
  fs::create_symlink("/proc/self/mem", f / "mem.nes");  // unreadable, whoever reads
  fs::create_directories(f / "sub");
  const auto [first_code, first_out, first] = Run({"zip", f.string()});
  const auto [second_code, second_out, second] = Run({"zip", f.string()});
  EXPECT_EQ(first_code, 1);
  EXPECT_EQ(first,
            "8 files zipped\n2 files not zipped: Game (E).smc (another file has the same archive name), mem.nes (7z "
            "ended with code 2)\n");
  EXPECT_EQ(second,
            "0 files zipped\n8 files skipped: their archive already exists\n2 files not zipped: Game (E).smc (another "
            "file has the same archive name), mem.nes (7z ended with code 2)\n");
  EXPECT_EQ(Tree(f / "ZippedRoms"), (std::vector<std::string>{"*.zip", "-x.zip", "?.zip", "@list.zip", "Game (E).zip",
                                                              "[.zip", "link.zip", "rom.zip"}));
  // One small entry each, and the link's data rather than the link (a few bytes).
  for (const char* zip : {"*.zip", "?.zip", "[.zip", "-x.zip", "@list.zip"}) {
    EXPECT_LT(fs::file_size(f / "ZippedRoms" / zip), 200u) << zip;
  }
  EXPECT_GT(fs::file_size(f / "ZippedRoms/link.zip"), 3000u);
}

TEST_F(CliTest, ZipTakesARelativeFolderThat7zWouldReadAsASwitchOrAList) {
  if (std::system("command -v 7z >/dev/null") != 0) GTEST_SKIP() << "7z (p7zip-full) is not installed";
  MakeFiles("-roms", "g.nes\n", "data");
  MakeFiles("@roms", "g.nes\n", "data");
  const CurrentFolderScope in_root(root_);
  const CliRun dash = Run({"zip", "--", "-roms"}), at = Run({"zip", "@roms"});
  EXPECT_EQ(dash, CliRun(0, "", "1 files zipped\n"));
  EXPECT_EQ(at, CliRun(0, "", "1 files zipped\n"));
  EXPECT_TRUE(fs::exists(root_ / "-roms/ZippedRoms/g.zip") && fs::exists(root_ / "@roms/ZippedRoms/g.zip"));
}

// Stopped by a signal while the archiver works on the second file: the archiver and what it started end, the
// file gets no archive, the first keeps its own.
TEST_F(CliTest, ZipStopsOnSignalsWithItsArchiver) {
  const fs::path archiver = root_ / "7z";
  WriteFile(archiver,
            "#!/bin/sh\nfor source; do :; done\ncase \"$source\" in *b.nes)\n"
            "  sleep 300 & echo $! > \"$(dirname \"$0\")/child\"\n"
            "  printf part > \"$2\"\n  echo $$ > \"$(dirname \"$0\")/pid\"\n  wait;;\nesac\n"
            "printf 'zip of %s' \"$source\" > \"$2\"\n");
  fs::permissions(archiver, fs::perms::owner_all);
  const fs::path f = MakeFiles("roms", "a.nes\nb.nes\nc.nes\n", "rom");
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(number);
    fs::remove_all(f / "ZippedRoms");
    fs::remove(root_ / "pid");
    const pid_t cli = ::fork();
    if (cli == 0) {
      std::freopen("/dev/null", "r", stdin);
      std::freopen((root_ / "err").c_str(), "w", stderr);
      ::execl(VARNEL_CLI_PATH, VARNEL_CLI_PATH, "zip", f.c_str(), "--archiver", archiver.c_str(), nullptr);
      ::_exit(127);
    }
    for (int look = 0; look < 3000 && (!fs::exists(root_ / "pid") || fs::file_size(root_ / "pid") == 0); ++look) {
      ::usleep(10000);
    }
    ::kill(cli, number);
    int status = 0;
    ::waitpid(cli, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + number) << status;
    EXPECT_EQ(ReadFile(root_ / "err"), "Stopped: 1 files zipped.\n");
    EXPECT_EQ(Tree(f / "ZippedRoms"), std::vector<std::string>{"a.zip"});
    for (const char* process : {"pid", "child"}) EXPECT_TRUE(ProcessEnded(ProcessIdIn(root_ / process))) << process;
  }
}

TEST_F(CliTest, AlphaSortsIntoLetterFoldersWithoutOverwriting) {
  const fs::path folder = MakeFiles("roms", "Zelda (U).nes\n1942 (J).nes\nmario.nes\nlogfile.txt\n", "1");
  ExpectRun({{"alpha", folder.string()}, 0, "3 files moved.\n", ""});
  MakeFiles("roms", "mario.nes\nwario.nes\n", "2");
  ExpectRun({{"alpha", folder.string()}, 1, "1 files moved.\n1 files not moved: mario.nes (", ""});
  EXPECT_EQ(Tree(folder), (std::vector<std::string>{"AlphaFolders/#/1942 (J).nes", "AlphaFolders/M/mario.nes",
                                                    "AlphaFolders/W/wario.nes", "AlphaFolders/Z/Zelda (U).nes",
                                                    "logfile.txt", "mario.nes"}));
  EXPECT_EQ(ReadFile(folder / "AlphaFolders/M/mario.nes"), "1");  // not overwritten by the second run's
  EXPECT_EQ(ReadFile(folder / "mario.nes"), "2");
}

// A run, its line in the history and its files, its undo; then what cannot be undone or named.
TEST_F(CliTest, HistoryListsTheRunsAndUndoTakesThemBack) {
  const std::string odd = "tab\there \xE9.nes";
  const fs::path folder = MakeFiles("roms\nnew line", "Zelda (U).nes\n-dash.nes\n" + odd + "\n", "rom");
  const std::vector<std::string> before = Tree(folder);
  ExpectRun({{"alpha", folder.string()}, 0, "3 files moved.\n", ""});
  const std::string printed_folder = (root_ / "roms\\nnew line").string();

  auto [code, out, err] = Run({"history"});
  EXPECT_EQ(code, 0) << err;
  const std::regex run_line("([0-9]{8}-[0-9]{6})\t([0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2})\talpha\t" +
                            std::regex_replace(printed_folder, std::regex(R"([\\.^$|()\[\]{}*+?])"), R"(\$&)") +
                            "\t3\t0\n");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(out, match, run_line)) << out;
  const std::string id = match[1];
  EXPECT_EQ(id.substr(0, 8), match[2].str().substr(0, 4) + match[2].str().substr(5, 2) + match[2].str().substr(8, 2));
  ExpectRun({{"history", id},
             0,
             "-dash.nes\tmove\tAlphaFolders/#/-dash.nes\tdone\n"
             "tab\\there \\xE9.nes\tmove\tAlphaFolders/T/tab\\there \\xE9.nes\tdone\n"
             "Zelda (U).nes\tmove\tAlphaFolders/Z/Zelda (U).nes\tdone\n",
             ""});

  // The run is named first; everything comes back and the folders the run made go.
  ExpectRun(
      {{"undo"},
       0,
       "Undoing " + id + ": the alpha run of " + match[2].str() + " in " + printed_folder + "\n3 files came back.\n",
       ""});
  EXPECT_EQ(Tree(folder), before);
  EXPECT_FALSE(fs::exists(folder / "AlphaFolders"));
  ExpectRun({{"undo"}, 1, "", "No run to undo.\n"});
  std::tie(code, out, err) = Run({"history"});
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
  EXPECT_NE(out.find("\tundo\t" + printed_folder + "\t3\t0\n"), std::string::npos) << out;

  // Undone again by its id, the run finds its files in their place: nothing to do, nothing failed.
  ExpectRun({{"undo", id}, 0, "0 files came back.\n", ""});
  // A file in the way: it stays, and the exit code says so.
  ExpectRun({{"alpha", folder.string()}, 0, "3 files moved.\n", ""});
  WriteFile(folder / "-dash.nes", "new");
  ExpectRun({{"undo"}, 1, "2 files came back.\n1 files could not come back: -dash.nes (its place is taken)\n", ""});

  ExpectRun({{"history", "--forget", id}, 0, "", ""});
  ExpectRun({{"history", id}, 1, "", "No run " + id + " in the history.\n"});
  ExpectRun({{"undo", id}, 1, "", "No run " + id + " in the history.\n"});
  for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{{"history", "../x"},
                                                                                     {"undo", "2026-12-06"},
                                                                                     {"history", "--forget", "*"},
                                                                                     {"history", id, "--forget", id}}) {
    EXPECT_EQ(std::get<0>(Run(usage)), 2) << usage.back();
  }
}

// The runs set HOME to the test's folder: a real job there is refused, a test run is not. A folder another
// job holds is refused to every job, a test run too. Nothing is touched in either case, the log included.
TEST_F(CliTest, RefusesTheHomeFolderAndAFolderAnotherJobHolds) {
  WriteFile(root_ / "notes (draft).txt", "draft");
  WriteFile(root_ / "notes (final).txt", "final");
  const std::string home = root_.string(), refused = ": choose the folder that holds your romset.\n";
  ExpectRun({{"clean", home, "--apply", "--yes"}, 1, "", "Varnel will not change files in " + home + refused});
  ExpectRun(
      {{"clean", home + "/.", "--apply", "--move"}, 1, "", "Varnel will not change files in " + home + "/." + refused});
  ExpectRun({{"alpha", home + "/"}, 1, "", "Varnel will not change files in " + home + "/" + refused});
  EXPECT_EQ(ReadFile(root_ / "notes (draft).txt") + ReadFile(root_ / "notes (final).txt"), "draftfinal");
  EXPECT_FALSE(fs::exists(root_ / "moved") || fs::exists(root_ / "AlphaFolders") || fs::exists(root_ / "logfile.txt"));
  ExpectRun({{"clean", home}, 0, "", ""});

  const fs::path romset = MakeFiles("romset", romset_, "rom");
  WriteFile(romset / "logfile.txt", "earlier run");
  const std::vector<std::string> before = Tree(romset);
  FolderLock other_job;
  ASSERT_TRUE(other_job.Acquire(romset.string()).ok());
  const std::string busy = "Another Varnel job is working in " + romset.string() + ".\n";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"clean", romset.string()},
                                               {"clean", romset.string(), "--apply", "--yes"},
                                               {"clean", romset.string(), "--apply", "--move"},
                                               {"alpha", romset.string()},
                                               {"zip", romset.string()}}) {
    ExpectRun({args, 1, "", busy});
  }
  EXPECT_EQ(Tree(romset), before);
  EXPECT_EQ(ReadFile(romset / "logfile.txt"), "earlier run");
}

// --plan prints every file's decision, game after game, and touches nothing, not even the log; names are printed
// escaped, or in JSON with the bytes that are not UTF-8 in hexadecimal.
TEST_F(CliTest, PlanPrintsEveryFileAndTouchesNothing) {
  const fs::path folder = root_ / "romset";
  fs::create_directories(folder);
  for (const char* name : {"Caf\xE9 (E).nes", "Caf\xE9 (J).nes", "Tab\tGame (U).nes", "Zoo (E) (Beta).nes"}) {
    WriteFile(folder / name, "");
  }
  const std::vector<std::string> before = Tree(folder);
  const std::vector<std::string> lists = {"--keep", "(u)", "--exclude", "(beta"};
  const auto run = [&](std::vector<std::string> options) {
    std::vector<std::string> args = {"clean", folder.string()};
    args.insert(args.end(), lists.begin(), lists.end());
    args.insert(args.end(), options.begin(), options.end());
    return Run(args);
  };
  const auto [code, out, err] = run({"--plan"});
  EXPECT_EQ(code, 0) << err;
  EXPECT_EQ(out,
            "Caf\\xE9 (E).nes\tCaf\\xE9.nes\tkept\t\t\n"
            "Caf\\xE9 (J).nes\tCaf\\xE9.nes\tgoing\t2\tCaf\\xE9 (E).nes\n"
            "Tab\\tGame (U).nes\tTab\\tGame.nes\tkept\tK\t\n"
            "Zoo (E) (Beta).nes\tZoo.nes\tgoing\t6\t\n");
  EXPECT_EQ(std::get<1>(run({"--plan=text"})), out);
  const auto [json_code, json, json_err] = run({"--plan=json", "--move"});
  EXPECT_EQ(json_code, 0) << json_err;
  EXPECT_EQ(json,
            R"({"name_hex":"436166E9202845292E6E6573","title_hex":"436166E92E6E6573","decision":"kept","reason":"",)"
            R"("winner":""})"
            "\n"
            R"({"name_hex":"436166E920284A292E6E6573","title_hex":"436166E92E6E6573","decision":"going","reason":"2",)"
            R"("winner_hex":"436166E9202845292E6E6573"})"
            "\n"
            R"({"name":"Tab\tGame (U).nes","title":"Tab\tGame.nes","decision":"kept","reason":"K","winner":""})"
            "\n"
            R"({"name":"Zoo (E) (Beta).nes","title":"Zoo.nes","decision":"going","reason":"6","winner":""})"
            "\n");
  EXPECT_EQ(Tree(folder), before);  // no log, nothing moved

  const Expected refused[] = {
      {{"clean", folder.string(), "--plan", "--apply", "--yes"}, 2, "", "--apply"},
      {{"clean", folder.string(), "--plan", "--print-log"}, 2, "", "--print-log"},
      {{"clean", folder.string(), "--plan=csv"}, 2, "", "--plan"},
      {{"clean", (root_ / "missing").string(), "--plan"}, 1, "", "missing"},
  };
  for (const Expected& c : refused) ExpectRun(c);
  EXPECT_EQ(Tree(folder), before);
  EXPECT_FALSE(fs::exists(root_ / "state"));  // no run recorded

  // Output that cannot be written (a full disk) fails with the reason.
  const std::string full =
      Quote(VARNEL_CLI_PATH) + " clean " + Quote(folder) + " --plan >/dev/full 2>" + Quote(root_ / "err");
  const int status = std::system(full.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  EXPECT_EQ(ReadFile(root_ / "err"),
            "Cannot write the plan to the standard output: " + std::string(std::strerror(ENOSPC)) + "\n");
}

// Output that cannot be written fails every command that prints, with the reason, even when its job was done;
// a listing longer than the stream's buffer fails part way, and says why too.
TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailure) {
  UseTestFolders();
  std::string names;
  for (int i = 0; i < 300; ++i)
    names += "Game " + std::to_string(i) + " (U) [a name long enough to fill a buffer].nes\n";
  const fs::path folder = MakeFiles("roms", names, "rom");
  ASSERT_EQ(std::get<0>(Run({"clean", folder.string()})), 0);
  const std::string full_output = " >/dev/full 2>" + Quote(root_ / "err");
  const auto expect_failure = [&](const std::string& command) {
    const int status = std::system((Quote(VARNEL_CLI_PATH) + " " + command + full_output).c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << command;
    EXPECT_EQ(ReadFile(root_ / "err"),
              "Cannot write to the standard output: " + std::string(std::strerror(ENOSPC)) + "\n")
        << command;
  };
  expect_failure("clean " + Quote(folder));
  expect_failure("alpha " + Quote(folder));
  EXPECT_TRUE(fs::exists(folder / "AlphaFolders/G/Game 7 (U) [a name long enough to fill a buffer].nes"));
  expect_failure("history");
  const std::string id = std::get<1>(Run({"history"})).substr(0, 15);
  expect_failure("history " + id);
}

}  // namespace
}  // namespace varnel
