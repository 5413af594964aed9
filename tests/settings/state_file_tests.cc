#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <optional>

#include "gtest/gtest.h"
#include "settings/state_file.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable (unsets it for nothing) for as long as it lives.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
#ifdef _WIN32
    _putenv_s(name_, value ? value->c_str() : "");
#else
    value ? setenv(name_, value->c_str(), 1) : unsetenv(name_);
#endif
  }
  const char* name_;
  std::optional<std::string> old_;
};

// Every byte comes back; the text written is valid UTF-8 without control bytes, and readable where the value
// was.
TEST(StateValueTest, EscapingKeepsEveryByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"/home/me/roms", "/home/me/roms"},
      {"C:\\Roms\\NES", "C:\\\\Roms\\\\NES"},
      {"/roms/R\xc3\xa9tro \xe2\x82\xac \xf0\x9f\x8e\xae", "/roms/R\xc3\xa9tro \xe2\x82\xac \xf0\x9f\x8e\xae"},
      {"/roms/\xff\xfe", "/roms/\\xFF\\xFE"},
      {"a\nb\rc\td\x7f", "a\\x0Ab\\x0Dc\\x09d\\x7F"},
      {std::string("nul\0byte", 8), "nul\\x00byte"},
      {"key=value \\x41", "key=value \\\\x41"},
      {"\xc0\x80 \xed\xa0\x80 \xf5\x80\x80\x80 \xe2\x82", "\\xC0\\x80 \\xED\\xA0\\x80 \\xF5\\x80\\x80\\x80 \\xE2\\x82"},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(EscapeStateValue(bytes), text);
    EXPECT_EQ(UnescapeStateValue(text), bytes) << text;
  }
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(UnescapeStateValue(EscapeStateValue(all + all)), all + all);
  // A backslash that starts no escape stays as it is.
  for (const char* text : {"\\", "a\\", "\\q", "\\x4", "\\xG1"}) EXPECT_EQ(UnescapeStateValue(text), text);
}

TEST(StateFileTest, ParsesLinesAndWritesThemInKeyOrder) {
  const StateFile state =
      StateFile::Parse("b=2\r\na=1\n# a comment\n=no key\nno equals sign\nc=x=y\nd=\\xFF\na=again\ne=");
  EXPECT_EQ(state.Get("a"), "again");
  EXPECT_EQ(state.Get("c"), "x=y");
  EXPECT_EQ(state.Get("d"), "\xff");
  EXPECT_EQ(state.Get("e"), "");
  EXPECT_EQ(state.Get("# a comment"), std::nullopt);
  EXPECT_EQ(state.Text(), "a=again\nb=2\nc=x=y\nd=\\xFF\ne=\n");
  EXPECT_EQ(StateFile::Parse(state.Text()).Text(), state.Text());
}

// An update creates the file and its folders, keeps the values it does not set, and never replaces a file it
// cannot read.
TEST(StateFileTest, UpdateKeepsOtherValuesAndRefusesAnUnreadableFile) {
  TempFolder folder;
  const std::string path = folder / "state/varnel/state.ini";
  StateFile state;
  ASSERT_TRUE(LoadStateFile(path, &state).ok());  // none yet
  EXPECT_EQ(state.Text(), "");
  ASSERT_TRUE(UpdateStateFile(path, {{"Form1.go_folder", "/roms/\xff"}, {"Form2.chosen_folder", "/a"}}).ok());
  ASSERT_TRUE(UpdateStateFile(path, {{"Form2.chosen_folder", "/b"}, {"Language", "fr"}}).ok());
  EXPECT_EQ(ReadFile(path), "Form1.go_folder=/roms/\\xFF\nForm2.chosen_folder=/b\nLanguage=fr\n");
  ASSERT_TRUE(LoadStateFile(path, &state).ok());
  EXPECT_EQ(state.Get("Form1.go_folder"), "/roms/\xff");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "state/varnel"), fs::directory_iterator()), 1);

  const std::string a_folder = folder / "a folder";
  fs::create_directory(a_folder);
  EXPECT_FALSE(UpdateStateFile(a_folder, {{"a", "b"}}).ok());
  EXPECT_TRUE(fs::is_directory(a_folder));
  EXPECT_FALSE(UpdateStateFile("", {{"a", "b"}}).ok());
#ifndef _WIN32
  const std::string fifo = folder / "fifo";  // never waited on
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(LoadStateFile(fifo, &state).ok());
  EXPECT_FALSE(UpdateStateFile(fifo, {{"a", "b"}}).ok());
  EXPECT_TRUE(fs::is_fifo(fifo));
#endif
}

TEST(StateFilePathTest, FollowsTheSystemsStateFolder) {
#ifdef _WIN32
  {
    ScopedVariable local("LOCALAPPDATA", "C:\\Users\\me\\AppData\\Local");
    EXPECT_EQ(StateFilePath(), "C:\\Users\\me\\AppData\\Local\\Varnel\\state.ini");
  }
  ScopedVariable local("LOCALAPPDATA", std::nullopt);
  ScopedVariable profile("USERPROFILE", "C:\\Users\\me");
  EXPECT_EQ(StateFilePath(), "C:\\Users\\me\\AppData\\Local\\Varnel\\state.ini");
#else
  ScopedVariable home("HOME", "/home/me");
  const std::pair<std::optional<std::string>, std::string> cases[] = {
      {"/var/state", "/var/state/varnel/state.ini"},
      {"relative/state", "/home/me/.local/state/varnel/state.ini"},  // not absolute: not taken
      {"", "/home/me/.local/state/varnel/state.ini"},
      {std::nullopt, "/home/me/.local/state/varnel/state.ini"},
  };
  for (const auto& [state_home, path] : cases) {
    ScopedVariable variable("XDG_STATE_HOME", state_home);
    EXPECT_EQ(StateFilePath(), path) << state_home.value_or("(unset)");
  }
  ScopedVariable no_state("XDG_STATE_HOME", std::nullopt);
  ScopedVariable no_home("HOME", std::nullopt);
  EXPECT_EQ(StateFilePath(), "");
#endif
}

}  // namespace
}  // namespace varnel
