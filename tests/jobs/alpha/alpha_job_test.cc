#include "jobs/alpha/alpha_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <utility>

#include "platform/folder_lock.h"
#include "tests/support/files.h"
#include "tests/support/recording_hosts.h"
#include "tests/support/scoped_home.h"
#include "tests/support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace varnel {
namespace {

namespace fs = std::filesystem;

#if defined(_WIN32) || defined(__APPLE__)
constexpr const char* kUpperCaseLog = "Logbook.txt";  // names that differ by case alone cannot share a folder
#else
constexpr const char* kUpperCaseLog = "LOGFILE.TXT";
#endif

class AlphaJobTest : public ::testing::Test {
 protected:
  AlphaResult Run(const fs::path& folder) { return RunAlphaFolders(folder.string(), host_); }

  const TempFolder temp_;
  const fs::path root_ = temp_.path();
  RecordingAlphaHost host_;
  std::vector<ShownMessage>& messages_ = host_.messages;
  std::vector<ProgressStep>& progress_ = host_.progress;
};

TEST_F(AlphaJobTest, MovesEachFileIntoTheFolderOfItsInitial) {
  // Each name with the folder it ends in; "" when it stays. "\303\211clair" is "Éclair" in UTF-8.
  const std::vector<std::pair<std::string, std::string>> kCases = {
      {"1942.nes", "#"},      {"[BIOS] x.bin", "#"}, {"\303\211clair.nes", "#"}, {"mario.nes", "M"},
      {"Mario (E).nes", "M"}, {"zelda.nes", "Z"},    {kUpperCaseLog, "L"},       {"logfile.txt", ""}};
  for (const auto& [name, folder] : kCases) WriteFile(root_ / Utf8Path(name), name);

  EXPECT_TRUE(Run(root_).all_moved());
  EXPECT_EQ(messages_, (std::vector<ShownMessage>{{"7 files moved.", MessageIcon::kInformation}}));
  for (const auto& [name, folder] : kCases) {
    EXPECT_EQ(ReadFile((folder.empty() ? root_ : root_ / "AlphaFolders" / folder) / Utf8Path(name)), name) << name;
    EXPECT_EQ(folder.empty(), fs::exists(root_ / Utf8Path(name))) << name;
  }
  const auto folders = std::distance(fs::directory_iterator(root_ / "AlphaFolders"), fs::directory_iterator());
  EXPECT_EQ(folders, 27);                          // "#" and "A" to "Z", no lower-case "z" beside "Z"
  ASSERT_EQ(progress_.size(), kCases.size() + 2);  // N of N + 2 after the last file, then full
  for (std::size_t i = 0; i <= kCases.size(); ++i) EXPECT_EQ(progress_[i], (ProgressStep{0.0, 10.0, i * 1.0}));
  EXPECT_EQ(progress_.back(), (ProgressStep{0.0, 10.0, 10.0}));
}

TEST_F(AlphaJobTest, SecondRunOverSameNamesOverwritesNothingAndSaysWhatStayed) {
  const std::vector<std::string> kNames = {"a.gba", "b.gba", "c.gba", "d.gba", "e.gba", "f.gba"};
  for (const auto& name : kNames) WriteFile(root_ / name, "first");
  ASSERT_EQ(Run(root_).moved_count, 6);
  for (const auto& name : kNames) WriteFile(root_ / name, "second");
  WriteFile(root_ / "h.gba", "new");

  const AlphaResult result = Run(root_);
  ASSERT_EQ(result.failures.size(), 6u);
  const std::string why = " (" + result.failures[0].reason + ")";
  EXPECT_EQ(messages_.back().text, "1 files moved.\n6 files not moved: a.gba" + why + ", b.gba" + why + ", c.gba" +
                                       why + ", d.gba" + why + ", e.gba" + why + ", ...");
  for (const auto& name : kNames) {
    EXPECT_EQ(ReadFile(root_ / "AlphaFolders" / std::string(1, name[0] - 'a' + 'A') / name) + ReadFile(root_ / name),
              "firstsecond");
  }
  EXPECT_EQ(AlphaEndMessage(0, {{"x", "y"}}), "0 files moved.\n1 files not moved: x (y)");
}

TEST_F(AlphaJobTest, FolderWithoutOrdinaryFilesIsEmptyAndGetsNoFolders) {
  fs::create_directories(root_ / "sub");
  WriteFile(root_ / "sub" / "inside.nes");
  WriteFile(root_ / ".hidden.nes");
#ifdef _WIN32
  SetFileAttributesW((root_ / ".hidden.nes").c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
  EXPECT_EQ(Run(root_).outcome, AlphaResult::Outcome::kEmptyFolder);
  EXPECT_EQ(messages_, (std::vector<ShownMessage>{{"Empty directory", MessageIcon::kExclamation}}));
  EXPECT_TRUE(progress_.empty());
  EXPECT_FALSE(fs::exists(root_ / "AlphaFolders"));
  EXPECT_EQ(Run(root_ / "absent").outcome, AlphaResult::Outcome::kListingFailed);
}

TEST_F(AlphaJobTest, NeededFolderThatIsAFileStopsBeforeAnyMove) {
  for (const std::string taken : {"AlphaFolders", "#", "Q"}) {  // "#" and "Q" inside "AlphaFolders"
    const fs::path folder = root_ / (taken == "#" ? "hash" : taken);
    const fs::path in = taken == "AlphaFolders" ? folder : folder / "AlphaFolders";
    fs::create_directories(in);
    WriteFile(in / taken);
    WriteFile(folder / "mario.nes");
    EXPECT_EQ(Run(folder).outcome, AlphaResult::Outcome::kFoldersFailed);
    EXPECT_EQ(messages_.back(),
              ShownMessage("\"" + taken + "\" exists as a file in " + in.string() + "; nothing was moved.",
                           MessageIcon::kStop));
    EXPECT_TRUE(fs::exists(folder / "mario.nes"));
    EXPECT_FALSE(fs::exists(folder / "AlphaFolders" / "M"));
  }
}

#ifndef _WIN32
// A link at the name of "AlphaFolders" or of a letter folder is never followed: the files would land
// wherever it points.
TEST_F(AlphaJobTest, NeededFolderThatIsALinkStopsBeforeAnyMove) {
  const fs::path elsewhere = root_ / "elsewhere";
  fs::create_directories(elsewhere);
  for (const std::string taken : {"AlphaFolders", "M"}) {
    const fs::path folder = root_ / ("link-" + taken);
    const fs::path in = taken == "AlphaFolders" ? folder : folder / "AlphaFolders";
    fs::create_directories(in);
    fs::create_directory_symlink(elsewhere, in / taken);
    WriteFile(folder / "mario.nes");
    EXPECT_EQ(Run(folder).outcome, AlphaResult::Outcome::kFoldersFailed);
    EXPECT_EQ(messages_.back(),
              ShownMessage("\"" + taken + "\" in " + in.string() + " is a symbolic link; nothing was moved.",
                           MessageIcon::kStop));
    EXPECT_TRUE(fs::exists(folder / "mario.nes"));
    EXPECT_TRUE(fs::is_empty(elsewhere));
  }
}
#endif

// The home folder, however the path names it, is refused; a folder another job holds is left alone; in
// both cases nothing is created or moved.
TEST_F(AlphaJobTest, RefusesTheHomeFolderAndAFolderAnotherJobHolds) {
  WriteFile(root_ / "notes.txt", "notes");
  const fs::path home_path = root_ / "home";
  fs::create_directories(home_path);
  WriteFile(home_path / "letter.txt", "letter");
  {
    const ScopedHome scoped_home(home_path.string());
    for (const std::string& alias : {home_path.string(), (home_path / "").string(), (home_path / ".").string()}) {
      EXPECT_EQ(RunAlphaFolders(alias, host_).outcome, AlphaResult::Outcome::kRefused);
      EXPECT_EQ(messages_.back(),
                ShownMessage("Varnel will not change files in " + alias + ": choose the folder that holds your romset.",
                             MessageIcon::kExclamation));
    }
  }
  FolderLock other_job;
  ASSERT_TRUE(other_job.Acquire(root_.string()).ok());
  EXPECT_EQ(Run(root_).outcome, AlphaResult::Outcome::kLocked);
  EXPECT_EQ(messages_.back(),
            ShownMessage("Another Varnel job is working in " + root_.string() + ".", MessageIcon::kExclamation));
  EXPECT_TRUE(progress_.empty());
  EXPECT_FALSE(fs::exists(root_ / "AlphaFolders") || fs::exists(home_path / "AlphaFolders"));
  EXPECT_EQ(ReadFile(root_ / "notes.txt") + ReadFile(home_path / "letter.txt"), "notesletter");
  other_job.Release();
  EXPECT_TRUE(Run(root_).all_moved());
}

TEST_F(AlphaJobTest, ClearsLeftoverTemporariesFromTheLetterFolders) {
  WriteFile(root_ / "mario.nes", "m");
  ASSERT_TRUE(Run(root_).all_moved());
  const fs::path m = root_ / "AlphaFolders" / "M";
  WriteFile(m / ".varnel-99-0.tmp", "half a copy");
  WriteFile(m / ".varnel-99-0.tmp.nes", "not a temporary");
  WriteFile(root_ / "metroid.nes", "m");
  ASSERT_TRUE(Run(root_).all_moved());
  EXPECT_FALSE(fs::exists(m / ".varnel-99-0.tmp"));
  EXPECT_TRUE(fs::exists(m / ".varnel-99-0.tmp.nes") && fs::exists(m / "mario.nes") && fs::exists(m / "metroid.nes"));
}

}  // namespace
}  // namespace varnel
