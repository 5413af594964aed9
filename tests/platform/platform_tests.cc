#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/folder_handle.h"
#include "platform/listing.h"
#include "platform/lower_case.h"
#include "platform/program_folder.h"
#include "platform/text_file.h"
#include "tests/platform/platform_test_support.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kThisProgram = "platform_tests.exe";
#else
constexpr const char* kThisProgram = "platform_tests";
#endif

// A failure names what could not be done to which path once, and every message of that shape is composed
// from it; a success stays a success whatever it is told.
TEST(StatusTest, ComposesTheCannotMessageFromItsPath) {
  struct Case {
    const char* what;
    Status status;
    bool ok;
    std::string text;
  };
  const Status reason = Status::Error("No such file or directory", ENOENT);
  const Case cases[] = {
      {"success", Status::Ok(), true, ""},
      {"success told a path", Status::Ok().About("read", "/roms"), true, ""},
      {"reason alone", reason, false, "No such file or directory"},
      {"named", reason.About("read", "/roms"), false, "Cannot read /roms: No such file or directory"},
      {"named again", reason.About("create", "/a").About("create the log file", "/roms/logfile.txt"), false,
       "Cannot create the log file /roms/logfile.txt: No such file or directory"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.status.ok(), c.ok) << c.what;
    EXPECT_EQ(c.status.ToString(), c.text) << c.what;
    if (c.ok) {
      EXPECT_TRUE(c.status.path().empty() && c.status.action().empty()) << c.what;
    } else {
      EXPECT_EQ(c.status.code(), ENOENT) << c.what;  // the system's number goes along
    }
  }
  EXPECT_TRUE(reason.path().empty());  // naming gives a new status; the one named is unchanged
}

TEST(ListedNameLessTest, SortsAsAnNtfsFolderLists) {
  // Each name must list before the next one: a blank (0x20) before "(" (0x28) before "." (0x2E); names equal but
  // for case by their raw bytes, upper case first; a shorter prefix first; "[" (0x5B) after the letters folded to
  // upper case ("U" is 0x55); "_" (0x5F) after "[" and the upper-case letters; bytes above 0x7F (here "\303\211",
  // an E with an acute accent) after every ASCII letter.
  const std::vector<std::string> expected = {"!go.nes",   "1942.nes",  "a b.nes",     "a(e).nes",         "A.nes",
                                             "a.nes",     "a.nes.bak", "Abc (E).nes", "abc (U).nes",      "abc [!].nes",
                                             "ABC_x.nes", "b.nes",     "zz.nes",      "\303\211clair.nes"};
  for (std::size_t i = 0; i + 1 < expected.size(); ++i) {
    EXPECT_TRUE(ListedNameLess(expected[i], expected[i + 1])) << expected[i] << " < " << expected[i + 1];
    EXPECT_FALSE(ListedNameLess(expected[i + 1], expected[i])) << expected[i + 1] << " !< " << expected[i];
  }
  EXPECT_FALSE(ListedNameLess("same", "same"));
}

// The listing order written plainly, one folded byte at a time.
bool PlainListedNameLess(const std::string& a, const std::string& b) {
  const auto folded = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (folded(a[i]) != folded(b[i])) return folded(a[i]) < folded(b[i]);
  }
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

TEST(ListedNameLessTest, SortingAgreesWithThePlainOrderOnRandomNames) {
  // Long shared beginnings, case-only differences, every letter boundary ("@", "[", "`", "{") and bytes above
  // 0x7F, around the eight-byte steps of the comparison.
  const std::vector<std::string> pieces = {"a",
                                           "A",
                                           "z",
                                           "Z",
                                           "@",
                                           "[",
                                           "`",
                                           "{",
                                           " ",
                                           "(",
                                           "\xC3\xA9",
                                           "\xC3\x89",
                                           "\x7F",
                                           "\xFF",
                                           "Some Game ",
                                           "SOME GAME ",
                                           "some game (U) [b1]"};
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    std::set<std::string> unique;
    for (int i = static_cast<int>(random() % 400); i > 0; --i) {
      std::string name;
      for (int j = 1 + static_cast<int>(random() % 6); j > 0; --j) name += pieces[random() % pieces.size()];
      unique.insert(name);
    }
    std::vector<std::string> names(unique.begin(), unique.end());
    std::shuffle(names.begin(), names.end(), random);
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end(), PlainListedNameLess);
    SortListedNames(&names);
    ASSERT_EQ(names, expected);
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
      ASSERT_TRUE(ListedNameLess(names[i], names[i + 1])) << names[i] << " < " << names[i + 1];
      ASSERT_FALSE(ListedNameLess(names[i + 1], names[i])) << names[i + 1] << " !< " << names[i];
    }
  }
}

