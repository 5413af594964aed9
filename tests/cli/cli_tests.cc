// The built varnel-cli, run on real folders of empty files and compared with direct runs of the engine.
//
// The romset names come from tests/data/cli_goodnes_excerpt.txt: lines 1-40, 6717-6960 and 20148-20221 of
// goodnes.txt from the project's romname lists (GoodNES 3.23b names, CC0, from SnowflakePowered/opengood).

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/cleaning_run.h"
#include "gtest/gtest.h"
#include "settings/config_file.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& contents) { std::ofstream(path, std::ios::binary) << contents; }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Every file below `folder`, as sorted relative paths.
std::vector<std::string> Tree(const fs::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), folder).generic_string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Answers the delete question Yes and shows nothing, as a user clicking through the window would.
class YesHost : public CleaningHost {
 public:
  bool Confirm(const std::string&) override { return true; }
  void ShowMessage(const std::string&, int) override {}
  void SetProgress(double, double, double) override {}
  void SetResultText(const std::string&) override {}
  void OpenLog(const std::string&) override {}
};

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    std::random_device random;
    root_ = fs::temp_directory_path() / ("varnel-cli-" + std::to_string(random()));
    fs::create_directories(root_ / "home");
    fs::create_directories(root_ / "config");
  }
  ~CliTest() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // A folder of empty files named from the excerpt, plus two dumps that differ only by extension.
  fs::path MakeRomset(const std::string& name) {
    const fs::path folder = root_ / name;
    fs::create_directories(folder);
    std::istringstream names(ReadFile(VARNEL_CLI_NAMES));
    for (std::string line; std::getline(names, line);) {
      if (!line.empty()) WriteFile(folder / line, "");
    }
    WriteFile(folder / "Zzz Same Game (U) [!].nes", "");
    WriteFile(folder / "Zzz Same Game (U) [!].unf", "");
    return folder;
  }

  // Runs varnel-cli with stdin from /dev/null and HOME and XDG_CONFIG_HOME in the test's folder, so that the
  // user's own configuration file is never read. `config_file` sets the test-only path when not empty.
  CliRun Run(const std::vector<std::string>& args, const std::string& config_file = "") {
    std::string command = "env -u VARNEL_CONFIG_FILE HOME=" + ShellQuote((root_ / "home").string()) +
                          " XDG_CONFIG_HOME=" + ShellQuote((root_ / "config").string());
    if (!config_file.empty()) command += " VARNEL_CONFIG_FILE=" + ShellQuote(config_file);
    command += " " + ShellQuote(VARNEL_CLI_PATH);
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    command += " </dev/null >" + ShellQuote((root_ / "out").string()) + " 2>" + ShellQuote((root_ / "err").string());
    const int status = std::system(command.c_str());
    CliRun run;
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(root_ / "out");
    run.err = ReadFile(root_ / "err");
    return run;
  }

  // The settings the cleaning window starts with, before any edit.
  static RunSettings WindowSettings(const fs::path& folder) {
    RunSettings settings;
    settings.RomFolder = folder.string();
    settings.ZoneText = kDefaultZoneText;
    settings.KeepText = kDefaultKeepText;
    settings.ExclusionText = kDefaultExclusionText;
    return settings;
  }

  fs::path root_;
};

struct OptionCase {
  OptionCase(std::string label, std::vector<std::string> args, std::function<void(RunSettings&)> edit,
             std::string config = "", bool config_at_window_path = false, bool changes_run = true)
      : label(std::move(label)),
        args(std::move(args)),
        edit(std::move(edit)),
        config(std::move(config)),
        config_at_window_path(config_at_window_path),
        changes_run(changes_run) {}

  std::string label;
  std::vector<std::string> args;
  std::function<void(RunSettings&)> edit;  // what the same edit in the window does
  std::string config;                      // configuration file contents; none when empty
  bool config_at_window_path;              // the window's own path rather than the test-only one
  bool changes_run;                        // the log differs from an unedited run's
};

