#include "jobs/zip/archiver_command.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(ArchiverCommandTest, ArgumentVectorAndWindowsCommandLinePerName) {
  struct Case {
    const char* file;
    const char* archive;  // in ZippedRoms
  };
  for (const Case& name : {Case{"Game (E).nes", "Game (E).zip"}, Case{"a.b.c", "a.b.zip"}, Case{".nes", ".zip"},
                           Case{"noext", "noext.zip"}, Case{"trailing.", "trailing.zip"},
                           Case{"It's \"Q\" $HOME.smc", "It's \"Q\" $HOME.zip"}, Case{"-rf.gb", "-rf.zip"}}) {
    SCOPED_TRACE(name.file);
    const std::vector<std::string> expected = {"/opt/v/7z", "a", std::string("/r s/ZippedRoms/") + name.archive,
                                               "-tzip", std::string("/r s/") + name.file};
    EXPECT_EQ(ArchiverArguments("/opt/v/7z", "/r s", name.file), expected);
    EXPECT_EQ(ArchiverCommandLine("C:\\Tools\\7z", "D:\\Roms", name.file),
              std::string("C:\\Tools\\7z a \"D:\\Roms\\ZippedRoms\\") + name.archive + "\" -tzip \"D:\\Roms\\" +
                  name.file + "\"");
  }
  // A drive root keeps its doubled separator; the program path stays unquoted.
  EXPECT_EQ(ArchiverCommandLine("C:\\Program Files\\V\\7z", "c:\\", "g.nes"),
            "C:\\Program Files\\V\\7z a \"c:\\\\ZippedRoms\\g.zip\" -tzip \"c:\\\\g.nes\"");
  // The archiver's file loses its ".exe" in the command line only.
  EXPECT_EQ(ArchiverCommand("C:\\V\\7Z.EXE", "D:", "g.nes").command_line,
            "C:\\V\\7Z a \"D:\\ZippedRoms\\g.zip\" -tzip \"D:\\g.nes\"");
  EXPECT_EQ(CommandLineProgram("/usr/bin/7z"), "/usr/bin/7z");
}

}  // namespace
}  // namespace varnel
