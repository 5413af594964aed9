#ifndef VARNEL_CLI_TERMINAL_H_
#define VARNEL_CLI_TERMINAL_H_

#include <cstdio>
#include <string_view>

namespace varnel {

// True when `stream` (stdin, stdout, stderr) is attached to a terminal.
bool IsTerminal(std::FILE* stream);

// Flushes the standard output; the reason of its first failure is kept for OutputFailure().
void FlushOutput();
// Writes `line` and a line feed to the standard output; the reason of a first failure is kept, as FlushOutput
// keeps it (a long listing fails as the stream writes its buffer, long before the last flush).
void PrintLine(std::string_view line);
// Flushes the standard output, and tells the reason (an errno value) it failed to write anything a command
// printed, 0 when all of it was written. -1: it failed and the system did not say why.
int OutputFailure();

}  // namespace varnel

#endif  // VARNEL_CLI_TERMINAL_H_
