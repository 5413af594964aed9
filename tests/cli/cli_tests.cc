// The built varnel-cli, run on real folders of empty files and compared with direct runs of the engine.
//
// The romset names come from tests/data/cli_goodnes_excerpt.txt: lines 1-40, 6717-6960 and 20148-20221 of
// goodnes.txt from the project's romname lists (GoodNES 3.23b names, CC0, from SnowflakePowered/opengood).

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/cleaning_run.h"
#include "gtest/gtest.h"
#include "settings/config_file.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using Edit = std::function<void(RunSettings&)>;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Every file below `folder`, as sorted relative paths.
std::vector<std::string> Tree(const fs::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), folder).generic_string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Answers the delete question Yes and shows nothing.
class YesHost : public CleaningHost {
 public:
  bool Confirm(const std::string&) override { return true; }
  void ShowMessage(const std::string&, int) override {}
  void SetProgress(double, double, double) override {}
  void SetResultText(const std::string&) override {}
  void OpenLog(const std::string&) override {}
};

struct CliRun {
  int code;
  std::string out, err;
};

class CliTest : public ::testing::Test {
 protected:
  CliTest() : root_(fs::temp_directory_path() / ("varnel-cli-" + std::to_string(std::random_device()()))) {
    fs::create_directories(root_ / "config");
  }
  ~CliTest() override { fs::remove_all(root_); }

  // A folder of empty files named from the excerpt, plus two dumps that differ only by extension.
  fs::path MakeRomset(const std::string& name) {
    const fs::path folder = root_ / name;
    fs::create_directories(folder);
    std::istringstream names(ReadFile(VARNEL_CLI_NAMES) + "Zzz Game (U) [!].nes\nZzz Game (U) [!].unf\n");
    for (std::string line; std::getline(names, line);) WriteFile(folder / line, "");
    return folder;
  }

  // Runs varnel-cli with stdin from /dev/null, and HOME and XDG_CONFIG_HOME in the test's folder so that the
  // user's own configuration file is never read. `config_file` sets the test-only path when not empty.
  CliRun Run(const std::vector<std::string>& args, const fs::path& config_file = {}) {
    const auto quote = [](const std::string& text) {
      std::string quoted = "'";
      for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
      return quoted + "'";
    };
    std::string command = "env -u VARNEL_CONFIG_FILE HOME=" + quote(root_.string()) +
                          " XDG_CONFIG_HOME=" + quote((root_ / "config").string());
    if (!config_file.empty()) command += " VARNEL_CONFIG_FILE=" + quote(config_file.string());
    command += " " + quote(VARNEL_CLI_PATH);
    for (const std::string& arg : args) command += " " + quote(arg);
    command += " </dev/null >" + quote((root_ / "out").string()) + " 2>" + quote((root_ / "err").string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(root_ / "out"), ReadFile(root_ / "err")};
  }

  // RunCleaning over `folder` with the cleaning window's initial settings, changed by `edit`.
  static RunResult Direct(const fs::path& folder, const Edit& edit) {
    RunSettings settings;
    settings.RomFolder = folder.string();
    settings.ZoneText = kDefaultZoneText;
    settings.ExclusionText = kDefaultExclusionText;
    if (edit) edit(settings);
    YesHost host;
    return RunCleaning(settings, host);
  }

  const fs::path root_;
};

