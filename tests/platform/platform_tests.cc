#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/folder_handle.h"
#include "platform/listing.h"
#include "platform/lower_case.h"
#include "platform/program_folder.h"
#include "platform/text_file.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// A fresh folder under `parent`, removed with everything in it at the end of the test.
class TempFolder {
 public:
  explicit TempFolder(const fs::path& parent = fs::temp_directory_path()) {
    std::random_device random;
    path_ = parent / ("varnel-platform-" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string path() const { return path_.string(); }
  std::string Touch(const std::string& name, const std::string& contents = "") const {
    std::ofstream(path_ / name, std::ios::binary) << contents;
    return (path_ / name).string();
  }

 private:
  fs::path path_;
};

std::string Contents(const std::string& path) {
  std::string text;
  EXPECT_TRUE(ReadWholeFile(path, &text).ok()) << path;
  return text;
}

TEST(ListedNameLessTest, SortsAsAnNtfsFolderLists) {
  // Each name must list before the next one.
  const std::vector<std::string> expected = {
      "!go.nes",
      "1942.nes",
      "a b.nes",   // blank (0x20) before "(" (0x28)
      "a(e).nes",  // "(" before "." (0x2E)
      "A.nes",
      "a.nes",      // equal but for case: raw bytes, upper case first
      "a.nes.bak",  // a shorter prefix first
      "Abc (E).nes",
      "abc (U).nes",
      "abc [!].nes",  // "[" (0x5B) after the letters folded to upper case ("U" is 0x55)
      "ABC_x.nes",    // "_" (0x5F) after "[" and after the upper-case letters
      "b.nes",
      "zz.nes",
      "\xc3\x89"
      "clair.nes",  // bytes above 0x7F come after every ASCII letter
  };
  for (std::size_t i = 0; i + 1 < expected.size(); ++i) {
    EXPECT_TRUE(ListedNameLess(expected[i], expected[i + 1])) << expected[i] << " < " << expected[i + 1];
    EXPECT_FALSE(ListedNameLess(expected[i + 1], expected[i])) << expected[i + 1] << " !< " << expected[i];
  }
  EXPECT_FALSE(ListedNameLess("same", "same"));
}

TEST(ListOrdinaryFilesTest, ListsSortedRegularFilesOnly) {
  TempFolder folder;
  for (const char* name : {"zelda.nes", "Mario (U).nes", "mario (E).nes", "logfile.txt", "noext"}) {
    folder.Touch(name);
  }
  fs::create_directory(fs::path(folder.path()) / "moved");
#ifdef _WIN32
  // Windows hides by attribute, not by a leading dot.
  const std::string hidden = folder.Touch("hidden by attribute.nes");
  const std::string system = folder.Touch("system by attribute.nes");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM);
  const std::vector<std::string> expected = {"logfile.txt", "mario (E).nes", "Mario (U).nes", "noext", "zelda.nes"};
#else
  folder.Touch(".hidden");
  fs::create_symlink(fs::path(folder.path()) / "zelda.nes", fs::path(folder.path()) / "link to zelda");
  fs::create_symlink(fs::path(folder.path()) / "missing", fs::path(folder.path()) / "dangling");
  const std::vector<std::string> expected = {"link to zelda", "logfile.txt", "mario (E).nes",
                                             "Mario (U).nes", "noext",       "zelda.nes"};
#endif

  Status status = Status::Error("not set");
  const std::vector<std::string> names = ListOrdinaryFiles(folder.path(), &status);
  EXPECT_TRUE(status.ok());
  EXPECT_EQ(names, expected);
}

TEST(ListOrdinaryFilesTest, EmptyAndMissingFolders) {
  TempFolder folder;
  fs::create_directory(fs::path(folder.path()) / "sub");
  Status status;
  EXPECT_TRUE(ListOrdinaryFiles(folder.path(), &status).empty());
  EXPECT_TRUE(status.ok());

  EXPECT_TRUE(ListOrdinaryFiles(folder.path() + "/nowhere", &status).empty());
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.message().empty());
}

TEST(LowerCaseTest, AsciiAndLatin1CapitalsOnly) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"Some Game (E) [!].ZIP", "some game (e) [!].zip"},
      {"\xc3\x80\xc3\x89\xc3\x9e", "\xc3\xa0\xc3\xa9\xc3\xbe"},  // À É Þ
      {"\xc3\x97", "\xc3\x97"},                                  // × has no small letter
      {"\xc3\x9f\xc3\xa9", "\xc3\x9f\xc3\xa9"},                  // ß and é stay
      {"\xc5\x81", "\xc5\x81"},                                  // Ł is outside Latin-1: unchanged
      {"\xc4\x80", "\xc4\x80"},                                  // Ā is outside Latin-1: unchanged
      {"[T+Fre1.02_Team]", "[t+fre1.02_team]"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LowerCase(c.in), c.out) << c.in;
}

