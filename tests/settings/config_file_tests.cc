#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "gtest/gtest.h"
#include "platform/replace_file.h"
#include "settings/config_file.h"
#include "settings/list_box_text.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

TEST(SplitConfigLinesTest, FollowsTheReadingRules) {
  const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
      {"empty file", "", {}},
      {"CR LF", "a\r\nb\r\nc\r\n", {"a", "b", "c"}},
      {"CR alone", "a\rb\rc\r", {"a", "b", "c"}},
      {"LF alone", "a\nb\nc\n", {"a", "b", "c"}},
      {"ends mixed", "a\nb\rc\r\nd\n", {"a", "b", "c", "d"}},
      {"last line without end", "a\r\nb\r\nc", {"a", "b", "c"}},
      {"LF then CR LF: an empty line between", "zone\n\r\nkept\r\n", {"zone", "", "kept"}},
      {"LF then CR: two line ends", "a\n\rb\n", {"a", "", "b"}},
      {"CR then CR LF", "a\r\r\nb\r\n", {"a", "", "b"}},
      {"three lines and an empty fourth", "a\r\n\r\nc\r\n\r\n", {"a", "", "c", ""}},
      {"three empty lines", "\r\n\r\n\r\n", {"", "", ""}},
      {"lines after the fourth ignored", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n", {"a", "b", "c", "d"}},
      {"UTF-8 bytes unchanged", "(\xc3\xa9)\r\n\xe2\x82\xac\r\n", {"(\xc3\xa9)", "\xe2\x82\xac"}},
  };
  for (const auto& [what, contents, lines] : cases) EXPECT_EQ(SplitConfigLines(contents), lines) << what;
}

// The one reader of the window and varnel-cli: the values of a usable file, else the reason and the defaults.
TEST(LoadConfigValuesTest, ValuesOrTheReasonAndTheDefaults) {
  TempFolder folder;
  const std::string path = folder / "varnel_config.txt";
  const ConfigValues defaults = DefaultConfigValues();
  struct Case {
    const char* what;
    std::string contents;  // "<folder>" or "<fifo>" puts one where the file should be; "<none>": no file
    ConfigValues values;
    std::string reason;  // empty: read fine
    std::size_t lines;   // that ReadConfigLines gives
  };
  const Case cases[] = {
      {"LF line ends", "(u),(e)\n(j)\n[b1]\n", {"(u),(e)", "(j)", "[b1]", "", false}, "", 3},
      {"four lines", "(u)\r\n\r\nx\r\nfre\r\n", {"(u)", "", "x", "fre", true}, "", 4},
      {"empty fourth line", "(u)\n\nx\n\n", {"(u)", "", "x", "", true}, "", 4},
      {"two lines", "(u)\r\n(j)\r\n", defaults, kShortConfigFile, 2},
      {"two lines, the second without end", "(u)\r\n(j)", defaults, kShortConfigFile, 2},
      {"empty file", "", defaults, kShortConfigFile, 0},
      {"no file", "<none>", defaults, std::strerror(ENOENT), 0},
#ifndef _WIN32
      {"a folder in its place", "<folder>", defaults, std::strerror(EISDIR), 0},
      {"a FIFO, never waited on", "<fifo>", defaults, kNotARegularFile, 0},
#endif
  };
  for (const Case& c : cases) {
    fs::remove_all(path);
    if (c.contents == "<folder>") {
      fs::create_directory(path);
#ifndef _WIN32
    } else if (c.contents == "<fifo>") {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
#endif
    } else if (c.contents != "<none>") {
      WriteFile(path, c.contents);
    }
    ConfigValues values = {"stale", "stale", "stale", "stale", true};
    const Status status = LoadConfigValues(path, &values);
    EXPECT_EQ(status.message(), c.reason) << c.what;
    EXPECT_EQ(
        std::tie(values.zones, values.kept, values.excluded, values.translations, values.keep_translations),
        std::tie(c.values.zones, c.values.kept, c.values.excluded, c.values.translations, c.values.keep_translations))
        << c.what;
    std::vector<std::string> lines;
    EXPECT_EQ(ReadConfigLines(path, &lines).message(), c.reason) << c.what;
    EXPECT_EQ(lines.size(), c.lines) << c.what;
  }
}

