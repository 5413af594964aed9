#include "jobs/alpha/alpha_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <tuple>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace varnel {
namespace {

namespace fs = std::filesystem;
using Message = std::pair<std::string, int>;

fs::path Utf8(const std::string& name) { return fs::path(std::u8string(name.begin(), name.end())); }
void Write(const fs::path& path, const std::string& contents = "") { std::ofstream(path) << contents; }
std::string Read(const fs::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#if defined(_WIN32) || defined(__APPLE__)
constexpr const char* kUpperCaseLog = "Logbook.txt";  // names that differ by case alone cannot share a folder
#else
constexpr const char* kUpperCaseLog = "LOGFILE.TXT";
#endif

class AlphaJobTest : public ::testing::Test, public AlphaHost {
 protected:
  AlphaJobTest() : root_(fs::temp_directory_path() / ("varnel_alpha_" + std::to_string(std::random_device()()))) {
    fs::create_directories(root_);
  }
  ~AlphaJobTest() override { fs::remove_all(root_); }
  void ShowMessage(const std::string& text, int icon) override { messages_.emplace_back(text, icon); }
  void SetProgress(double minimum, double maximum, double value) override {
    progress_.emplace_back(minimum, maximum, value);
  }
  AlphaResult Run(const fs::path& folder) { return RunAlphaFolders(folder.string(), *this); }

  const fs::path root_;
  std::vector<Message> messages_;
  std::vector<std::tuple<double, double, double>> progress_;
};

TEST_F(AlphaJobTest, MovesEachFileIntoTheFolderOfItsInitial) {
  // Each name with the folder it ends in; "" when it stays. "\303\211clair" is "Éclair" in UTF-8.
  const std::vector<std::pair<std::string, std::string>> kCases = {
      {"1942.nes", "#"},      {"[BIOS] x.bin", "#"}, {"\303\211clair.nes", "#"}, {"mario.nes", "M"},
      {"Mario (E).nes", "M"}, {"zelda.nes", "Z"},    {kUpperCaseLog, "L"},       {"logfile.txt", ""}};
  for (const auto& [name, folder] : kCases) Write(root_ / Utf8(name), name);

  EXPECT_TRUE(Run(root_).all_moved());
  EXPECT_EQ(messages_, (std::vector<Message>{{"7 files moved.", kIconInformation}}));
  for (const auto& [name, folder] : kCases) {
    EXPECT_EQ(Read((folder.empty() ? root_ : root_ / "AlphaFolders" / folder) / Utf8(name)), name) << name;
    EXPECT_EQ(folder.empty(), fs::exists(root_ / Utf8(name))) << name;
  }
  const auto folders = std::distance(fs::directory_iterator(root_ / "AlphaFolders"), fs::directory_iterator());
  EXPECT_EQ(folders, 27);                          // "#" and "A" to "Z", no lower-case "z" beside "Z"
  ASSERT_EQ(progress_.size(), kCases.size() + 1);  // the bar ends at N of N + 2
  for (std::size_t i = 0; i <= kCases.size(); ++i) EXPECT_EQ(progress_[i], std::make_tuple(0.0, 10.0, i * 1.0));
}

TEST_F(AlphaJobTest, SecondRunOverSameNamesOverwritesNothingAndSaysWhatStayed) {
  const std::vector<std::string> kNames = {"a.gba", "b.gba", "c.gba", "d.gba", "e.gba", "f.gba"};
  for (const auto& name : kNames) Write(root_ / name, "first");
  ASSERT_EQ(Run(root_).moved_count, 6);
  for (const auto& name : kNames) Write(root_ / name, "second");
  Write(root_ / "h.gba", "new");

  const AlphaResult result = Run(root_);
  ASSERT_EQ(result.failures.size(), 6u);
  const std::string why = " (" + result.failures[0].reason + ")";
  EXPECT_EQ(messages_.back().first, "1 files moved.\n6 files not moved: a.gba" + why + ", b.gba" + why + ", c.gba" +
                                        why + ", d.gba" + why + ", e.gba" + why + ", ...");
  for (const auto& name : kNames) {
    EXPECT_EQ(Read(root_ / "AlphaFolders" / std::string(1, name[0] - 'a' + 'A') / name) + Read(root_ / name),
              "firstsecond");
  }
  EXPECT_EQ(AlphaEndMessage(0, {{"x", "y"}}), "0 files moved.\n1 files not moved: x (y)");
}

TEST_F(AlphaJobTest, FolderWithoutOrdinaryFilesIsEmptyAndGetsNoFolders) {
  fs::create_directories(root_ / "sub");
  Write(root_ / "sub" / "inside.nes");
  Write(root_ / ".hidden.nes");
#ifdef _WIN32
  SetFileAttributesW((root_ / ".hidden.nes").c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
  EXPECT_EQ(Run(root_).outcome, AlphaResult::Outcome::kEmptyFolder);
  EXPECT_EQ(messages_, (std::vector<Message>{{"Empty directory", kIconExclamation}}));
  EXPECT_TRUE(progress_.empty());
  EXPECT_FALSE(fs::exists(root_ / "AlphaFolders"));
  EXPECT_EQ(Run(root_ / "absent").outcome, AlphaResult::Outcome::kListingFailed);
}

TEST_F(AlphaJobTest, NeededFolderThatIsAFileStopsBeforeAnyMove) {
  for (const std::string taken : {"AlphaFolders", "#", "Q"}) {  // "#" and "Q" inside "AlphaFolders"
    const fs::path folder = root_ / (taken == "#" ? "hash" : taken);
    const fs::path in = taken == "AlphaFolders" ? folder : folder / "AlphaFolders";
    fs::create_directories(in);
    Write(in / taken);
    Write(folder / "mario.nes");
    EXPECT_EQ(Run(folder).outcome, AlphaResult::Outcome::kFoldersFailed);
    EXPECT_EQ(messages_.back(),
              Message("\"" + taken + "\" exists as a file in " + in.string() + "; nothing was moved.", kIconStop));
    EXPECT_TRUE(fs::exists(folder / "mario.nes"));
    EXPECT_FALSE(fs::exists(folder / "AlphaFolders" / "M"));
  }
}

}  // namespace
}  // namespace varnel
