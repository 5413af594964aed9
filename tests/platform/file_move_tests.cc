// Moves that never overwrite and never show a partial file under its final name, across devices too, and
// the clean-up of the temporaries an interrupted move leaves.

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/folder_handle.h"
#include "tests/platform/platform_test_support.h"
#include "tests/platform/tmpfs_mount.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

constexpr TemporaryNaming kEveryNaming[] = {TemporaryNaming::kUnnamed, TemporaryNaming::kRenameNoReplace,
                                            TemporaryNaming::kLinkThenUnlink, TemporaryNaming::kRenameWhenFree};

// Every entry of `folder`, hidden ones included, sorted.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(MoveTemporaryNameTest, AcceptsTheExactFormOnly) {
  const std::pair<const char*, bool> cases[] = {
      {".varnel-12-0.tmp", true},      {".varnel-4194304-18446744.tmp", true},
      {".varnel--0.tmp", false},       {".varnel-12-.tmp", false},
      {".varnel-12-0.tmp.nes", false}, {"x.varnel-12-0.tmp", false},
      {"varnel-12-0.tmp", false},      {".varnel-12-0-1.tmp", false},
      {".varnel-a-0.tmp", false},      {".varnel-+12-0.tmp", false},
      {".varnel-12 -0.tmp", false},    {".Varnel-12-0.tmp", false},
      {".varnel-12-0.TMP", false},     {".varnel-123456789012345678901-0.tmp", false},
      {".varnel-12-0", false},         {"", false},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(IsMoveTemporaryName(name), expected) << name;
}

TEST(RemoveLeftoverTemporariesTest, RemovesRegularFilesOfTheExactFormOnly) {
  TempFolder folder;
  folder.Touch(".varnel-12-0.tmp", "half a copy");
  const std::string read_only = folder.Touch(".varnel-4242-17.tmp");
  for (const char* name : {"game.nes", ".varnel-12-0.tmp.nes", "x.varnel-12-0.tmp", ".varnel-1-2-3.tmp"}) {
    folder.Touch(name);
  }
  fs::create_directory(folder / ".varnel-5-6.tmp");
  std::vector<std::string> stay = {".varnel-1-2-3.tmp", ".varnel-12-0.tmp.nes", ".varnel-5-6.tmp", "game.nes",
                                   "x.varnel-12-0.tmp"};
  TempFolder elsewhere;
  const std::string outside = elsewhere.Touch("outside.nes", "not ours");
#ifdef _WIN32
  SetFileAttributesW(fs::path(read_only).c_str(), FILE_ATTRIBUTE_READONLY);
#else
  chmod(read_only.c_str(), 0444);
  fs::create_symlink(outside, folder / ".varnel-7-8.tmp");  // a link of that name is not a temporary
  stay.insert(stay.begin() + 3, ".varnel-7-8.tmp");
#endif

  int removed = -1;
  EXPECT_TRUE(RemoveLeftoverTemporaries(folder.path(), &removed).ok());
  EXPECT_EQ(removed, 2);
  EXPECT_EQ(Entries(folder.path()), stay);
  EXPECT_EQ(ReadFile(outside), "not ours");
  EXPECT_FALSE(RemoveLeftoverTemporaries(JoinPath(folder.path(), "missing"), &removed).ok());
}

