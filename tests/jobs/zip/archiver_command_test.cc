#include "jobs/zip/archiver_command.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

struct NameCase {
  const char* file;
  const char* archive;  // the archive's name in ZippedRoms
};

constexpr NameCase kNames[] = {
    {"Game (E).nes", "Game (E).zip"},
    {"a.b.c", "a.b.zip"},
    {".nes", ".zip"},
    {"noext", "noext.zip"},
    {"Super Mario Bros. (W) [!].nes", "Super Mario Bros. (W) [!].zip"},
    {"It's \"Q\" $HOME.smc", "It's \"Q\" $HOME.zip"},
    {"-rf.gb", "-rf.zip"},
    {"trailing.", "trailing.zip"},
};

TEST(ArchiverArgumentsTest, OneVectorPerName) {
  for (const NameCase& name : kNames) {
    SCOPED_TRACE(name.file);
    const std::vector<std::string> expected = {"/opt/v/7z", "a", std::string("/roms/x y/ZippedRoms/") + name.archive,
                                               "-tzip", std::string("/roms/x y/") + name.file};
    EXPECT_EQ(ArchiverArguments("/opt/v/7z", "/roms/x y", name.file), expected);
  }
}

TEST(ArchiverCommandLineTest, CharacterForCharacter) {
  EXPECT_EQ(ArchiverCommandLine("C:\\Tools\\7z", "D:\\Roms", "Game (E).nes"),
            "C:\\Tools\\7z a \"D:\\Roms\\ZippedRoms\\Game (E).zip\" -tzip \"D:\\Roms\\Game (E).nes\"");
  // A drive root keeps its doubled separator; names are not escaped.
  EXPECT_EQ(ArchiverCommandLine("C:\\Program Files\\V\\7z", "c:\\", ".nes"),
            "C:\\Program Files\\V\\7z a \"c:\\\\ZippedRoms\\.zip\" -tzip \"c:\\\\.nes\"");
  EXPECT_EQ(ArchiverCommandLine("C:\\V\\7z", "D:", "noext"),
            "C:\\V\\7z a \"D:\\ZippedRoms\\noext.zip\" -tzip \"D:\\noext\"");
}

TEST(ArchiverCommandLineTest, ProgramLosesItsExeOnly) {
  EXPECT_EQ(CommandLineProgram("C:\\Tools\\7z.exe"), "C:\\Tools\\7z");
  EXPECT_EQ(CommandLineProgram("C:\\Tools\\7Z.EXE"), "C:\\Tools\\7Z");
  EXPECT_EQ(CommandLineProgram("/usr/bin/7z"), "/usr/bin/7z");
  EXPECT_EQ(CommandLineProgram("exe"), "exe");
  const ProcessCommand command = ArchiverCommand("C:\\V\\7z.exe", "D:", "g.nes");
  EXPECT_EQ(command.command_line, "C:\\V\\7z a \"D:\\ZippedRoms\\g.zip\" -tzip \"D:\\g.nes\"");
  EXPECT_EQ(command.show_mode, 0);
}

}  // namespace
}  // namespace varnel
