#ifndef VARNEL_CLI_TERMINAL_H_
#define VARNEL_CLI_TERMINAL_H_

#include <cstdio>

namespace varnel {

// True when `stream` (stdin, stdout, stderr) is attached to a terminal.
bool IsTerminal(std::FILE* stream);

}  // namespace varnel

#endif  // VARNEL_CLI_TERMINAL_H_