TEST(LineBreaksAsCommasTest, EachBreakStandsForOneComma) {
  const std::pair<std::string, std::string> cases[] = {
      {"castlevania\nlegend of zelda\n", "castlevania,legend of zelda"},
      {"castlevania\r\nlegend of zelda\r\n", "castlevania,legend of zelda"},
      {"a\rb", "a,b"},
      {"\na\n", "a"},
      {"a,\nb", "a,b"},
      {"a\n,b", "a,b"},
      {"a\n\n\r\nb", "a,b"},  // a blank line adds no empty item, which would match every name
      {"a\n \nb", "a, ,b"},   // blanks stay, as the list rule wants
      {"a,,b", "a,,b"},       // commas typed stay as they are
      {"", ""},
  };
  for (const auto& [typed, list] : cases) EXPECT_EQ(LineBreaksAsCommas(typed), list) << typed;
}

// Each case writes over the longer file of the one before: the whole file is replaced.
TEST(WriteConfigFileTest, WritesThreeOrFourLinesAndReadsThemBack) {
  const std::tuple<const char*, ConfigValues, std::string> cases[] = {
      {"translations wanted", {"(f),(e)", "", "(beta", "fre,dut,eng", true}, "(f),(e)\r\n\r\n(beta\r\nfre,dut,eng\r\n"},
      {"translations wanted but empty", {"(f)", "k", "x", "", true}, "(f)\r\nk\r\nx\r\n"},
      {"translations not wanted", {"(f)", "k", "x", "fre", false}, "(f)\r\nk\r\nx\r\n"},
      {"all boxes empty", {"", "", "", "", false}, "\r\n\r\n\r\n"},
      {"line breaks removed",
       {"(f),\r\n(e)", "a\nb\rc", "x\r", "fre\n,eng", true},
       "(f),(e)\r\nabc\r\nx\r\nfre,eng\r\n"},
  };
  TempFolder folder;
  const std::string path = folder / "varnel_config.txt";
  for (const auto& [what, values, file] : cases) {
    ASSERT_TRUE(WriteConfigFile(path, values).ok()) << what;
    EXPECT_EQ(ReadFile(path), file) << what;
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadConfigLines(path, &lines).ok()) << what;
    EXPECT_EQ(lines, SplitConfigLines(file)) << what;
  }
}

// The names in `folder`, sorted.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WriteConfigFileTest, RefusesWhatIsNotARegularFile) {
  TempFolder folder;
  const std::string path = folder / "varnel_config.txt";
  fs::create_directory(path);
  const Status status = WriteConfigFile(path, {"a", "b", "c", "", false});
  EXPECT_EQ(status.message(), kNotARegularFile);
  EXPECT_TRUE(fs::is_directory(path) && fs::is_empty(path));
  EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"varnel_config.txt"});  // no temporary left
}

#ifndef _WIN32
// A FIFO would block the save for ever, and a link to a folder is a folder.
TEST(WriteConfigFileTest, RefusesAFifoAndALinkToAFolder) {
  TempFolder folder;
  const std::string fifo = folder / "fifo.txt", link = folder / "link.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(folder / "sub");
  fs::create_directory_symlink("sub", link);
  for (const std::string& path : {fifo, link})
    EXPECT_EQ(WriteConfigFile(path, {"a", "b", "c", "", false}).message(), kNotARegularFile);
  EXPECT_TRUE(fs::is_fifo(fifo) && fs::is_symlink(link) && fs::is_empty(folder / "sub"));
}

// The configuration file may be a link (to a dotfiles repository, say): the link stays, its final target
// gets the new text, and a dangling link's target is created.
TEST(WriteConfigFileTest, KeepsSymbolicLinksAndWritesTheirFinalTarget) {
  TempFolder folder;
  fs::create_directories(folder / "dotfiles/varnel");
  WriteFile(folder / "dotfiles/varnel/config.txt", "old\r\nold\r\nold\r\n");
  fs::create_symlink("varnel/config.txt", folder / "dotfiles/current");           // relative, in another folder
  fs::create_symlink(folder / "dotfiles/current", folder / "varnel_config.txt");  // absolute
  fs::create_symlink("new.txt", folder / "dangling.txt");
  ASSERT_TRUE(WriteConfigFile(folder / "varnel_config.txt", {"(u)", "", "x", "", false}).ok());
  ASSERT_TRUE(WriteConfigFile(folder / "dangling.txt", {"(e)", "", "y", "", false}).ok());
  EXPECT_TRUE(fs::is_symlink(folder / "varnel_config.txt") && fs::is_symlink(folder / "dotfiles/current"));
  EXPECT_EQ(ReadFile(folder / "dotfiles/varnel/config.txt"), "(u)\r\n\r\nx\r\n");
  EXPECT_TRUE(fs::is_symlink(folder / "dangling.txt"));
  EXPECT_EQ(ReadFile(folder / "new.txt"), "(e)\r\n\r\ny\r\n");
  EXPECT_EQ(Names(folder / "dotfiles/varnel"), std::vector<std::string>{"config.txt"});
  const std::vector<std::string> loop = {folder / "loop1", folder / "loop2"};
  fs::create_symlink(loop[1], loop[0]), fs::create_symlink(loop[0], loop[1]);
  EXPECT_EQ(WriteConfigFile(loop[0], {"a", "b", "c", "", false}).code(), ELOOP);
}