TEST(FileOpsTest, JoinPathConcatenates) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(JoinPath("roms", "a.nes"), "roms" + sep + "a.nes");
  EXPECT_EQ(JoinPath(sep, "moved"), sep + sep + "moved");  // a root keeps its own separator
}

TEST(FileOpsTest, PresenceFoldersAndDelete) {
  TempFolder folder;
  const std::string file = folder.Touch("game.nes");
  const std::string sub = JoinPath(folder.path(), "moved");
  EXPECT_TRUE(PathExists(file));
  EXPECT_FALSE(IsFolder(file));
  EXPECT_FALSE(PathExists(sub));

  EXPECT_TRUE(MakeFolder(sub).ok());
  EXPECT_TRUE(IsFolder(sub));
  const Status again = MakeFolder(sub);
  EXPECT_FALSE(again.ok());
  EXPECT_FALSE(again.message().empty());
  EXPECT_FALSE(MakeFolder(file).ok());  // a file of that name counts as present

  EXPECT_TRUE(RemoveFile(file).ok());
  EXPECT_FALSE(PathExists(file));
  const Status missing = RemoveFile(file);
  EXPECT_FALSE(missing.ok());
#ifdef _WIN32
  EXPECT_EQ(missing.code(), ERROR_FILE_NOT_FOUND);
#else
  EXPECT_EQ(missing.code(), ENOENT);
#endif
}

TEST(MoveWithoutReplaceTest, MovesAndNeverOverwrites) {
  TempFolder folder;
  const std::string source = folder.Touch("Game (E).nes", "source");
  const std::string target = JoinPath(folder.path(), "Game (E) moved.nes");
  ASSERT_TRUE(MoveWithoutReplace(source, target).ok());
  EXPECT_FALSE(PathExists(source));
  EXPECT_EQ(Contents(target), "source");

  const std::string other = folder.Touch("other.nes", "other");
  const Status refused = MoveWithoutReplace(other, target);
  EXPECT_FALSE(refused.ok());
#ifdef _WIN32
  EXPECT_EQ(refused.code(), ERROR_ALREADY_EXISTS);
#else
  EXPECT_EQ(refused.code(), EEXIST);
#endif
  EXPECT_EQ(Contents(other), "other");
  EXPECT_EQ(Contents(target), "source");

  const Status gone = MoveWithoutReplace(JoinPath(folder.path(), "nothing"), JoinPath(folder.path(), "x"));
  EXPECT_FALSE(gone.ok());
  EXPECT_FALSE(PathExists(JoinPath(folder.path(), "x")));
}

#ifndef _WIN32
TEST(MoveWithoutReplaceTest, AcrossDevicesCopiesThenRemoves) {
  struct stat shm_info, tmp_info;
  if (stat("/dev/shm", &shm_info) != 0 || stat(fs::temp_directory_path().c_str(), &tmp_info) != 0 ||
      shm_info.st_dev == tmp_info.st_dev || access("/dev/shm", W_OK) != 0) {
    GTEST_SKIP() << "no second writable device";
  }
  TempFolder here;
  TempFolder there("/dev/shm");
  const std::string source = here.Touch("game.nes", std::string(200000, 'x'));
  chmod(source.c_str(), 0640);
  const std::string target = JoinPath(there.path(), "game.nes");
  ASSERT_TRUE(MoveWithoutReplace(source, target).ok());
  EXPECT_FALSE(PathExists(source));
  EXPECT_EQ(Contents(target), std::string(200000, 'x'));
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  const std::string second = here.Touch("game.nes", "second");
  EXPECT_FALSE(MoveWithoutReplace(second, target).ok());
  EXPECT_EQ(Contents(second), "second");
  EXPECT_EQ(Contents(target).size(), 200000u);
}
#endif

// Each case runs with the folders held open and, as where they cannot be opened, known only by their paths.
class FolderHandleTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    const std::string roms = JoinPath(folder_.path(), "roms");
    const std::string moved = JoinPath(roms, "moved");
    // Opened before its folder exists, a handle goes by path, as where a folder cannot be held open.
    if (!GetParam()) Open(roms, moved);
    ASSERT_TRUE(MakeFolder(roms).ok());
    ASSERT_TRUE(MakeFolder(moved).ok());
    if (GetParam()) Open(roms, moved);
  }
  void Open(const std::string& roms, const std::string& moved) {
    folder_handle_.Open(roms);
    moved_handle_.Open(moved);
  }
  std::string InFolder(const std::string& name) const { return JoinPath(folder_handle_.path(), name); }
  std::string InMoved(const std::string& name) const { return JoinPath(moved_handle_.path(), name); }

  TempFolder folder_;
  FolderHandle folder_handle_;
  FolderHandle moved_handle_;
};

