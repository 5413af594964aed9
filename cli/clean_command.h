#ifndef VARNEL_CLI_CLEAN_COMMAND_H_
#define VARNEL_CLI_CLEAN_COMMAND_H_

#include <CLI/CLI.hpp>

#include "cli/clean_options.h"

namespace varnel {

// Adds the subcommand `clean FOLDER [options]` to `app`; parsing fills `*options`, which must outlive `app`.
CLI::App* AddCleanCommand(CLI::App& app, CleanOptions* options);

// Runs one cleaning of options.folder on the terminal and returns the exit code.
int RunCleanCommand(const CleanOptions& options);

}  // namespace varnel

#endif  // VARNEL_CLI_CLEAN_COMMAND_H_
