#ifndef VARNEL_TESTS_PLATFORM_PLATFORM_TEST_SUPPORT_H_
#define VARNEL_TESTS_PLATFORM_PLATFORM_TEST_SUPPORT_H_

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "gtest/gtest.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "tests/platform/scoped_home.h"

namespace varnel {

#ifdef _WIN32
inline constexpr int kMissing = ERROR_FILE_NOT_FOUND, kTaken = ERROR_ALREADY_EXISTS;
#else
inline constexpr int kMissing = ENOENT, kTaken = EEXIST;
#endif

// A fresh folder under `parent`, removed with everything in it at the end of the test.
struct TempFolder {
  explicit TempFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path())
      : path_(parent / ("varnel-platform-" + std::to_string(std::random_device()()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_, ignored_); }
  std::string path() const { return path_.string(); }
  std::string Touch(const std::string& name, const std::string& contents = "") const {
    std::ofstream(path_ / name, std::ios::binary) << contents;
    return (path_ / name).string();
  }
  std::filesystem::path path_;
  std::error_code ignored_;
};

inline std::string Contents(const std::string& path) {
  std::string text;
  EXPECT_TRUE(ReadWholeFile(path, &text).ok()) << path;
  return text;
}

// Moves "game.nes" (holding `contents`) from `from` to `to` with `move`, then checks that a second
// "game.nes" is refused with both files left as they were, and that a missing file moves nothing.
inline void ExpectMovesWithoutOverwrite(const std::string& from, const std::string& to,
                                        const std::function<Status(const std::string& name)>& move,
                                        const std::string& contents = "first") {
  const std::string source = JoinPath(from, "game.nes"), target = JoinPath(to, "game.nes");
  std::ofstream(source, std::ios::binary) << contents;
  ASSERT_TRUE(move("game.nes").ok());
  EXPECT_FALSE(PathExists(source));
  EXPECT_EQ(Contents(target), contents);

  std::ofstream(source, std::ios::binary) << "second";
  EXPECT_EQ(move("game.nes").code(), kTaken);
  EXPECT_EQ(Contents(source), "second");
  EXPECT_EQ(Contents(target), contents);

  EXPECT_FALSE(move("nothing").ok());
  EXPECT_FALSE(PathExists(JoinPath(to, "nothing")));
}

}  // namespace varnel

#endif  // VARNEL_TESTS_PLATFORM_PLATFORM_TEST_SUPPORT_H_