TEST_F(CliTest, EachOptionRunsAsItsBoxWould) {
  const std::string four_lines = "(u),(e)\r\n(j)\r\n[b1]\r\nfre\r\n";
  const auto from_file = [](RunSettings& s) {
    s.ZoneText = "(u),(e)";
    s.KeepText = "(j)";
    s.ExclusionText = "[b1]";
    s.KeepTranslations = true;
    s.TranslationText = "fre";
  };
  const std::vector<OptionCase> cases = {
      {"no option", {}, [](RunSettings&) {}, "", false, false},
      {"--zones", {"--zones", "(U)"}, [](RunSettings& s) { s.ZoneText = "(U)"; }},
      {"empty --zones", {"--zones", ""}, [](RunSettings& s) { s.ZoneText = ""; }},
      {"--keep", {"--keep", "(j)"}, [](RunSettings& s) { s.KeepText = "(j)"; }},
      {"empty --exclude", {"--exclude", ""}, [](RunSettings& s) { s.ExclusionText = ""; }},
      {"--exclude=", {"--exclude=[b1],-in-1"}, [](RunSettings& s) { s.ExclusionText = "[b1],-in-1"; }},
      {"--translations",
       {"--translations", "fre,eng"},
       [](RunSettings& s) {
         s.KeepTranslations = true;
         s.TranslationText = "fre,eng";
       }},
      {"--mode all-selected",
       {"--mode", "all-selected"},
       [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllSelectedZones; }},
      {"--mode 1", {"--mode", "1"}, [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllSelectedZones; }},
      {"--mode 2", {"--mode", "2"}, [](RunSettings&) {}, "", false, false},
      {"--mode first-selected",
       {"--mode", "first-selected"},
       [](RunSettings& s) { s.ZoneMode = ZoneMode::kFirstSelectedZone; }},
      {"--mode 3", {"--mode", "3"}, [](RunSettings& s) { s.ZoneMode = ZoneMode::kFirstSelectedZone; }},
      {"--mode all-zones", {"--mode", "all-zones"}, [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllZones; }},
      {"--mode 4", {"--mode", "4"}, [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllZones; }},
      {"--multi-ext", {"--multi-ext"}, [](RunSettings& s) { s.IgnoreExtensions = true; }},
      {"--move", {"--move"}, [](RunSettings& s) { s.MoveFiles = true; }},
      {"four-line file", {}, from_file, four_lines},
      {"four-line file, --no-translations",
       {"--no-translations"},
       [&](RunSettings& s) {
         from_file(s);
         s.KeepTranslations = false;
       },
       four_lines},
      {"four-line file, --zones",
       {"--zones", "(j)"},
       [&](RunSettings& s) {
         from_file(s);
         s.ZoneText = "(j)";
       },
       four_lines},
      {"three lines at the window's path",
       {},
       [](RunSettings& s) {
         s.ZoneText = "(u)";
         s.KeepText = "";
         s.ExclusionText = "[b1]";
       },
       "(u)\r\n\r\n[b1]\r\n",
       true},
      {"empty fourth line",
       {},
       [](RunSettings& s) {
         s.ZoneText = "(u)";
         s.ExclusionText = "";
         s.KeepTranslations = true;
       },
       "(u)\r\n\r\n\r\n\r\n"},
      {"two-line file", {}, [](RunSettings&) {}, "(u)\r\n(j)\r\n", false, false},
      {"LF line ends", {}, [](RunSettings&) {}, "(u)\n(j)\n[b1]\n", false, false},
  };

  const fs::path plain = MakeRomset("plain");
  ASSERT_EQ(Run({"clean", plain.string()}).code, 0);
  const std::string unedited_log = ReadFile(plain / "logfile.txt");

  for (const OptionCase& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path cli_folder = MakeRomset("cli");
    const fs::path direct_folder = MakeRomset("direct");
    const fs::path window_path = root_ / "config" / "varnel_config.txt";
    const fs::path test_path = root_ / "custom_config.txt";
    fs::remove(window_path);
    if (!c.config.empty()) WriteFile(c.config_at_window_path ? window_path : test_path, c.config);

    std::vector<std::string> args = {"clean", cli_folder.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = Run(args, c.config.empty() || c.config_at_window_path ? "" : test_path.string());
    ASSERT_EQ(run.code, 0) << run.err;

    RunSettings settings = WindowSettings(direct_folder);
    c.edit(settings);
    YesHost host;
    const RunResult direct = RunCleaning(settings, host);
    ASSERT_EQ(direct.outcome, RunResult::Outcome::kCompleted);

    const std::string log = ReadFile(cli_folder / "logfile.txt");
    EXPECT_EQ(log, ReadFile(direct_folder / "logfile.txt"));
    EXPECT_EQ(run.out, direct.summary + "\n");
    EXPECT_EQ(log != unedited_log, c.changes_run);
    EXPECT_EQ(Tree(cli_folder), Tree(direct_folder));
    fs::remove_all(cli_folder);
    fs::remove_all(direct_folder);
  }
}

TEST_F(CliTest, RefusesTheDeleteQuestionWithoutTerminal) {
  const fs::path folder = MakeRomset("romset");
  const std::vector<std::string> before = Tree(folder);
  const CliRun run = Run({"clean", folder.string(), "--apply"});
  EXPECT_EQ(run.code, 2);
  EXPECT_EQ(run.err, "You will delete files. Continue ? (no terminal to answer: add --yes)\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Tree(folder), before);  // nothing deleted, no log written
}

TEST_F(CliTest, YesDeletesAsTheWindowDoes) {
  const fs::path cli_folder = MakeRomset("cli");
  const fs::path direct_folder = MakeRomset("direct");
  const std::size_t before = Tree(cli_folder).size();
  const CliRun run = Run({"clean", cli_folder.string(), "--apply", "--yes"});
  ASSERT_EQ(run.code, 0) << run.err;

  RunSettings settings = WindowSettings(direct_folder);
  settings.TestMode = false;
  YesHost host;
  const RunResult direct = RunCleaning(settings, host);
  EXPECT_EQ(run.out, direct.summary + "\n");
  EXPECT_EQ(run.out.rfind("Deleted files : ", 0), 0u) << run.out;
  EXPECT_EQ(ReadFile(cli_folder / "logfile.txt"), ReadFile(direct_folder / "logfile.txt"));
  const std::vector<std::string> after = Tree(cli_folder);
  EXPECT_EQ(after, Tree(direct_folder));
  EXPECT_EQ(after.size(), before + 1 - static_cast<std::size_t>(direct.DisposedCount));  // + the log
}

TEST_F(CliTest, ApplyMoveKeepsOrMovesEveryFile) {
  const fs::path folder = MakeRomset("romset");
  const std::vector<std::string> before = Tree(folder);
  const CliRun run = Run({"clean", folder.string(), "--apply", "--move", "--translations", "fre,eng"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out.rfind("Moved files : ", 0), 0u) << run.out;

  // The names the log says were disposed of, as written there (lower case).
  std::vector<std::string> disposed;
  std::istringstream log(ReadFile(folder / "logfile.txt"));
  for (std::string line; std::getline(log, line);) {
    if (const std::size_t tab = line.find('\t'); tab != std::string::npos) disposed.push_back(line.substr(0, tab));
  }
  ASSERT_FALSE(disposed.empty());

  std::vector<std::string> kept;
  std::vector<std::string> moved;
  for (const std::string& path : Tree(folder)) {
    if (path == "logfile.txt") continue;
    if (path.rfind("moved/", 0) == 0) {
      moved.push_back(path.substr(6));
    } else {
      kept.push_back(path);
    }
  }
  std::vector<std::string> all = kept;
  all.insert(all.end(), moved.begin(), moved.end());
  std::sort(all.begin(), all.end());
  for (std::string& name : moved) name = Lower(name);
  std::sort(moved.begin(), moved.end());
  std::sort(disposed.begin(), disposed.end());
  EXPECT_EQ(moved, disposed);  // every disposed file is in "moved"
  // None lost: what is kept and what was moved are the files there were (a moved name may be lower-cased).
  std::vector<std::string> before_lower;
  for (const std::string& name : before) before_lower.push_back(Lower(name));
  for (std::string& name : all) name = Lower(name);
  std::sort(before_lower.begin(), before_lower.end());
  std::sort(all.begin(), all.end());
  EXPECT_EQ(all, before_lower);
  for (const std::string& name : kept) EXPECT_TRUE(std::find(before.begin(), before.end(), name) != before.end());
}

TEST_F(CliTest, PrintLogWritesTheWholeLog) {
  const fs::path folder = MakeRomset("romset");
  const CliRun run = Run({"clean", folder.string(), "--print-log"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, ReadFile(folder / "logfile.txt"));
  EXPECT_NE(run.out.find("Theoretically deleted files : "), std::string::npos);
}

TEST_F(CliTest, ExitCodes) {
  const fs::path folder = MakeRomset("romset");
  fs::create_directories(root_ / "empty" / "sub");
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out_has;
    std::string err_has;
  };
  const std::string f = folder.string();
  const std::vector<Case> cases = {
      {{}, 2, "", "clean"},
      {{"frobnicate"}, 2, "", "frobnicate"},
      {{"clean"}, 2, "", "FOLDER"},
      {{"clean", f, "--bogus"}, 2, "", "--bogus"},
      {{"clean", f, "--mode", "5"}, 2, "", "--mode"},
      {{"clean", f, "--mode", "all"}, 2, "", "--mode"},
      {{"clean", f, "--keep"}, 2, "", "--keep"},
      {{"clean", f, "--translations", "fre", "--no-translations"}, 2, "", "--no-translations"},
      {{"clean", (root_ / "missing").string()}, 1, "", "missing"},
      {{"clean", (root_ / "empty").string()}, 1, "", "Empty directory\n"},
      {{"--help"}, 0, "clean", ""},
      {{"clean", "--help"}, 0, "--no-translations", ""},
      {{"--version"}, 0, "varnel-cli " VARNEL_VERSION "\n", ""},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& arg : c.args) label += arg + " ";
    SCOPED_TRACE(label);
    const CliRun run = Run(c.args);
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_NE(run.out.find(c.out_has), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.err_has), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(folder / "logfile.txt"));
}

}  // namespace
}  // namespace varnel
