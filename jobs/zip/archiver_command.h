#ifndef VARNEL_JOBS_ZIP_ARCHIVER_COMMAND_H_
#define VARNEL_JOBS_ZIP_ARCHIVER_COMMAND_H_

#include <string>
#include <string_view>
#include <vector>

#include "common/well_known_names.h"
#include "platform/process.h"

namespace varnel {

// The name of the archive of `file_name`, without ".zip": everything before its last "." ("a.b.c" gives
// "a.b", ".nes" gives ""), or the whole name when it holds no ".".
std::string ZipBaseName(std::string_view file_name);

// The archive's file name: ZipBaseName and ".zip".
std::string ZipArchiveName(std::string_view file_name);

// The archiver's arguments that zip the file `file_name` of `folder` alone into the new archive
// <folder>/ZippedRoms/<temporary> (a name with an extension, so that the archiver adds none): archiver, "a",
// the archive, "-tzip", "-spd" (names are never wildcards), "-l" (the data a link points to, never the link),
// "-sse" (no archive when the file cannot be opened), the file. `folder` must be absolute: then no argument
// that names a file starts with "-" or "@". Paths are plain concatenations with "/", so names pass through
// unchanged.
std::vector<std::string> ArchiverArguments(std::string_view archiver, std::string_view folder,
                                           std::string_view temporary, std::string_view file_name);

// The same command as a Windows command line: `program`, " a ", the quoted archive path
// <folder>\ZippedRoms\<temporary>, " -tzip -spd -sse ", the quoted source path <folder>\<file>. No "-l": 7-Zip
// for Windows has no such switch and stores a link's data unless told otherwise. `program` is taken as it is,
// unquoted: the program folder followed by "\7z".
std::string ArchiverCommandLine(std::string_view program, std::string_view folder, std::string_view temporary,
                                std::string_view file_name);

// `archiver` (a path to the archiver's file) as the first token of a Windows command line: without a final
// ".exe" in any case, which the system adds back ("C:\Tools\7z.exe" gives "C:\Tools\7z").
std::string CommandLineProgram(std::string_view archiver);

// Both forms of the command for one file (each platform reads its own), the archiver's window hidden.
ProcessCommand ArchiverCommand(const std::string& archiver, std::string_view folder, std::string_view temporary,
                               std::string_view file_name);

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_ARCHIVER_COMMAND_H_
