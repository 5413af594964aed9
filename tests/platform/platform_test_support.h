#ifndef VARNEL_TESTS_PLATFORM_PLATFORM_TEST_SUPPORT_H_
#define VARNEL_TESTS_PLATFORM_PLATFORM_TEST_SUPPORT_H_

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

#include <fstream>
#include <functional>
#include <string>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "tests/support/files.h"
#include "tests/support/scoped_home.h"
#include "tests/support/temp_folder.h"

namespace varnel {

#ifdef _WIN32
inline constexpr int kMissing = ERROR_FILE_NOT_FOUND, kTaken = ERROR_ALREADY_EXISTS;
#else
inline constexpr int kMissing = ENOENT, kTaken = EEXIST;
#endif

// Moves "game.nes" (holding `contents`) from `from` to `to` with `move`, then checks that a second
// "game.nes" is refused with both files left as they were, and that a missing file moves nothing.
inline void ExpectMovesWithoutOverwrite(const std::string& from, const std::string& to,
                                        const std::function<Status(const std::string& name)>& move,
                                        const std::string& contents = "first") {
  const std::string source = JoinPath(from, "game.nes"), target = JoinPath(to, "game.nes");
  WriteFile(source, contents);
  ASSERT_TRUE(move("game.nes").ok());
  EXPECT_FALSE(PathExists(source));
  EXPECT_EQ(ReadFile(target), contents);

  WriteFile(source, "second");
  EXPECT_EQ(move("game.nes").code(), kTaken);
  EXPECT_EQ(ReadFile(source), "second");
  EXPECT_EQ(ReadFile(target), contents);

  EXPECT_FALSE(move("nothing").ok());
  EXPECT_FALSE(PathExists(JoinPath(to, "nothing")));
}

}  // namespace varnel

#endif  // VARNEL_TESTS_PLATFORM_PLATFORM_TEST_SUPPORT_H_
