#include "jobs/alpha/alpha_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <tuple>
#include <utility>

namespace varnel {
namespace {

namespace fs = std::filesystem;
using Progress = std::tuple<double, double, double>;

fs::path Utf8(const std::string& name) { return fs::path(std::u8string(name.begin(), name.end())); }

class Recorder : public AlphaHost {
 public:
  void ShowMessage(const std::string& text, int icon) override { messages.emplace_back(text, icon); }
  void SetProgress(double minimum, double maximum, double value) override {
    progress.emplace_back(minimum, maximum, value);
  }
  std::vector<std::pair<std::string, int>> messages;
  std::vector<Progress> progress;
};

class AlphaJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("varnel_alpha_" + std::to_string(std::random_device()()));
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  static void Write(const fs::path& path, const std::string& contents) { std::ofstream(path) << contents; }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  AlphaResult Run(const fs::path& folder) { return RunAlphaFolders(folder.string(), host_); }

  fs::path root_;
  Recorder host_;
};

TEST_F(AlphaJobTest, MovesEachFileIntoTheFolderOfItsInitial) {
  const std::vector<std::pair<std::string, std::string>> kCases = {// name, its folder ("" = stays)
                                                                   {"1942.nes", "#"},
                                                                   {"[BIOS] x.bin", "#"},
                                                                   {"\xC3\x89"
                                                                    "clair.nes",
                                                                    "#"},
                                                                   {"!Tetris.gba", "#"},
                                                                   {"mario.nes", "M"},
                                                                   {"Mario (E).nes", "M"},
                                                                   {"zelda.nes", "Z"},
                                                                   {"LOGFILE.TXT", "L"},
                                                                   {"LogFile.txt", "L"},
                                                                   {"logfile.txt", ""},
                                                                   {"noextension", "N"}};
  for (const auto& [name, folder] : kCases) Write(root_ / Utf8(name), name);

  const AlphaResult result = Run(root_);

  EXPECT_TRUE(result.all_moved());
  EXPECT_EQ(host_.messages, (decltype(host_.messages){{"10 files moved.", kIconInformation}}));
  for (const auto& [name, folder] : kCases) {
    const fs::path expected = folder.empty() ? root_ : root_ / "AlphaFolders" / folder;
    EXPECT_EQ(Read(expected / Utf8(name)), name) << name;
    EXPECT_EQ(folder.empty(), fs::exists(root_ / Utf8(name))) << name;
  }
  std::set<std::string> folders;  // exactly "#" and "A" to "Z": no lower-case "z" beside "Z"
  for (const auto& entry : fs::directory_iterator(root_ / "AlphaFolders")) folders.insert(entry.path().filename().string());
  EXPECT_EQ(folders.size(), 27u);
  EXPECT_TRUE(folders.count("#") && folders.count("A") && folders.count("Z"));
  ASSERT_EQ(host_.progress.size(), kCases.size() + 1);  // the bar ends at N of N + 2
  for (std::size_t i = 0; i <= kCases.size(); ++i) EXPECT_EQ(host_.progress[i], Progress(0, 13, i));
}

TEST_F(AlphaJobTest, SecondRunOverSameNamesOverwritesNothingAndSaysWhatStayed) {
  const std::vector<std::string> kNames = {"a.gba", "b.gba", "c.gba", "d.gba", "e.gba", "f.gba", "g.gba"};
  for (const auto& name : kNames) Write(root_ / name, "first");
  ASSERT_EQ(Run(root_).moved_count, 7);
  for (const auto& name : kNames) Write(root_ / name, "second");
  Write(root_ / "h.gba", "new");

  const AlphaResult result = Run(root_);

  EXPECT_EQ(result.moved_count, 1);
  ASSERT_EQ(result.failures.size(), 7u);
  const std::string reason = " (" + result.failures[0].reason + ")";
  EXPECT_EQ(host_.messages.back().first, "1 files moved.\n7 files not moved: a.gba" + reason + ", b.gba" + reason +
                                             ", c.gba" + reason + ", d.gba" + reason + ", e.gba" + reason + ", ...");
  for (const auto& name : kNames) {
    EXPECT_EQ(Read(root_ / "AlphaFolders" / std::string(1, name[0] - 'a' + 'A') / name), "first");
    EXPECT_EQ(Read(root_ / name), "second");
  }
  EXPECT_EQ(AlphaEndMessage(0, {{"x", "y"}}), "0 files moved.\n1 files not moved: x (y)");
}

TEST_F(AlphaJobTest, FolderWithoutOrdinaryFilesIsEmptyAndGetsNoFolders) {
  fs::create_directories(root_ / "only_folders" / "sub");
  Write(root_ / "only_folders" / "sub" / "inside.nes", "");
  fs::create_directories(root_ / "only_hidden");
  Write(root_ / "only_hidden" / ".hidden.nes", "");
  for (const char* folder : {"only_folders", "only_hidden"}) {
    host_ = {};
    EXPECT_EQ(Run(root_ / folder).outcome, AlphaResult::Outcome::kEmptyFolder) << folder;
    EXPECT_EQ(host_.messages, (decltype(host_.messages){{"Empty directory", kIconExclamation}}));
    EXPECT_TRUE(host_.progress.empty());
    EXPECT_FALSE(fs::exists(root_ / folder / "AlphaFolders"));
  }
  EXPECT_EQ(Run(root_ / "absent").outcome, AlphaResult::Outcome::kListingFailed);
  EXPECT_EQ(host_.messages.back().second, kIconStop);
}

TEST_F(AlphaJobTest, NeededFolderThatIsAFileStopsBeforeAnyMove) {
  const std::vector<std::pair<std::string, std::string>> kCases = {// file in the way, folder it sits in
                                                                   {"AlphaFolders", ""},
                                                                   {"AlphaFolders/#", "AlphaFolders"},
                                                                   {"AlphaFolders/Q", "AlphaFolders"}};
  for (std::size_t i = 0; i < kCases.size(); ++i) {
    const auto& [taken, parent] = kCases[i];
    const fs::path folder = root_ / std::to_string(i);
    fs::create_directories(folder / parent);
    Write(folder / taken, "");
    Write(folder / "mario.nes", "");
    const AlphaResult result = Run(folder);
    EXPECT_EQ(result.outcome, AlphaResult::Outcome::kFoldersFailed);
    const std::string in = parent.empty() ? folder.string() : (folder / parent).string();
    EXPECT_EQ(host_.messages.back(), std::make_pair("\"" + fs::path(taken).filename().string() +
                                                        "\" exists as a file in " + in + "; nothing was moved.",
                                                    kIconStop));
    EXPECT_TRUE(fs::exists(folder / "mario.nes"));
    EXPECT_FALSE(fs::exists(folder / "AlphaFolders" / "M"));
  }
}

}  // namespace
}  // namespace varnel