TEST_P(FolderHandleTest, RemovesByName) {
  ASSERT_EQ(folder_handle_.is_held(), GetParam());
  std::ofstream(InFolder("Game (E).nes")) << "x";
  EXPECT_TRUE(folder_handle_.RemoveFile("Game (E).nes").ok());
  EXPECT_FALSE(PathExists(InFolder("Game (E).nes")));
  const Status missing = folder_handle_.RemoveFile("Game (E).nes");
  const Status by_path = RemoveFile(InFolder("Game (E).nes"));
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(missing.code(), by_path.code());
  EXPECT_EQ(missing.message(), by_path.message());
}

TEST_P(FolderHandleTest, MovesByNameAndNeverOverwrites) {
  std::ofstream(InFolder("Game (E).nes")) << "source";
  ASSERT_TRUE(folder_handle_.MoveWithoutReplace("Game (E).nes", moved_handle_, "Game (E).nes").ok());
  EXPECT_FALSE(PathExists(InFolder("Game (E).nes")));
  EXPECT_EQ(Contents(InMoved("Game (E).nes")), "source");

  std::ofstream(InFolder("Game (E).nes")) << "second";
  const Status refused = folder_handle_.MoveWithoutReplace("Game (E).nes", moved_handle_, "Game (E).nes");
  EXPECT_FALSE(refused.ok());
#ifdef _WIN32
  EXPECT_EQ(refused.code(), ERROR_ALREADY_EXISTS);
#else
  EXPECT_EQ(refused.code(), EEXIST);
#endif
  EXPECT_EQ(Contents(InFolder("Game (E).nes")), "second");
  EXPECT_EQ(Contents(InMoved("Game (E).nes")), "source");

  const Status gone = folder_handle_.MoveWithoutReplace("nothing", moved_handle_, "nothing");
  const Status by_path = MoveWithoutReplace(InFolder("nothing"), InMoved("nothing"));
  EXPECT_FALSE(gone.ok());
  EXPECT_EQ(gone.message(), by_path.message());
  EXPECT_FALSE(PathExists(InMoved("nothing")));
}

INSTANTIATE_TEST_SUITE_P(HeldAndByPath, FolderHandleTest, ::testing::Bool());

#ifndef _WIN32
TEST(FolderHandleAcrossDevicesTest, CopiesThenRemoves) {
  struct stat shm_info, tmp_info;
  if (stat("/dev/shm", &shm_info) != 0 || stat(fs::temp_directory_path().c_str(), &tmp_info) != 0 ||
      shm_info.st_dev == tmp_info.st_dev || access("/dev/shm", W_OK) != 0) {
    GTEST_SKIP() << "no second writable device";
  }
  TempFolder here;
  TempFolder there("/dev/shm");
  FolderHandle from, to;
  from.Open(here.path());
  to.Open(there.path());
  here.Touch("game.nes", "first");
  ASSERT_TRUE(from.MoveWithoutReplace("game.nes", to, "game.nes").ok());
  EXPECT_FALSE(PathExists(JoinPath(here.path(), "game.nes")));
  EXPECT_EQ(Contents(JoinPath(there.path(), "game.nes")), "first");
  here.Touch("game.nes", "second");
  EXPECT_FALSE(from.MoveWithoutReplace("game.nes", to, "game.nes").ok());
  EXPECT_EQ(Contents(JoinPath(here.path(), "game.nes")), "second");
  EXPECT_EQ(Contents(JoinPath(there.path(), "game.nes")), "first");
}
#endif

TEST(LineWriterTest, EndsEveryLineWithCrLfAndKeepsBytes) {
  TempFolder folder;
  const std::string path = JoinPath(folder.path(), "logfile.txt");
  folder.Touch("logfile.txt", "old contents that must go");
  LineWriter writer;
  ASSERT_TRUE(writer.Create(path).ok());
  writer.WriteLine("caf\xc3\xa9 (e).zip\t --> Excluded file");
  writer.WriteLine("");
  writer.WriteLine("0 file deleted");
  EXPECT_TRUE(writer.Close().ok());
  EXPECT_EQ(Contents(path), "caf\xc3\xa9 (e).zip\t --> Excluded file\r\n\r\n0 file deleted\r\n");

  LineWriter nowhere;
  const Status status = nowhere.Create(JoinPath(folder.path(), "missing/logfile.txt"));
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(nowhere.is_open());
}

TEST(WholeFileTest, RoundTripAndMissingFile) {
  TempFolder folder;
  const std::string path = JoinPath(folder.path(), "config.txt");
  ASSERT_TRUE(WriteWholeFile(path, "a\r\nb\nc").ok());
  EXPECT_EQ(Contents(path), "a\r\nb\nc");
  std::string text = "stale";
  EXPECT_FALSE(ReadWholeFile(JoinPath(folder.path(), "none"), &text).ok());
  EXPECT_TRUE(text.empty());
}

TEST(ProgramFolderTest, IsTheFolderOfThisTest) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(IsFolder(folder));
#ifdef _WIN32
  EXPECT_TRUE(PathExists(JoinPath(folder, "platform_tests.exe")));
#else
  EXPECT_TRUE(PathExists(JoinPath(folder, "platform_tests")));
#endif
}

}  // namespace
}  // namespace varnel
