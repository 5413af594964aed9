#include "jobs/zip/archiver_command.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

// Hostile names reach the archiver as literal paths: never a wildcard (-spd), never a switch or a list file
// (every path starts with the absolute folder), the data of a link rather than the link (-l, not on Windows),
// no archive when the file cannot be opened (-sse).
TEST(ArchiverCommandTest, ArgumentVectorAndWindowsCommandLinePerName) {
  struct Case {
    const char* file;
    const char* archive;  // in ZippedRoms
  };
  for (const Case& name : {Case{"Game (E).nes", "Game (E).zip"}, Case{"a.b.c", "a.b.zip"}, Case{".nes", ".zip"},
                           Case{"noext", "noext.zip"}, Case{"trailing.", "trailing.zip"},
                           Case{"It's \"Q\" $HOME.smc", "It's \"Q\" $HOME.zip"}, Case{"-rf.gb", "-rf.zip"},
                           Case{"@list.txt", "@list.zip"}, Case{"*", "*.zip"}, Case{"?.nes", "?.zip"},
                           Case{"[!].nes", "[!].zip"}, Case{"-", "-.zip"}, Case{"\xff\xfe.nes", "\xff\xfe.zip"}}) {
    SCOPED_TRACE(name.file);
    const std::vector<std::string> expected = {"/opt/v/7z", "a",    "/r s/ZippedRoms/.varnel-7-0.tmp", "-tzip", "-spd",
                                               "-l",        "-sse", std::string("/r s/") + name.file};
    EXPECT_EQ(ArchiverArguments("/opt/v/7z", "/r s", ".varnel-7-0.tmp", name.file), expected);
    EXPECT_EQ(ArchiverCommandLine("C:\\Tools\\7z", "D:\\Roms", ".varnel-7-0.tmp", name.file),
              std::string("C:\\Tools\\7z a \"D:\\Roms\\ZippedRoms\\.varnel-7-0.tmp\" -tzip -spd -sse \"D:\\Roms\\") +
                  name.file + "\"");
    EXPECT_EQ(ZipArchiveName(name.file), name.archive);
  }
  // A drive root keeps its doubled separator; the program path stays unquoted.
  EXPECT_EQ(ArchiverCommandLine("C:\\Program Files\\V\\7z", "c:\\", ".varnel-1-2.tmp", "g.nes"),
            "C:\\Program Files\\V\\7z a \"c:\\\\ZippedRoms\\.varnel-1-2.tmp\" -tzip -spd -sse \"c:\\\\g.nes\"");
  // The archiver's file loses its ".exe" in the command line only.
  const ProcessCommand command = ArchiverCommand("C:\\V\\7Z.EXE", "D:", ".varnel-1-2.tmp", "g.nes");
  EXPECT_EQ(command.command_line, "C:\\V\\7Z a \"D:\\ZippedRoms\\.varnel-1-2.tmp\" -tzip -spd -sse \"D:\\g.nes\"");
  EXPECT_EQ(command.arguments.front(), "C:\\V\\7Z.EXE");
  EXPECT_EQ(command.show_mode, 0);
  EXPECT_EQ(CommandLineProgram("/usr/bin/7z"), "/usr/bin/7z");
}

}  // namespace
}  // namespace varnel
