// The trash: where each file goes, its record, the names chosen on a collision, and the trashes refused.

#ifdef _WIN32
#include <windows.h>
// windows.h comes first.
#include <shobjidl.h>
#else
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#endif

#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "platform/trash.h"
#include "tests/platform/platform_test_support.h"
#include "tests/platform/tmpfs_mount.h"
#include "tests/support/files.h"
#include "tests/support/scoped_home.h"
#include "tests/support/temp_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

std::string LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// Checks that `entry` holds a file with `contents` and a record whose path is `path` and whose deletion date,
// local time, lies between `before` and `after`.
::testing::AssertionResult Trashed(const TrashEntry& entry, const std::string& contents, const std::string& path,
                                   const std::string& before, const std::string& after) {
  std::string file, record;
  if (!ReadWholeFile(JoinPath(JoinPath(entry.trash, "files"), entry.name), &file).ok() || file != contents) {
    return ::testing::AssertionFailure() << "files/" << entry.name << " holds \"" << file << "\"";
  }
  if (!ReadWholeFile(JoinPath(JoinPath(entry.trash, "info"), entry.name + ".trashinfo"), &record).ok()) {
    return ::testing::AssertionFailure() << "no record for " << entry.name;
  }
  static const std::regex kRecord(
      "\\[Trash Info\\]\nPath=([^\n]*)\nDeletionDate=(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d)\n");
  std::smatch match;
  if (!std::regex_match(record, match, kRecord) || match[1] != path || match[2] < before || match[2] > after) {
    return ::testing::AssertionFailure() << "record \"" << record << "\", expected path " << path << " at " << before;
  }
  return ::testing::AssertionSuccess();
}

// A romset folder and a home trash of the test's own, on one device.
struct TrashFixture {
  TrashFixture() : data(JoinPath(top.path(), "data")), data_home(data) {}
  std::string Folder(const std::string& name) const {
    const std::string path = JoinPath(top.path(), name);
    fs::create_directories(path);
    return path;
  }
  std::string Trash() const { return JoinPath(data, "Trash"); }

  TempFolder top;
  std::string data;  // made by the first file trashed
  ScopedDataHome data_home;
};

