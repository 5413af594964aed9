// Child processes, requests to stop, and the file operations the zip job relies on.
#ifndef _WIN32
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#endif

#include <filesystem>
#include <set>
#include <string>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/process.h"
#include "platform/stop_signals.h"
#include "tests/platform/platform_test_support.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

TEST(FileOpsTest, AbsolutePathsNeverStartWithADashOrAnAt) {
  const std::string here = fs::current_path().string();
  for (const char* relative : {"-roms", "@roms"}) EXPECT_EQ(AbsolutePath(relative), JoinPath(here, relative));
#ifdef _WIN32
  EXPECT_EQ(AbsolutePath("D:\\Roms\\-x"), "D:\\Roms\\-x");
#else
  // Nothing else changes: no link is resolved, no "." taken out.
  EXPECT_EQ(AbsolutePath("roms/./-x"), here + "/roms/./-x");
  EXPECT_EQ(AbsolutePath("/r s/-x"), "/r s/-x");
#endif
}

TEST(FileOpsTest, RegularFilesTheirSizeAndFlush) {
  TempFolder folder;
  const std::string file = folder.Touch("game.nes", "12345");
  const std::string sub = JoinPath(folder.path(), "sub");
  ASSERT_TRUE(MakeFolder(sub).ok());
  std::uint64_t size = 0;
  EXPECT_TRUE(RegularFileSize(file, &size));
  EXPECT_EQ(size, 5u);
  EXPECT_FALSE(RegularFileSize(sub, &size) || RegularFileSize(JoinPath(folder.path(), "missing"), &size));
  EXPECT_TRUE(CheckRegularFile(file).ok());
  EXPECT_EQ(CheckRegularFile(sub).message(), "Not a regular file");
  EXPECT_EQ(CheckRegularFile(JoinPath(folder.path(), "missing")).code(), kMissing);
  EXPECT_TRUE(FlushFile(file).ok());
  EXPECT_TRUE(FlushFolder(folder.path()).ok());
  EXPECT_FALSE(FlushFile(JoinPath(folder.path(), "missing")).ok());
#ifndef _WIN32
  // A link is looked at itself for its size and never opened to flush; a check follows it.
  const std::string link = JoinPath(folder.path(), "link.nes");
  fs::create_symlink(file, link);
  EXPECT_FALSE(RegularFileSize(link, &size));
  EXPECT_FALSE(FlushFile(link).ok());
  EXPECT_TRUE(CheckRegularFile(link).ok());
  const std::string fifo = JoinPath(folder.path(), "fifo.nes");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(CheckRegularFile(fifo).message(), "Not a regular file");
  EXPECT_EQ(FlushFile(fifo).message(), "Not a regular file");  // never waits for a writer
#endif
}

TEST(FileOpsTest, NewTemporaryNamesAreNeverTheSame) {
  std::set<std::string> names;
  for (int i = 0; i < 100; ++i) {
    const std::string name = NewTemporaryName();
    EXPECT_TRUE(IsMoveTemporaryName(name)) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 100u);
}

#ifndef _WIN32

// Each request to stop is caught, told by its number and through the descriptor; the earlier handling
// comes back afterwards.
TEST(StopSignalsTest, CatchesEachRequestAndGivesTheEarlierHandlingBack) {
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(number);
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before = {};
    ::sigaction(number, &ignore, &before);
    {
      const StopSignals signals;
      EXPECT_EQ(signals.caught(), 0);
      ASSERT_GE(signals.notify_fd(), 0);
      pollfd entry = {signals.notify_fd(), POLLIN, 0};
      EXPECT_EQ(::poll(&entry, 1, 0), 0);
      ::raise(number);
      ::raise(SIGHUP);  // a later request does not replace the first
      EXPECT_EQ(signals.caught(), number);
      EXPECT_EQ(::poll(&entry, 1, 0), 1);
    }
    struct sigaction after = {};
    ::sigaction(number, &before, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
  }
}

// The processor time of a busy child moves, that of a sleeping one does not; once ended there is none.
TEST(ChildProcessTest, ProcessorTimeTellsWorkFromWaiting) {
  TempFolder folder;
  const std::string script =
      folder.Touch("child", "#!/bin/sh\ncase $1 in busy) while :; do :; done;; esac\nexec sleep 300\n");
  fs::permissions(script, fs::perms::owner_all);
  for (const bool busy : {true, false}) {
    SCOPED_TRACE(busy ? "busy" : "sleeping");
    ChildProcess child;
    ASSERT_TRUE(ChildProcess::Start({{script, busy ? "busy" : "sleep"}, script, 0}, &child).ok());
    bool ended = false;
    ASSERT_TRUE(child.Wait(500, &ended).ok());  // lets it start
    const std::optional<std::uint64_t> first = child.ProcessorTime();
    ASSERT_TRUE(first.has_value());
    ASSERT_TRUE(child.Wait(500, &ended).ok());
    EXPECT_EQ(child.ProcessorTime() != first, busy);
    child.Kill();
    EXPECT_FALSE(child.ProcessorTime().has_value());
  }
}

#endif

}  // namespace
}  // namespace varnel
