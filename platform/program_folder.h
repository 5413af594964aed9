#ifndef VARNEL_PLATFORM_PROGRAM_FOLDER_H_
#define VARNEL_PLATFORM_PROGRAM_FOLDER_H_

#include <string>

namespace varnel {

// The folder that holds the running program's executable, without a trailing separator
// (/proc/self/exe on Linux, GetModuleFileNameW on Windows). Empty when the system cannot tell.
std::string ProgramFolder();

// The folder of the program's own state between runs (the state file, the history): varnel in $XDG_STATE_HOME
// when that holds an absolute path, else in ~/.local/state; on Windows Varnel in the local application data
// folder (%LOCALAPPDATA%, else the profile's AppData\Local). Empty when neither folder is known.
std::string StateFolderPath();

}  // namespace varnel

#endif  // VARNEL_PLATFORM_PROGRAM_FOLDER_H_