TEST(ListOrdinaryFilesTest, ListsSortedRegularFilesOnly) {
  TempFolder folder;
  for (const char* name : {"zelda.nes", "Mario (U).nes", "mario (E).nes", "logfile.txt", "noext"}) folder.Touch(name);
  const fs::path sub = fs::path(folder.path()) / "moved";
  fs::create_directory(sub);
#ifdef _WIN32
  // Windows hides by attribute, not by a leading dot.
  SetFileAttributesA(folder.Touch("hidden by attribute.nes").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(folder.Touch("system by attribute.nes").c_str(), FILE_ATTRIBUTE_SYSTEM);
  const std::vector<std::string> expected = {"logfile.txt", "mario (E).nes", "Mario (U).nes", "noext", "zelda.nes"};
#else
  folder.Touch(".hidden");
  fs::create_symlink(fs::path(folder.path()) / "zelda.nes", fs::path(folder.path()) / "link to zelda");
  fs::create_symlink(fs::path(folder.path()) / "missing", fs::path(folder.path()) / "dangling");
  const std::vector<std::string> expected = {"link to zelda", "logfile.txt", "mario (E).nes",
                                             "Mario (U).nes", "noext",       "zelda.nes"};
#endif
  std::vector<std::string> names = {"left from before"};
  EXPECT_TRUE(ListOrdinaryFiles(folder.path(), &names).ok());
  EXPECT_EQ(names, expected);

  // A folder holding only a folder is empty; a missing one fails, says why and leaves nothing listed.
  fs::create_directory(sub / "sub");
  EXPECT_TRUE(ListOrdinaryFiles(sub.string(), &names).ok());
  EXPECT_TRUE(names.empty());
  names = {"left from before"};
  const std::string missing = folder.path() + "/nowhere";
  const Status status = ListOrdinaryFiles(missing, &names);
  EXPECT_TRUE(names.empty());
  ASSERT_FALSE(status.ok() || status.message().empty());
  EXPECT_EQ(status.ToString(), "Cannot read " + missing + ": " + status.message());
}

TEST(LowerCaseTest, AsciiAndLatin1CapitalsOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"Some Game (E) [!].ZIP", "some game (e) [!].zip"},
      {"\xc3\x80\xc3\x89\xc3\x9e", "\xc3\xa0\xc3\xa9\xc3\xbe"},  // À É Þ
      {"\xc3\x97", "\xc3\x97"},                                  // × has no small letter
      {"\xc3\x9f\xc3\xa9", "\xc3\x9f\xc3\xa9"},                  // ß and é stay
      {"\xc5\x81\xc4\x80", "\xc5\x81\xc4\x80"},                  // Ł and Ā are outside Latin-1: unchanged
      {"[T+Fre1.02_Team]", "[t+fre1.02_team]"},
      // A lone C3 (Latin-1 "\xc3" in a name never converted to UTF-8) takes no byte after it along.
      {"\xc3"
       "ABC.nes",
       "\xc3"
       "abc.nes"},
      {"\xc3\xc3\x80", "\xc3\xc3\xa0"},
      {"Z\xc3", "z\xc3"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(LowerCase(in), out) << in;
}

TEST(FileOpsTest, JoinPresenceFoldersAndDelete) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(JoinPath("roms", "a.nes"), "roms" + sep + "a.nes");
  EXPECT_EQ(JoinPath(sep, "moved"), sep + sep + "moved");  // a root keeps its own separator

  TempFolder folder;
  const std::string file = folder.Touch("game.nes");
  const std::string sub = JoinPath(folder.path(), "moved");
  EXPECT_TRUE(PathExists(file) && !IsFolder(file));
  EXPECT_FALSE(PathExists(sub));
  EXPECT_TRUE(MakeFolder(sub).ok() && IsFolder(sub));
  EXPECT_FALSE(MakeFolder(sub).ok() || MakeFolder(sub).message().empty());
  EXPECT_FALSE(MakeFolder(file).ok());  // a file of that name counts as present

  EXPECT_TRUE(RemoveFile(file).ok() && !PathExists(file));
  EXPECT_EQ(RemoveFile(file).code(), kMissing);
}