// Every byte of a name comes back from the record's path; the folder is named without its links.
TEST(TrashTest, HomeTrashTakesEachFileWithItsRecord) {
  TrashFixture fixture;
  const std::string folder = fixture.Folder("my roms");
  const std::string real = fs::canonical(folder).string();
  const std::string encoded = std::regex_replace(real, std::regex(" "), "%20");
  fs::create_directory_symlink(folder, JoinPath(fixture.top.path(), "link"));
  const struct {
    const char* name;
    const char* path;  // in the record, after the folder
  } cases[] = {
      {"Mario (E).nes", "Mario%20%28E%29.nes"},
      {"a b%c#\xC3\xA9\xFF.nes", "a%20b%25c%23%C3%A9%FF.nes"},
      {"-x*?[1]~_.nes", "-x%2A%3F%5B1%5D~_.nes"},
      {"two\nlines=Path", "two%0Alines%3DPath"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(JoinPath(folder, c.name), std::ios::binary) << c.name;
    const std::string before = LocalTimeNow();
    TrashEntry entry;
    ASSERT_TRUE(MoveToTrash(JoinPath(fixture.top.path(), "link"), c.name, &entry).ok());
    EXPECT_EQ(entry.trash, fixture.Trash());
    EXPECT_EQ(entry.name, c.name);
    EXPECT_TRUE(Trashed(entry, c.name, encoded + "/" + c.path, before, LocalTimeNow()));
    EXPECT_FALSE(PathExists(JoinPath(folder, c.name)));
  }
  for (const char* made : {"", "/files", "/info"}) {
    struct stat info;
    ASSERT_EQ(lstat((fixture.Trash() + made).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u) << made;
  }
}

// A name taken in the trash, by a record or by a file without one, gives the next "<stem>.<n><extension>"; a
// name too long for its record is cut before a character, never inside one.
TEST(TrashTest, ACollisionGetsADistinctRecordedName) {
  TrashFixture fixture;
  const std::string long_name = std::string(240, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9.nes";
  const struct {
    std::string name;
    std::string path;              // in the record, after the folder
    std::vector<std::string> got;  // by the first, second and third folder
  } cases[] = {
      {"Game (E).nes", "Game%20%28E%29.nes", {"Game (E).nes", "Game (E).2.nes", "Game (E).4.nes"}},
      {"README", "README", {"README", "README.2", "README.4"}},
      {".hidden", ".hidden", {".hidden", ".hidden.2", ".hidden.4"}},
      {"a.tar.gz", "a.tar.gz", {"a.tar.gz", "a.tar.2.gz", "a.tar.4.gz"}},
      {long_name,
       std::string(240, 'a') + "%C3%A9%C3%A9%C3%A9.nes",
       {std::string(240, 'a') + ".nes", std::string(239, 'a') + ".2.nes", std::string(239, 'a') + ".4.nes"}},
  };
  Trash trash;  // one object across folders, as a run keeps it
  for (const auto& c : cases) {
    SCOPED_TRACE(c.got[0]);
    for (int i = 0; i < 3; ++i) {
      const std::string folder = fixture.Folder("roms" + std::to_string(i));
      std::ofstream(JoinPath(folder, c.name)) << i;
      if (i == 2) {  // a file without a record holds the third name
        fs::create_directories(JoinPath(fixture.Trash(), "files"));
        const std::size_t two = c.got[1].rfind(".2");
        std::ofstream(
            JoinPath(JoinPath(fixture.Trash(), "files"), c.got[1].substr(0, two) + ".3" + c.got[1].substr(two + 2)))
            << "orphan";
      }
      TrashEntry entry;
      const std::string before = LocalTimeNow();
      ASSERT_TRUE(trash.MoveToTrash(folder, c.name, &entry).ok());
      EXPECT_EQ(entry.name, c.got[i]);
      EXPECT_TRUE(
          Trashed(entry, std::to_string(i), fs::canonical(folder).string() + "/" + c.path, before, LocalTimeNow()));
    }
  }
}

// A home trash that is a link, a file, or holds a link for "files" or "info" takes nothing: the file stays, and
// nothing is written through the link.
TEST(TrashTest, ARefusedTrashLeavesTheFileInPlace) {
  const struct {
    const char* label;
    std::function<void(const std::string& trash, const std::string& outside)> make;
    std::string failed;  // the folder named in the message, after the trash
    std::string reason;
  } cases[] = {
      {"trash is a link", [](auto& trash, auto& outside) { fs::create_directory_symlink(outside, trash); }, "",
       "it is a symbolic link"},
      {"trash is a file", [](auto& trash, auto&) { std::ofstream(trash) << "x"; }, "", "it is not a folder"},
      {"files is a link",
       [](auto& trash, auto& outside) {
         fs::create_directories(JoinPath(trash, "info"));
         fs::create_directory_symlink(outside, JoinPath(trash, "files"));
       },
       "/files", "it is a symbolic link"},
      {"info is a link",
       [](auto& trash, auto& outside) {
         fs::create_directories(trash);
         fs::create_directory_symlink(outside, JoinPath(trash, "info"));
       },
       "/info", "it is a symbolic link"},
      {"data folder is a file",
       [](auto& trash, auto&) {
         const std::string data = trash.substr(0, trash.size() - std::string("/Trash").size());
         fs::remove(data);
         std::ofstream(data) << "x";
       },
       "", std::strerror(ENOTDIR)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TrashFixture fixture;
    fs::create_directories(fixture.data);
    const std::string folder = fixture.Folder("roms"), outside = fixture.Folder("outside");
    std::ofstream(JoinPath(folder, "Game (J).nes")) << "dump";
    c.make(fixture.Trash(), outside);
    const Status status = MoveToTrash(folder, "Game (J).nes", nullptr);
    EXPECT_EQ(status.ToString(), "Cannot use the trash " + fixture.Trash() + c.failed + ": " + c.reason);
    EXPECT_EQ(ReadFile(JoinPath(folder, "Game (J).nes")), "dump");
    EXPECT_TRUE(fs::is_empty(outside));
  }
}

// A file that is gone by the time it goes, or a folder that is not there, fail with the system's reason and
// leave no record behind.
TEST(TrashTest, AFailedRenameTakesItsRecordBack) {
  TrashFixture fixture;
  const std::string folder = fixture.Folder("roms");
  EXPECT_EQ(MoveToTrash(folder, "gone.nes", nullptr).code(), ENOENT);
  EXPECT_TRUE(fs::is_empty(JoinPath(fixture.Trash(), "info")));
  EXPECT_EQ(MoveToTrash(JoinPath(folder, "missing"), "gone.nes", nullptr).code(), ENOENT);
}

// A record that cannot be written whole (a full disk; here a limit of 8 bytes per file) is taken back, and the
// file stays where it was.
TEST(TrashTest, ARecordThatCannotBeWrittenLeavesTheFile) {
  TrashFixture fixture;
  const std::string folder = fixture.Folder("roms");
  std::ofstream(JoinPath(folder, "Game (E).nes")) << "dump";
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8, 8};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(MoveToTrash(folder, "Game (E).nes", nullptr).code() == EFBIG ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the trash did not fail with EFBIG";
  EXPECT_EQ(ReadFile(JoinPath(folder, "Game (E).nes")), "dump");
  EXPECT_TRUE(fs::is_empty(JoinPath(fixture.Trash(), "info")));
  EXPECT_TRUE(fs::is_empty(JoinPath(fixture.Trash(), "files")));
}

#endif  // !_WIN32

#ifdef __linux__

// Files on another volume go to that volume's trash, as the administrator or the user set it up, and their
// records give their paths from the volume's top folder. A volume trash that is not the user's alone takes
// nothing.
TEST(TrashTest, FilesOnAnotherVolumeGoToItsTrash) {
  TrashFixture fixture;
  const std::string volume = fixture.Folder("volume");
  TmpfsMount tmpfs;
  std::string why;
  if (!tmpfs.Mount(volume, &why)) GTEST_SKIP() << why;
  const std::string uid = std::to_string(getuid());
  const std::string own = JoinPath(volume, ".Trash-" + uid), shared = JoinPath(volume, ".Trash");
  const std::string refused = "Cannot use the trash " + own + ": ";
  const struct {
    const char* label;
    std::function<void()> prepare;
    std::string folder;  // under the volume
    std::string result;  // the trash, or the failure's message
  } cases[] = {
      {"no trash yet", [] {}, "roms", own},
      {"the file in the top folder", [] {}, "", own},
      {"a shared trash", [&] { fs::create_directory(shared), chmod(shared.c_str(), 01777); }, "roms",
       JoinPath(shared, uid)},
      {"a shared trash without the sticky bit", [&] { fs::create_directory(shared), chmod(shared.c_str(), 0777); },
       "roms", own},
      {"a shared trash that is a link",
       [&] {
         fs::create_directory(JoinPath(volume, "elsewhere"));
         chmod(JoinPath(volume, "elsewhere").c_str(), 01777);
         fs::create_directory_symlink(JoinPath(volume, "elsewhere"), shared);
       },
       "roms", own},
      {"the user's trash is a link", [&] { fs::create_directory_symlink(fixture.Folder("outside"), own); }, "roms",
       refused + "it is a symbolic link"},
      {"the user's trash is another user's",
       [&] {
         fs::create_directory(own);
         EXPECT_EQ(chown(own.c_str(), 4242, 4242), 0);
       },
       "roms", refused + "it belongs to another user"},
      {"the user's trash is open to others", [&] { fs::create_directory(own), chmod(own.c_str(), 0777); }, "roms",
       refused + "others may write in it"},
      {"a read-only volume", [&] { mount(nullptr, volume.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr); }, "roms",
       refused + std::strerror(EROFS)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    for (const auto& entry : fs::directory_iterator(volume)) fs::remove_all(entry.path());
    const std::string folder = c.folder.empty() ? volume : JoinPath(volume, c.folder);
    fs::create_directories(folder);
    std::ofstream(JoinPath(folder, "Game (U).nes")) << "dump";
    c.prepare();
    TrashEntry entry;
    const std::string before = LocalTimeNow();
    const Status status = MoveToTrash(folder, "Game (U).nes", &entry);
    if (c.result.starts_with("Cannot")) {
      EXPECT_EQ(status.ToString(), c.result);
      EXPECT_EQ(ReadFile(JoinPath(folder, "Game (U).nes")), "dump");
      EXPECT_TRUE(fs::is_empty(fixture.Folder("outside")));
    } else {
      ASSERT_TRUE(status.ok()) << status.message();
      EXPECT_EQ(entry.trash, c.result);
      const std::string path = c.folder.empty() ? "Game%20%28U%29.nes" : c.folder + "/Game%20%28U%29.nes";
      EXPECT_TRUE(Trashed(entry, "dump", path, before, LocalTimeNow()));
    }
    EXPECT_FALSE(PathExists(fixture.Trash()));  // the home trash is never the way round
    mount(nullptr, volume.c_str(), nullptr, MS_REMOUNT, nullptr);
  }
}

// A folder of the home trash's device seen through another mount (a bind mount) cannot be renamed into the
// home trash: its files go to the trash at that mount's top.
TEST(TrashTest, ABindMountUsesTheTrashAtItsTop) {
  TrashFixture fixture;
  const std::string roms = fixture.Folder("disk/roms"), bound = fixture.Folder("bound");
  TmpfsMount namespace_only;
  std::string why;
  if (!namespace_only.Mount(fixture.Folder("unused"), &why)) GTEST_SKIP() << why;
  ASSERT_EQ(mount(roms.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr), 0) << std::strerror(errno);
  std::ofstream(JoinPath(roms, "Game (E).nes")) << "dump";
  TrashEntry entry;
  const std::string before = LocalTimeNow();
  ASSERT_TRUE(MoveToTrash(bound, "Game (E).nes", &entry).ok());
  EXPECT_EQ(entry.trash, JoinPath(bound, ".Trash-" + std::to_string(getuid())));
  EXPECT_TRUE(Trashed(entry, "dump", "Game%20%28E%29.nes", before, LocalTimeNow()));
  EXPECT_TRUE(fs::is_empty(JoinPath(fixture.Trash(), "info")));  // the record first written there went again
  umount2(bound.c_str(), MNT_DETACH);
  EXPECT_TRUE(PathExists(JoinPath(roms, ".Trash-" + std::to_string(getuid()) + "/files/Game (E).nes")));
}

#endif  // __linux__

#ifdef _WIN32
// The recycle bin takes the file and says where it lies; wine may not have the shell's file operation.
TEST(TrashTest, TheRecycleBinTakesTheFile) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IFileOperation* operation = nullptr;
  const bool available = SUCCEEDED(CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_IFileOperation,
                                                    reinterpret_cast<void**>(&operation)));
  if (operation != nullptr) operation->Release();
  if (SUCCEEDED(com)) CoUninitialize();
  if (!available) GTEST_SKIP() << "the shell's FileOperation cannot be created here (wine)";

  TempFolder folder;
  folder.Touch("Game (E).nes", "dump");
  TrashEntry entry;
  const Status status = MoveToTrash(folder.path(), "Game (E).nes", &entry);
  if (status.code() == static_cast<int>(E_NOTIMPL)) {
    EXPECT_EQ(ReadFile(JoinPath(folder.path(), "Game (E).nes")), "dump");  // never deleted instead
    GTEST_SKIP() << "the shell's FileOperation does not recycle here (wine): " << status.message();
  }
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_FALSE(PathExists(JoinPath(folder.path(), "Game (E).nes")));
  if (!entry.name.empty()) {
    EXPECT_EQ(ReadFile(JoinPath(entry.trash, entry.name)), "dump");
    EXPECT_TRUE(RemoveFile(JoinPath(entry.trash, entry.name)).ok());
  }
}
#endif

}  // namespace
}  // namespace varnel