TEST(WriteConfigFileTest, KeepsThePermissionsOfTheFileItReplaces) {
  TempFolder folder;
  const std::string path = folder / "varnel_config.txt";
  const mode_t old_umask = ::umask(022);
  for (const fs::perms mode : {fs::perms(0600), fs::perms(0664), fs::perms(0444)}) {
    WriteFile(path, "old");
    fs::permissions(path, mode);
    ASSERT_TRUE(WriteConfigFile(path, {"a", "b", "c", "", false}).ok());
    EXPECT_EQ(fs::status(path).permissions(), mode);
  }
  fs::remove(path);
  ASSERT_TRUE(WriteConfigFile(path, {"a", "b", "c", "", false}).ok());  // a new file: the umask's choice
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
  ::umask(old_umask);
}

// Runs `job` in a child process and returns its exit code (-1 when it did not exit).
int InChild(const std::function<int()>& job) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(job());
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A full disk, provoked by a file size limit: the old file stays byte for byte and the failure says why.
TEST(WriteConfigFileTest, AFailedSaveLeavesTheOldFileAsItWas) {
  TempFolder folder;
  const std::string path = folder / "varnel_config.txt";
  const std::string old = "(u)\r\n(j)\r\n" + std::string(3000, 'x') + "\r\nfre\r\n";
  WriteFile(path, old);
  const int code = InChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const Status status = WriteConfigFile(path, {"(e)", std::string(5000, 'k'), "y", "", false});
    return status.ok() ? 0 : status.code() == EFBIG ? 10 : 20;
  });
  EXPECT_EQ(code, 10);
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"varnel_config.txt"});  // the temporary removed
}

// A save killed at any moment leaves the old file or the new one, never a part of either.
TEST(WriteConfigFileTest, AKilledSaveLeavesTheOldOrTheNewFile) {
  TempFolder folder;
  const std::string path = folder / "varnel_config.txt";
  const ConfigValues first = {"(u)", std::string(1 << 20, 'a'), "x", "", false};
  const ConfigValues second = {"(e)", std::string(1 << 20, 'b'), "y", "fre", true};
  ASSERT_TRUE(WriteConfigFile(path, first).ok());
  const std::string first_file = ReadFile(path);
  ASSERT_TRUE(WriteConfigFile(path, second).ok());
  const std::string second_file = ReadFile(path);
  for (int moment = 0; moment < 24; ++moment) {
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(started[0]);
      (void)!::write(started[1], "s", 1);
      // The child writes until it is killed; what the parent checks is the file the kill leaves.
      for (int i = 0;; ++i) WriteConfigFile(path, i % 2 == 0 ? first : second).IgnoreError();
    }
    ::close(started[1]);
    char byte;
    ASSERT_EQ(::read(started[0], &byte, 1), 1);
    ::close(started[0]);
    ::usleep(static_cast<useconds_t>(moment * 700));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = ReadFile(path);
    EXPECT_TRUE(now == first_file || now == second_file) << "killed after " << moment << ": " << now.size() << " bytes";
  }
}
#endif

#ifndef _WIN32
TEST(ConfigFilePathTest, UsesTheConfigurationFolder) {
  const char* old_xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old_xdg != nullptr ? old_xdg : "";  // restored at the end
  setenv("XDG_CONFIG_HOME", "/tmp/varnel-xdg", 1);
  EXPECT_EQ(ConfigFilePath(), "/tmp/varnel-xdg/varnel_config.txt");
  setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(ConfigFilePath(), std::string(std::getenv("HOME")) + "/.config/varnel_config.txt");
  old_xdg != nullptr ? setenv("XDG_CONFIG_HOME", saved.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}
#endif

}  // namespace
}  // namespace varnel
