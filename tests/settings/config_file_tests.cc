#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "gtest/gtest.h"
#include "settings/config_file.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
  fs::path path = fs::temp_directory_path() / ("varnel-settings-" + std::to_string(std::random_device()()));
  TempFolder() { fs::create_directories(path); }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SplitConfigLinesTest, FollowsTheReadingRules) {
  const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
      {"empty file", "", {}},
      {"one line without end", "(f),(e)", {"(f),(e)"}},
      {"CR LF", "a\r\nb\r\nc\r\n", {"a", "b", "c"}},
      {"CR alone", "a\rb\rc\r", {"a", "b", "c"}},
      {"last line without end", "a\r\nb\r\nc", {"a", "b", "c"}},
      {"lone LF stays in the text", "a\nb\nc\n", {"a\nb\nc\n"}},
      {"lone LF inside a CR LF file", "zone\n\r\nkept\r\n", {"zone\n", "kept"}},
      {"three lines and an empty fourth", "a\r\n\r\nc\r\n\r\n", {"a", "", "c", ""}},
      {"CR then CR LF", "a\r\r\nb\r\n", {"a", "", "b"}},
      {"three empty lines", "\r\n\r\n\r\n", {"", "", ""}},
      {"lines after the fourth ignored", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n", {"a", "b", "c", "d"}},
      {"UTF-8 bytes unchanged", "(\xc3\xa9)\r\n\xe2\x82\xac\r\n", {"(\xc3\xa9)", "\xe2\x82\xac"}},
  };
  for (const auto& [what, contents, lines] : cases) EXPECT_EQ(SplitConfigLines(contents), lines) << what;
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
      {"UTF-8 unchanged", {"(\xc3\xa9)", "", "", "", false}, "(\xc3\xa9)\r\n\r\n\r\n"},
  };
  TempFolder folder;
  const std::string path = folder.File("varnel_config.txt");
  for (const auto& [what, values, file] : cases) {
    ASSERT_TRUE(WriteConfigFile(path, values).ok()) << what;
    EXPECT_EQ(Contents(path), file) << what;
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadConfigLines(path, &lines).ok()) << what;
    EXPECT_EQ(lines, SplitConfigLines(file)) << what;
  }
}

TEST(ConfigFileTest, AMissingFileOrFolderFailsWithTheSystemReason) {
  TempFolder folder;
  std::vector<std::string> lines = {"stale"};
  EXPECT_FALSE(ReadConfigLines(folder.File("varnel_config.txt"), &lines).ok());
  EXPECT_TRUE(lines.empty());
  const Status status = WriteConfigFile(folder.File("missing/varnel_config.txt"), {"a", "b", "c", "", false});
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.message().empty());
}

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