// A job's sub-folder is a folder of its own: a file or a link at its name is reported, never used or
// replaced, and whatever a link names is left untouched.
TEST(FileOpsTest, EnsureFolderMakesOrKeepsAFolderOfItsOwn) {
  TempFolder folder;
  const std::string outside = JoinPath(folder.path(), "outside");
  ASSERT_TRUE(MakeFolder(outside).ok());
  struct Case {
    std::string name;
    std::function<void(const std::string&)> prepare;
    FolderObstacle obstacle;
    std::string message;  // for the sub-folder of `folder` of that name; empty when the call succeeds
  };
  const std::string in = folder.path();
  std::vector<Case> cases = {
      {"absent", [](const std::string&) {}, FolderObstacle::kNone, ""},
      {"folder", [](const std::string& path) { ASSERT_TRUE(MakeFolder(path).ok()); }, FolderObstacle::kNone, ""},
      {"file", [&](const std::string& path) { folder.Touch(path.substr(in.size() + 1)); }, FolderObstacle::kFile,
       "\"file\" exists as a file in " + in + "; nothing was moved."},
  };
#ifndef _WIN32
  const auto link_to = [](std::string target) {
    return [target](const std::string& path) { ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0); };
  };
  cases.push_back({"link", link_to(outside), FolderObstacle::kLink,
                   "\"link\" in " + in + " is a symbolic link; nothing was moved."});
  cases.push_back({"dangling", link_to(JoinPath(outside, "none")), FolderObstacle::kLink,
                   "\"dangling\" in " + in + " is a symbolic link; nothing was moved."});
  cases.push_back({"fifo", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
                   FolderObstacle::kFile, "\"fifo\" exists as a file in " + in + "; nothing was moved."});
#endif
  for (const Case& c : cases) {
    const std::string path = JoinPath(in, c.name);
    c.prepare(path);
    EXPECT_EQ(FolderObstacleAt(path), c.obstacle) << c.name;
    FolderObstacle obstacle = FolderObstacle::kNone;
    const Status status = EnsureFolder(path, &obstacle);
    EXPECT_EQ(obstacle, c.obstacle) << c.name;
    if (c.message.empty()) {
      EXPECT_TRUE(status.ok() && IsFolder(path)) << c.name;
    } else {
      EXPECT_FALSE(status.ok()) << c.name;
      EXPECT_EQ(status.message(), c.obstacle == FolderObstacle::kFile ? kExistsAsAFile : kIsASymbolicLink);
      EXPECT_EQ(status.path(), path);
      EXPECT_EQ(EnsureFolderMessage(c.name, in, obstacle, status, "moved"), c.message);
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(outside));  // nothing was made through a link

  const std::string deep = JoinPath(JoinPath(in, "no"), "parent");
  const Status missing_parent = EnsureFolder(deep);
  EXPECT_EQ(EnsureFolderMessage("parent", JoinPath(in, "no"), FolderObstacle::kNone, missing_parent, "zipped"),
            "Cannot create " + deep + ": " + missing_parent.message());
  EXPECT_FALSE(missing_parent.ok());
}

TEST(MoveWithoutReplaceTest, MovesAndNeverOverwrites) {
  TempFolder folder;
  const std::string moved = JoinPath(folder.path(), "moved");
  ASSERT_TRUE(MakeFolder(moved).ok());
  ExpectMovesWithoutOverwrite(folder.path(), moved, [&](const std::string& name) {
    return MoveWithoutReplace(JoinPath(folder.path(), name), JoinPath(moved, name));
  });
}