TEST_F(CliTest, EachOptionRunsAsItsBoxWould) {
  const std::string file = "(u),(e)\r\n(j)\r\n[b1]\r\nfre\r\n";
  const Edit from_file = [](RunSettings& s) {
    s.ZoneText = "(u),(e)", s.KeepText = "(j)", s.ExclusionText = "[b1]";
    s.KeepTranslations = true, s.TranslationText = "fre";
  };
  struct Case {
    std::vector<std::string> args;
    std::string config;  // written to the test-only path, or with "window:" before it to the window's path
    Edit edit;           // the same change made in the window; none when the run must not change
  };
  const std::vector<Case> cases = {
      {{}, "", nullptr},
      {{"--zones", "(U)"}, "", [](RunSettings& s) { s.ZoneText = "(U)"; }},
      {{"--zones", ""}, "", [](RunSettings& s) { s.ZoneText = ""; }},
      {{"--keep", "(j)"}, "", [](RunSettings& s) { s.KeepText = "(j)"; }},
      {{"--exclude="}, "", [](RunSettings& s) { s.ExclusionText = ""; }},
      {{"--exclude", "-in-1,[b1]"}, "", [](RunSettings& s) { s.ExclusionText = "-in-1,[b1]"; }},
      {{"--translations", "fre,eng"},
       "",
       [](RunSettings& s) { s.KeepTranslations = true, s.TranslationText = "fre,eng"; }},
      {{"--mode", "all-selected"}, "", [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllSelectedZones; }},
      {{"--mode", "1"}, "", [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllSelectedZones; }},
      {{"--mode", "first-selected"}, "", [](RunSettings& s) { s.ZoneMode = ZoneMode::kFirstSelectedZone; }},
      {{"--mode", "3"}, "", [](RunSettings& s) { s.ZoneMode = ZoneMode::kFirstSelectedZone; }},
      {{"--mode", "all-zones"}, "", [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllZones; }},
      {{"--mode", "4"}, "", [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllZones; }},
      {{"--multi-ext"}, "", [](RunSettings& s) { s.IgnoreExtensions = true; }},
      {{"--move"}, "", [](RunSettings& s) { s.MoveFiles = true; }},
      {{"--apply", "--yes"}, "", [](RunSettings& s) { s.TestMode = false; }},
      {{"--apply", "--move", "--translations", "fre"},
       "",
       [](RunSettings& s) {
         s.TestMode = false, s.MoveFiles = true, s.KeepTranslations = true, s.TranslationText = "fre";
       }},
      {{}, file, from_file},
      {{"--zones", "(j)"}, file, [&](RunSettings& s) { from_file(s), s.ZoneText = "(j)"; }},
      {{"--no-translations"}, file, [&](RunSettings& s) { from_file(s), s.KeepTranslations = false; }},
      {{}, "window:(u)\r\n\r\n[b1]\r\n", [](RunSettings& s) { s.ZoneText = "(u)", s.ExclusionText = "[b1]"; }},
      {{}, "(u)\r\n(j)\r\n", nullptr},  // two lines: the defaults
  };
  const fs::path unedited = MakeRomset("unedited");
  const std::size_t file_count = Tree(unedited).size();
  ASSERT_EQ(Run({"clean", unedited.string()}).code, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args) + " " + ::testing::PrintToString(c.config));
    const fs::path cli = root_ / "cli", direct = root_ / "direct", window = root_ / "config/varnel_config.txt";
    if (!fs::exists(cli)) MakeRomset("cli"), MakeRomset("direct");  // test runs leave them as they were
    const bool at_window = c.config.rfind("window:", 0) == 0;
    fs::remove(window);
    if (!c.config.empty()) WriteFile(at_window ? window : root_ / "test.txt", c.config.substr(at_window ? 7 : 0));
    std::vector<std::string> args = {"clean", cli.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = Run(args, c.config.empty() || at_window ? fs::path() : root_ / "test.txt");
    ASSERT_EQ(run.code, 0) << run.err;
    const RunResult result = Direct(direct, c.edit);
    const std::string log = ReadFile(cli / "logfile.txt");
    EXPECT_EQ(log, ReadFile(direct / "logfile.txt"));
    EXPECT_EQ(run.out, result.summary + "\n");
    EXPECT_EQ(log != ReadFile(unedited / "logfile.txt"), static_cast<bool>(c.edit));
    EXPECT_EQ(Tree(cli), Tree(direct));  // kept in place, or moved into "moved", as the window does
    const bool deleted = result.summary.rfind("Deleted", 0) == 0;
    EXPECT_EQ(Tree(cli).size(), file_count + 1 - (deleted ? result.DisposedCount : 0));  // none lost, + the log
    if (result.summary.rfind("Theoretically", 0) != 0) fs::remove_all(cli), fs::remove_all(direct);
  }
}