// Each way of naming the copy moves, refuses a taken name, keeps the permissions and times, and leaves
// nothing beside the moved file.
TEST(CopyAcrossDevicesTest, EachNamingMovesWithoutOverwriteAndLeavesNoTemporary) {
  // Whole seconds: some file systems keep no finer times.
  const auto when =
      std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now() - std::chrono::hours(9600));
  for (const TemporaryNaming naming : kEveryNaming) {
    SCOPED_TRACE(static_cast<int>(naming));
    TempFolder from, to;
    ExpectMovesWithoutOverwrite(
        from.path(), to.path(),
        [&](const std::string& name) {
          const std::string source = JoinPath(from.path(), name);
          std::error_code ignored;
          fs::last_write_time(source, when, ignored);
#ifndef _WIN32
          chmod(source.c_str(), 0640);
#endif
          return CopyAcrossDevices(source, JoinPath(to.path(), name), naming);
        },
        std::string(700000, 'x') + "end");
    EXPECT_EQ(Entries(to.path()), std::vector<std::string>{"game.nes"});
    EXPECT_EQ(fs::last_write_time(JoinPath(to.path(), "game.nes")), when);
#ifndef _WIN32
    struct stat info;
    ASSERT_EQ(stat(JoinPath(to.path(), "game.nes").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
#endif
  }
}

// A folder on another device than the temporary folder, where the tests can write: /dev/shm on Linux, and
// under wine the same folder through the drive Z:. Empty when there is none.
std::string SecondDevice() {
#ifdef _WIN32
  const std::string shm = "Z:\\dev\\shm";
  if (!IsFolder(shm)) return {};
  // The system moves within a device by itself; across devices it refuses without MOVEFILE_COPY_ALLOWED.
  TempFolder probe;
  const std::string file = probe.Touch("probe");
  const std::string there = JoinPath(shm, "varnel-probe-" + std::to_string(GetCurrentProcessId()));
  if (MoveFileExW(fs::path(file).c_str(), fs::path(there).c_str(), 0)) {
    DeleteFileW(fs::path(there).c_str());
    return {};
  }
  return GetLastError() == ERROR_NOT_SAME_DEVICE ? shm : std::string();
#else
  struct stat shm, tmp;
  if (stat("/dev/shm", &shm) || stat(fs::temp_directory_path().c_str(), &tmp) || shm.st_dev == tmp.st_dev ||
      access("/dev/shm", W_OK)) {
    return {};
  }
  return "/dev/shm";
#endif
}

// Moves to a second device by path (keeping a large file's bytes) and with folder handles.
TEST(MoveWithoutReplaceTest, AcrossDevicesCopiesThenRemoves) {
  const std::string second = SecondDevice();
  if (second.empty()) GTEST_SKIP() << "no second writable device";
  TempFolder here, there(second), handle_here, handle_there(second);
  const std::string large(3000000, 'x');
  ExpectMovesWithoutOverwrite(
      here.path(), there.path(),
      [&](const std::string& name) {
        return MoveWithoutReplace(JoinPath(here.path(), name), JoinPath(there.path(), name));
      },
      large);
  EXPECT_EQ(Entries(there.path()), std::vector<std::string>{"game.nes"});

  FolderHandle from, to;
  from.Open(handle_here.path());
  to.Open(handle_there.path());
  ExpectMovesWithoutOverwrite(handle_here.path(), handle_there.path(),
                              [&](const std::string& name) { return from.MoveWithoutReplace(name, to, name); });
  EXPECT_EQ(Entries(handle_there.path()), std::vector<std::string>{"game.nes"});
}

#ifndef _WIN32

TEST(CopyAcrossDevicesTest, RefusesWhatIsNotARegularFileAndNeverWritesThroughALink) {
  TempFolder from, to, elsewhere;
  const std::string outside = elsewhere.Touch("outside.nes", "outside");
  fs::create_symlink(outside, from / "link.nes");
  ASSERT_EQ(mkfifo((from / "fifo.nes").c_str(), 0600), 0);  // opening it must not wait for a writer
  from.Touch("game.nes", "game");
  // The target's name is taken by a link to a file that does not exist yet.
  fs::create_symlink(elsewhere / "written through the link.nes", to / "game.nes");
  const std::pair<const char*, int> cases[] = {{"link.nes", EINVAL}, {"fifo.nes", EINVAL}, {"game.nes", EEXIST}};
  for (const TemporaryNaming naming : kEveryNaming) {
    for (const auto& [name, code] : cases) {
      EXPECT_EQ(CopyAcrossDevices(JoinPath(from.path(), name), JoinPath(to.path(), name), naming).code(), code)
          << name << " " << static_cast<int>(naming);
    }
  }
  EXPECT_EQ(Entries(from.path()), (std::vector<std::string>{"fifo.nes", "game.nes", "link.nes"}));
  EXPECT_EQ(Entries(to.path()), std::vector<std::string>{"game.nes"});
  EXPECT_EQ(Entries(elsewhere.path()), std::vector<std::string>{"outside.nes"});
  EXPECT_EQ(ReadFile(outside), "outside");
}

// A copy that the disk cannot hold (a file size limit stands for a full disk) fails and leaves the source
// as it was, and nothing in the target folder.
TEST(CopyAcrossDevicesTest, FullDiskLeavesTheSourceAndNoTemporary) {
  for (const TemporaryNaming naming : kEveryNaming) {
    SCOPED_TRACE(static_cast<int>(naming));
    TempFolder from, to;
    const std::string contents(4 << 20, 'b');
    const std::string source = from.Touch("big.iso", contents);
    const pid_t child = fork();
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit = {1 << 20, 1 << 20};
      setrlimit(RLIMIT_FSIZE, &limit);
      _exit(CopyAcrossDevices(source, JoinPath(to.path(), "big.iso"), naming).code() == EFBIG ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the copy did not fail with EFBIG";
    EXPECT_TRUE(ReadFile(source) == contents);
    EXPECT_TRUE(Entries(to.path()).empty());
  }
}

#endif  // !_WIN32

#ifdef __linux__

constexpr off_t kLargeSize = off_t{256} << 20;

// A sparse file of kLargeSize bytes with a block of text every 32 MiB, so that a copy cut anywhere differs.
void WriteLargeFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  for (off_t at = 0; at < kLargeSize; at += off_t{32} << 20) {
    const std::string block = "block at " + std::to_string(at) + std::string(4000, '.') + "end";
    ASSERT_EQ(pwrite(fd, block.data(), block.size(), at + (off_t{32} << 20) - 8192), ssize_t(block.size()));
  }
  ASSERT_EQ(ftruncate(fd, kLargeSize), 0);
  close(fd);
}

bool SameContents(const std::string& a, const std::string& b) {
  std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
  std::vector<char> x(1 << 20), y(1 << 20);
  while (first && second) {
    first.read(x.data(), x.size());
    second.read(y.data(), y.size());
    if (first.gcount() != second.gcount() || std::memcmp(x.data(), y.data(), first.gcount()) != 0) return false;
  }
  return first.eof() && second.eof();
}

// The size of the file the process `pid` holds open in `folder` (its temporary); -1 while it holds none.
long long HeldFileSize(pid_t pid, const std::string& folder) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    const std::string held = fs::read_symlink(entry.path(), error).string();
    struct stat info;
    if (!error && held.starts_with(folder + "/") && stat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      return info.st_size;
    }
  }
  return -1;
}