// Each case runs with the folders held open and, as where they cannot be opened, known only by their paths.
class FolderHandleTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    roms_ = JoinPath(folder_.path(), "roms"), moved_ = JoinPath(roms_, "moved");
    // Opened before its folder exists, a handle goes by path, as where a folder cannot be held open.
    if (!GetParam()) folder_handle_.Open(roms_), moved_handle_.Open(moved_);
    ASSERT_TRUE(MakeFolder(roms_).ok() && MakeFolder(moved_).ok());
    if (GetParam()) folder_handle_.Open(roms_), moved_handle_.Open(moved_);
  }

  TempFolder folder_;
  std::string roms_, moved_;
  FolderHandle folder_handle_, moved_handle_;
};

TEST_P(FolderHandleTest, RemovesByName) {
#ifndef _WIN32
  ASSERT_EQ(folder_handle_.is_held(), GetParam());  // Windows always goes by path
#endif
  std::ofstream(JoinPath(roms_, "Game (E).nes")) << "x";
  EXPECT_TRUE(folder_handle_.RemoveFile("Game (E).nes").ok());
  EXPECT_FALSE(PathExists(JoinPath(roms_, "Game (E).nes")));
  const Status missing = folder_handle_.RemoveFile("Game (E).nes"),
               by_path = RemoveFile(JoinPath(roms_, "Game (E).nes"));
  EXPECT_EQ(missing.code(), kMissing);
  EXPECT_EQ(missing.message(), by_path.message());
}

TEST_P(FolderHandleTest, MovesByNameAndNeverOverwrites) {
  ExpectMovesWithoutOverwrite(roms_, moved_, [&](const std::string& name) {
    return folder_handle_.MoveWithoutReplace(name, moved_handle_, name);
  });
  EXPECT_EQ(folder_handle_.MoveWithoutReplace("nothing", moved_handle_, "nothing").message(),
            MoveWithoutReplace(JoinPath(roms_, "nothing"), JoinPath(moved_, "nothing")).message());
}

// Every entry is listed once, hidden ones and folders too, and a name that is not UTF-8 as its bytes; a folder
// that cannot be read fails.
TEST_P(FolderHandleTest, ListsEveryNameOfItsFolder) {
  std::set<std::string> expected = {"moved", ".hidden", "Game (E).nes", "-dash.nes"};
#ifndef _WIN32
  expected.insert("star *.nes");
  expected.insert("caf\xE9.nes");
#endif
  for (const std::string& name : expected) {
    if (name != "moved") std::ofstream(JoinPath(roms_, name)) << name;
  }
  std::vector<std::string> names;
  const auto add = [&names](std::string_view name) { names.emplace_back(name); };
  ASSERT_TRUE(folder_handle_.ForEachName(add).ok());
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
  EXPECT_EQ(names.size(), expected.size());

  FolderHandle gone;
  gone.Open(JoinPath(roms_, "no such folder"));
  names.clear();
  EXPECT_FALSE(gone.ForEachName(add).ok());
  EXPECT_TRUE(names.empty());
}

INSTANTIATE_TEST_SUITE_P(HeldAndByPath, FolderHandleTest, ::testing::Bool());

TEST(TextFileTest, LogFileWritesAtOnceAndWholeFilesAreRead) {
  TempFolder folder;
  const std::string path = folder.Touch("logfile.txt", "old contents that must go");
  LogFile log;
  bool not_regular = true;
  ASSERT_TRUE(log.Open(path, &not_regular).ok());
  EXPECT_FALSE(not_regular);
  EXPECT_EQ(ReadFile(path), "");  // emptied once opened
  std::string expected;
  for (const std::string& bytes :
       {std::string("caf\xc3\xa9 (e).zip\t --> Excluded file\r\n"), std::string(100000, 'x'), std::string("\r\n")}) {
    ASSERT_TRUE(log.Append(bytes).ok());
    expected += bytes;
    EXPECT_EQ(ReadFile(path), expected);  // on the file at once, nothing held back
  }
  EXPECT_TRUE(log.Sync().ok());
  EXPECT_EQ(log.size(), expected.size());
  EXPECT_TRUE(log.Close().ok());
  EXPECT_FALSE(log.is_open() || log.Append("late").ok());
  EXPECT_FALSE(log.Open(JoinPath(folder.path(), "missing/logfile.txt"), &not_regular).ok() || not_regular);

  std::string text = "stale";
  const std::string none = JoinPath(folder.path(), "none");
  const Status unread = ReadWholeFile(none, &text);
  EXPECT_TRUE(text.empty());
  ASSERT_FALSE(unread.ok());
  EXPECT_EQ(unread.ToString(), "Cannot read " + none + ": " + unread.message());
}