TEST_F(CliTest, ExitCodesAndMessages) {
  const std::string f = MakeRomset("romset").string();
  const std::vector<std::string> before = Tree(f);
  fs::create_directories(root_ / "empty/sub");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string out_has, err_has;
  } cases[] = {
      {{}, 2, "", "subcommand"},
      {{"clean"}, 2, "", "FOLDER"},
      {{"clean", f, "--mode", "5"}, 2, "", "--mode"},
      {{"clean", f, "--keep"}, 2, "", "--keep"},
      {{"clean", f, "--translations", "fre", "--no-translations"}, 2, "", "--no-translations"},
      {{"clean", f, "--apply"}, 2, "", "You will delete files. Continue ? (no terminal to answer: add --yes)\n"},
      {{"clean", (root_ / "missing").string()}, 1, "", "missing"},
      {{"clean", (root_ / "empty").string()}, 1, "", "Empty directory\n"},
      {{"clean", "--help"}, 0, "--no-translations", ""},
      {{"--version"}, 0, "varnel-cli " VARNEL_VERSION "\n", ""},
      {{"clean", f, "--print-log"}, 0, "\t --> ", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const CliRun run = Run(c.args);
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_NE(run.out.find(c.out_has), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.err_has), std::string::npos) << run.err;
  }
  std::vector<std::string> after = Tree(f);
  std::erase(after, "logfile.txt");
  EXPECT_EQ(after, before);  // nothing deleted by any of these
}

TEST_F(CliTest, ZipRunsTheArchiverOncePerFile) {
  if (std::system("command -v 7z >/dev/null") != 0) GTEST_SKIP() << "7z (p7zip-full) is not installed";
  const fs::path folder = root_ / "roms";
  fs::create_directories(folder);
  WriteFile(folder / "Game (E).nes", "rom"), WriteFile(folder / "Game (U) [!].nes", "rom");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string err_has;
  } cases[] = {
      {{"zip", folder.string()}, 0, "2 files zipped\n"},
      {{"zip", folder.string(), "--archiver", "/bin/false"}, 1, "2 files not zipped: Game (E).nes, Game (U) [!].nes"},
      {{"zip", (root_ / "missing").string()}, 1, "Cannot read"},
  };
  for (const auto& c : cases) {
    const CliRun run = Run(c.args);
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_NE(run.err.find(c.err_has), std::string::npos) << run.err;
  }
  EXPECT_TRUE(fs::exists(folder / "ZippedRoms/Game (E).zip") && fs::exists(folder / "ZippedRoms/Game (U) [!].zip"));
}

TEST_F(CliTest, AlphaSortsIntoLetterFoldersWithoutOverwriting) {
  const fs::path folder = root_ / "roms", empty = root_ / "empty";
  fs::create_directories(empty / "only-a-subfolder");
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> files;  // written into `folder` before the run, holding the run's number
    int code;
    std::string out, err_has;
  } cases[] = {
      {{"alpha", folder.string()},
       {"Zelda (U).nes", "1942 (J).nes", "mario.nes", "logfile.txt"},
       0,
       "3 files moved.\n",
       ""},
      {{"alpha", folder.string()}, {"mario.nes", "wario.nes"}, 1, "1 files moved.\n1 files not moved: mario.nes (", ""},
      {{"alpha", empty.string()}, {}, 1, "", "Empty directory\n"},
      {{"alpha", (root_ / "missing").string()}, {}, 1, "", "Cannot read"},
      {{"alpha"}, {}, 2, "", "FOLDER"},
  };
  fs::create_directories(folder);
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args) + ::testing::PrintToString(c.files));
    ++number;
    for (const std::string& name : c.files) WriteFile(folder / name, std::to_string(number));
    const CliRun run = Run(c.args);
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    EXPECT_NE(run.err.find(c.err_has), std::string::npos) << run.err;
  }
  EXPECT_EQ(Tree(folder), (std::vector<std::string>{"AlphaFolders/#/1942 (J).nes", "AlphaFolders/M/mario.nes",
                                                    "AlphaFolders/W/wario.nes", "AlphaFolders/Z/Zelda (U).nes",
                                                    "logfile.txt", "mario.nes"}));
  EXPECT_EQ(ReadFile(folder / "AlphaFolders/M/mario.nes"), "1");  // not overwritten by the second run's
  EXPECT_EQ(ReadFile(folder / "mario.nes"), "2");
  EXPECT_FALSE(fs::exists(empty / "AlphaFolders"));
}

}  // namespace
}  // namespace varnel
