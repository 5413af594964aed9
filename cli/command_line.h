#ifndef VARNEL_CLI_COMMAND_LINE_H_
#define VARNEL_CLI_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace varnel {

// The arguments after the program name, last first as CLI::App::parse(std::vector<std::string>&&) takes
// them; on Windows taken from the wide command line as UTF-8 instead of `argv`. Each "--name=" is split into "--name"
// and an empty value, so that it stands for an empty text as in other GNU-style programs (the parser would otherwise
// take the next argument as its value).
std::vector<std::string> ArgumentsForParser(int argc, const char* const* argv);

}  // namespace varnel

#endif  // VARNEL_CLI_COMMAND_LINE_H_