// Lines come whole and in order, wherever the parts read at once end; a last line may lack its line feed.
TEST(TextFileTest, FilesAreReadLineByLine) {
  const std::string part_long(256 * 1024, 'p');
  const struct {
    std::string contents;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"a", {"a"}},
      {"a\n\nb\r\n", {"a", "", "b\r"}},
      {std::string("x\0y\n", 4), {std::string("x\0y", 3)}},
      {part_long.substr(1) + "\nnext\n", {part_long.substr(1), "next"}},
      {part_long + "\nnext", {part_long, "next"}},
      {"head\n" + part_long + part_long + "z\n\n", {"head", part_long + part_long + "z", ""}},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    const std::string path = folder.Touch("lines.txt", c.contents);
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadFileLines(path, [&](std::string_view line) { lines.emplace_back(line); }).ok());
    EXPECT_EQ(lines, c.lines) << c.contents.substr(0, 20);
  }
  const std::string none = JoinPath(folder.path(), "none");
  const Status unread = ReadFileLines(none, [](std::string_view) { ADD_FAILURE(); });
  ASSERT_FALSE(unread.ok());
  EXPECT_EQ(unread.ToString(), "Cannot read " + none + ": " + unread.message());
}

// Only a regular file with a single link is opened and emptied as the log. Anything else at its name is
// refused without blocking, and left as it was, and so is what it leads to.
TEST(TextFileTest, LogFileRefusesAnythingButAPlainFile) {
  using Make = std::function<bool(const fs::path& log, const fs::path& outside)>;
  // A symbolic link to `outside` with `suffix`, or a hard link to it.
  const auto make_link = [](bool hard, const std::string& suffix) -> Make {
    return [=](const fs::path& log, const fs::path& outside) {
      std::error_code error;
      if (hard) {
        fs::create_hard_link(outside, log, error);
      } else {
        fs::create_symlink(outside.string() + suffix, log, error);
      }
      return !error;
    };
  };
  const struct {
    const char* label;
    Make make;  // false when this system cannot make it
    bool plain;
  } cases[] = {
      {"nothing", [](const fs::path&, const fs::path&) { return true; }, true},
      {"a regular file", [](const fs::path& log, const fs::path&) { return !!(std::ofstream(log) << "old"); }, true},
      {"a folder", [](const fs::path& log, const fs::path&) { return fs::create_directory(log); }, false},
      {"a link to a file outside", make_link(false, ""), false},
      {"a link to nothing", make_link(false, ".new"), false},
      {"a second link of a file outside", make_link(true, ""), false},
#ifndef _WIN32
      {"a FIFO", [](const fs::path& log, const fs::path&) { return mkfifo(log.c_str(), 0600) == 0; }, false},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    const fs::path roms = folder / "roms", log = roms / "logfile.txt", outside = folder / "outside.txt";
    fs::create_directory(roms);
    WriteFile(outside, "keep me");
    if (!c.make(log, outside)) {
      std::printf("skipped: %s cannot be made here\n", c.label);
      continue;
    }
    EXPECT_EQ(IsAbsentOrPlainFile(log.string()), c.plain);
    LogFile file;
    bool not_regular = c.plain;
    EXPECT_EQ(file.Open(log.string(), &not_regular).ok(), c.plain);
    EXPECT_EQ(not_regular, !c.plain);
    EXPECT_EQ(file.is_open(), c.plain);
    EXPECT_EQ(ReadFile(outside.string()), "keep me");
    EXPECT_FALSE(PathExists(outside.string() + ".new"));
    if (c.plain) {
      EXPECT_EQ(ReadFile(log.string()), "");
    }
  }
}

TEST(ProgramFolderTest, IsTheFolderOfThisTest) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(IsFolder(folder));
  EXPECT_TRUE(PathExists(JoinPath(folder, kThisProgram)));
}

}  // namespace
}  // namespace varnel
