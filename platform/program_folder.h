#ifndef VARNEL_PLATFORM_PROGRAM_FOLDER_H_
#define VARNEL_PLATFORM_PROGRAM_FOLDER_H_

#include <string>

namespace varnel {

// The folder that holds the running program's executable, without a trailing separator
// (/proc/self/exe on Linux, GetModuleFileNameW on Windows). Empty when the system cannot tell.
std::string ProgramFolder();

}  // namespace varnel

#endif  // VARNEL_PLATFORM_PROGRAM_FOLDER_H_
