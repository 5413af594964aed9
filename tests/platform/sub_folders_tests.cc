#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/listing.h"
#include "platform/sub_folders.h"
#include "tests/platform/platform_test_support.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Folders and links to folders, nothing else; hidden ones left out; in listing order. Files, even many, give
// no name.
TEST(ListSubFoldersTest, FoldersAndLinksToFoldersSorted) {
  TempFolder folder;
  for (const char* name : {"b", "A", "c d", "-x"}) fs::create_directory(folder / name);
  for (int i = 0; i < 2000; ++i) folder.Touch("game " + std::to_string(i) + ".nes");
  std::vector<std::string> expected = {"-x", "A", "b", "c d"};
#ifdef _WIN32
  const fs::path hidden = folder / "hidden", system = folder / "system";
  fs::create_directory(hidden);
  fs::create_directory(system);
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM);
#else
  fs::create_directory(folder / ".hidden");
  fs::create_directory(folder / "\xff\xfe not UTF-8");
  fs::create_directory_symlink(folder / "A", folder / "link to A");
  fs::create_symlink(folder / "game 1.nes", folder / "link to a file");
  fs::create_symlink(folder / "nowhere", folder / "dangling");
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  expected = {"-x", "A", "b", "c d", "link to A", "\xff\xfe not UTF-8"};
#endif
  std::vector<std::string> names = {"left over"};
  ASSERT_TRUE(ListSubFolders(folder.path(), &names).ok());
  EXPECT_EQ(names, expected);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), ListedNameLess));

  // A folder without sub-folders is no failure; one that cannot be listed is, with nothing listed.
  ASSERT_TRUE(ListSubFolders(folder / "b", &names).ok());
  EXPECT_TRUE(names.empty());
  for (const std::string& unreadable : {folder.path() + "/nowhere", folder.path() + "/game 1.nes", std::string()}) {
    names = {"left over"};
    const Status status = ListSubFolders(unreadable, &names);
    EXPECT_FALSE(status.ok() || status.message().empty()) << unreadable;
    EXPECT_TRUE(names.empty()) << unreadable;
  }
}

// A folder keeps its identity when it is renamed or reached through a link; another folder made under its
// old name has another.
TEST(IdentifyFolderTest, TellsAFolderFromOneThatTookItsName) {
  TempFolder folder;
  const fs::path first = folder / "roms", moved = folder / "roms moved";
  fs::create_directory(first);
  FolderIdentity before, after, newcomer;
  ASSERT_TRUE(IdentifyFolder(first.string(), &before).ok());
  fs::rename(first, moved);
  ASSERT_TRUE(IdentifyFolder(moved.string(), &after).ok());
  EXPECT_EQ(before, after);
  fs::create_directory(first);
  ASSERT_TRUE(IdentifyFolder(first.string(), &newcomer).ok());
  EXPECT_FALSE(newcomer == before);
#ifndef _WIN32
  fs::create_directory_symlink(moved, folder / "link");
  ASSERT_TRUE(IdentifyFolder(folder / "link", &after).ok());
  EXPECT_EQ(after, before);
#endif
  EXPECT_EQ(IdentifyFolder(folder.Touch("file.nes"), &after).message(), kNotAFolder);
  EXPECT_EQ(IdentifyFolder(folder.path() + "/nowhere", &after).code(), kMissing);
}

TEST(PathPartsBelowTest, NamesOnTheWayDown) {
  using Parts = std::optional<std::vector<std::string>>;
  struct Case {
    const char* root;
    const char* path;
    Parts parts;
  };
  const Case cases[] = {
#ifdef _WIN32
      {"C:\\", "C:\\", std::vector<std::string>{}},
      {"C:\\", "c:/Roms\\\\nes\\", std::vector<std::string>{"Roms", "nes"}},
      {"D:\\roms", "d:\\ROMS\\nes", std::vector<std::string>{"nes"}},
      {"C:\\", "D:\\roms", std::nullopt},
      {"C:\\roms", "C:\\roms2", std::nullopt},
#else
      {"/", "/", std::vector<std::string>{}},
      {"/", "/home/me", std::vector<std::string>{"home", "me"}},
      {"/media/usb", "/media/usb//roms/", std::vector<std::string>{"roms"}},
      {"/media/usb/", "/media/usb", std::vector<std::string>{}},
      {"/media/usb", "/media/usb2/roms", std::nullopt},
      {"/media/usb", "/media/USB/roms", std::nullopt},
      {"/media/usb", "/media", std::nullopt},
      {"/", "home/me", std::nullopt},
#endif
      {"", "", std::nullopt},
  };
  for (const Case& test : cases) EXPECT_EQ(PathPartsBelow(test.root, test.path), test.parts) << test.path;

  EXPECT_EQ(PathBelow(PathBelow("x", {"a"}), {"b", "c"}), JoinPath(JoinPath(JoinPath("x", "a"), "b"), "c"));
#ifdef _WIN32
  EXPECT_EQ(PathBelow("C:\\", {"roms"}), "C:\\roms");
#else
  EXPECT_EQ(PathBelow("/", {"home", "me"}), "/home/me");
#endif
}

}  // namespace
}  // namespace varnel
