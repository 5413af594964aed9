// The folders no job may change, and the lock that keeps a second job out of a folder.

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/folder_guard.h"
#include "platform/folder_lock.h"
#include "tests/platform/platform_test_support.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

const std::string kSeparator(1, kPathSeparator);

#ifdef _WIN32
std::string Environment(const char* name) {
  char value[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}
#endif

TEST(IsProtectedFolderTest, HomeAndSystemFoldersWhateverPathNamesThem) {
  TempFolder home;
  const ScopedHome scoped_home(home.path());
  const std::string roms = JoinPath(home.path(), "roms");
  ASSERT_TRUE(MakeFolder(roms).ok());
  const std::vector<std::pair<std::string, bool>> cases = {
      {home.path(), true},
      {home.path() + kSeparator, true},
      {JoinPath(home.path(), "."), true},
      {JoinPath(roms, ".."), true},
      {roms, false},
      {roms + kSeparator, false},
      {JoinPath(home.path(), "missing"), false},
      {home.Touch("notes (final).txt"), false},
#ifdef _WIN32
      {Environment("SystemDrive") + "\\", true},
      {Environment("SystemDrive") + "\\.", true},
      {Environment("SystemDrive") + "\\Users", true},
      {Environment("SystemRoot"), true},
      {Environment("ProgramFiles"), true},
      {Environment("ProgramData"), true},
      {JoinPath(Environment("SystemRoot"), "system32"), false},
#else
      {"/", true},
      {"/tmp", true},
      {"/tmp/", true},
      {"//usr/./", true},
      {"/etc/..", true},
      {getpwuid(getuid())->pw_dir, true},  // the password database's home, whatever $HOME says
      {"/usr/share", false},
#endif
  };
#ifndef _WIN32
  TempFolder links;
  fs::create_symlink(home.path(), links / "home link");
  fs::create_symlink(roms, links / "roms link");
  const std::vector<std::pair<std::string, bool>> linked = {
      {links / "home link", true}, {links / "home link/", true}, {links / "roms link", false}};
#else
  const std::vector<std::pair<std::string, bool>> linked;
#endif
  for (const auto& list : {cases, linked}) {
    for (const auto& [folder, expected] : list) EXPECT_EQ(IsProtectedFolder(folder), expected) << folder;
  }
}

TEST(FolderLockTest, OneJobPerFolderWhateverPathNamesIt) {
  TempFolder parent;
  const std::string roms = JoinPath(parent.path(), "roms"), other = JoinPath(parent.path(), "other");
  ASSERT_TRUE(MakeFolder(roms).ok() && MakeFolder(other).ok());
  FolderLock first;
  ASSERT_TRUE(first.Acquire(roms).ok());
  EXPECT_TRUE(first.held());

  std::vector<std::string> aliases = {roms, roms + kSeparator, JoinPath(roms, "."),
                                      JoinPath(JoinPath(other, ".."), "roms")};
#ifndef _WIN32
  fs::create_symlink(roms, parent / "link");
  aliases.push_back(JoinPath(parent.path(), "link"));
#endif
  for (const std::string& alias : aliases) {
    FolderLock second;
    const Status status = second.Acquire(alias);
    EXPECT_TRUE(FolderLock::IsBusy(status)) << alias << ": " << status.message();
    EXPECT_FALSE(second.held());
  }
  FolderLock elsewhere;
  EXPECT_TRUE(elsewhere.Acquire(other).ok());
  EXPECT_TRUE(fs::is_empty(roms));  // nothing is ever left in the romset
#ifdef _WIN32
  const std::string lock_file = first.lock_file();
  EXPECT_EQ(lock_file.rfind(JoinPath(JoinPath(Environment("LOCALAPPDATA"), "Varnel"), "locks"), 0), 0u) << lock_file;
  EXPECT_TRUE(PathExists(lock_file));
#endif

  first.Release();
  EXPECT_FALSE(first.held());
#ifdef _WIN32
  EXPECT_FALSE(PathExists(lock_file));  // deleted on close
#endif
  FolderLock again;
  EXPECT_TRUE(again.Acquire(roms + kSeparator).ok());
  FolderLock missing;
  const Status status = missing.Acquire(JoinPath(roms, "missing"));
  EXPECT_FALSE(status.ok() || FolderLock::IsBusy(status));
  EXPECT_EQ(status.ToString(), "Cannot lock " + JoinPath(roms, "missing") + ": " + status.message());
}

TEST(EnterJobFolderTest, GuardFirstThenTheLockWithTheirMessages) {
  TempFolder home;
  const ScopedHome scoped_home(home.path());
  const std::string roms = JoinPath(home.path(), "roms");
  ASSERT_TRUE(MakeFolder(roms).ok());

  FolderLock lock;
  FolderEntry entry = EnterJobFolder(home.path() + kSeparator, true, &lock);
  EXPECT_EQ(entry.outcome, FolderEntry::Outcome::kProtected);
  EXPECT_EQ(entry.message, "Varnel will not change files in " + home.path() + kSeparator +
                               ": choose the folder that holds your romset.");
  EXPECT_FALSE(lock.held());
  entry = EnterJobFolder(home.path(), false, &lock);  // a job that changes nothing may work there
  EXPECT_EQ(entry.outcome, FolderEntry::Outcome::kEntered);
  EXPECT_TRUE(entry.message.empty() && lock.held());

  FolderLock second;
  entry = EnterJobFolder(home.path(), false, &second);
  EXPECT_EQ(entry.outcome, FolderEntry::Outcome::kBusy);
  EXPECT_EQ(entry.message, "Another Varnel job is working in " + home.path() + ".");
  EXPECT_EQ(EnterJobFolder(roms, true, &second).outcome, FolderEntry::Outcome::kEntered);
  // A missing folder is left to the job, which says what is wrong with it.
  FolderLock third;
  entry = EnterJobFolder(JoinPath(roms, "missing"), true, &third);
  EXPECT_EQ(entry.outcome, FolderEntry::Outcome::kEntered);
  EXPECT_FALSE(third.held());
}

#ifndef _WIN32

// The lock held by another process keeps this one out until that process ends.
TEST(FolderLockTest, AnotherProcessHoldsTheLockUntilItEnds) {
  TempFolder roms;
  int locked[2], finish[2];
  ASSERT_EQ(pipe(locked) | pipe(finish), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(locked[0]), close(finish[1]);
    FolderLock lock;
    const char held = lock.Acquire(roms.path()).ok() ? 'y' : 'n';
    if (write(locked[1], &held, 1) != 1) _exit(1);
    char ignored;
    while (read(finish[0], &ignored, 1) > 0) {
    }
    _exit(0);
  }
  close(locked[1]), close(finish[0]);
  char held = 0;
  ASSERT_EQ(read(locked[0], &held, 1), 1);
  ASSERT_EQ(held, 'y');
  FolderLock lock;
  EXPECT_TRUE(FolderLock::IsBusy(lock.Acquire(roms.path())));
  close(finish[1]);  // the child ends, and its lock with it
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(lock.Acquire(roms.path()).ok());
  close(locked[0]);
}

// Where the folder's file system refuses a lock, the lock file lies in the password database's home folder,
// whatever $HOME says, named after the folder's device and inode; nothing goes into the romset.
TEST(FolderLockTest, LockFileLiesOutsideTheRomsetInTheUsersOwnHome) {
  TempFolder roms, elsewhere;
  const ScopedHome scoped_home(elsewhere.path());
  struct stat info;
  ASSERT_EQ(stat(roms.path().c_str(), &info), 0);
  const std::string expected = std::string(getpwuid(getuid())->pw_dir) + "/.local/state/varnel/locks/" +
                               std::to_string(info.st_dev) + "-" + std::to_string(info.st_ino) + ".lock";
  FolderLock first, second;
  ASSERT_TRUE(first.AcquireWithLockFile(roms.path()).ok());
  EXPECT_EQ(first.lock_file(), expected);
  EXPECT_TRUE(PathExists(expected));
  EXPECT_TRUE(FolderLock::IsBusy(second.AcquireWithLockFile(JoinPath(roms.path(), "."))));
  EXPECT_TRUE(fs::is_empty(roms.path()) && fs::is_empty(elsewhere.path()));
  first.Release();
  EXPECT_TRUE(second.AcquireWithLockFile(roms.path()).ok());
  second.Release();
  fs::remove(expected);
}

#endif  // !_WIN32

}  // namespace
}  // namespace varnel