// A move to another file system killed at several points of the copy: the original stays intact, and a file
// under the final name is only ever the complete one. What stays behind is cleared by the next run's
// clean-up, after which the move goes through.
TEST(MoveAcrossDevicesTest, KilledMidCopyNeverLeavesAPartialFileUnderTheFinalName) {
  TempFolder here;
  const std::string there = JoinPath(here.path(), "other device");
  ASSERT_TRUE(MakeFolder(there).ok());
  TmpfsMount tmpfs;
  std::string why;
  if (!tmpfs.Mount(there, &why)) GTEST_SKIP() << why;
  struct stat here_info, there_info;
  ASSERT_EQ(stat(here.path().c_str(), &here_info) | stat(there.c_str(), &there_info), 0);
  ASSERT_NE(here_info.st_dev, there_info.st_dev);

  const std::string reference = JoinPath(here.path(), "reference.iso");
  const std::string source = JoinPath(here.path(), "Big Game (E).iso"), target = JoinPath(there, "Big Game (E).iso");
  WriteLargeFile(reference);
  const std::pair<const char*, std::function<Status()>> ways[] = {
      {"unnamed temporary", [&] { return MoveWithoutReplace(source, target); }},
      {"named temporary", [&] { return CopyAcrossDevices(source, target, TemporaryNaming::kRenameNoReplace); }},
  };
  // Killed once the temporary holds that many bytes; -1: left to finish.
  const std::pair<const char*, long long> moments[] = {{"as the copy starts", 0},
                                                       {"a third in", kLargeSize / 3},
                                                       {"two thirds in", 2 * kLargeSize / 3},
                                                       {"at the last megabyte", kLargeSize - (1 << 20)},
                                                       {"never", -1}};
  for (const auto& [way, move] : ways) {
    for (const auto& [moment, written] : moments) {
      SCOPED_TRACE(std::string(way) + ", killed " + moment);
      fs::remove(target);
      WriteLargeFile(source);
      const pid_t child = fork();
      if (child == 0) _exit(move().ok() ? 0 : 1);
      int status = 0;
      bool ended = false;
      while (!ended && (written < 0 || HeldFileSize(child, there) < written))
        ended = waitpid(child, &status, WNOHANG) == child;
      if (!ended) {
        kill(child, SIGKILL);
        ASSERT_EQ(waitpid(child, &status, 0), child);
      }

      const bool source_stays = PathExists(source), target_stands = PathExists(target);
      EXPECT_TRUE(source_stays || target_stands) << "the file is lost";
      EXPECT_TRUE(!source_stays || SameContents(source, reference)) << "the original is damaged";
      EXPECT_TRUE(!target_stands || SameContents(target, reference)) << "a partial file stands under the final name";
      EXPECT_TRUE(written >= 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !source_stays));

      ASSERT_TRUE(RemoveLeftoverTemporaries(there).ok());
      EXPECT_EQ(Entries(there),
                target_stands ? std::vector<std::string>{"Big Game (E).iso"} : std::vector<std::string>{});
      if (!target_stands) {
        ASSERT_TRUE(MoveWithoutReplace(source, target).ok());
        EXPECT_TRUE(SameContents(target, reference));
      }
    }
  }
}

#endif  // __linux__

}  // namespace
}  // namespace varnel
