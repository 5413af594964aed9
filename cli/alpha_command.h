#ifndef VARNEL_CLI_ALPHA_COMMAND_H_
#define VARNEL_CLI_ALPHA_COMMAND_H_

#include <CLI/CLI.hpp>
#include <string>

namespace varnel {

// The command line of `varnel-cli alpha`.
struct AlphaOptions {
  std::string folder;
};

// Adds the subcommand `alpha FOLDER` to `app`; parsing fills `*options`, which must outlive `app`.
CLI::App* AddAlphaCommand(CLI::App& app, AlphaOptions* options);

// Moves every file of options.folder into FOLDER/AlphaFolders/<letter> on the terminal and returns the exit
// code: the end message on stdout, every other message on stderr.
int RunAlphaCommand(const AlphaOptions& options);

}  // namespace varnel

#endif  // VARNEL_CLI_ALPHA_COMMAND_H_
