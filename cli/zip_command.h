#ifndef VARNEL_CLI_ZIP_COMMAND_H_
#define VARNEL_CLI_ZIP_COMMAND_H_

#include <CLI/CLI.hpp>
#include <string>

namespace varnel {

// The command line of `varnel-cli zip`.
struct ZipOptions {
  std::string folder;
  std::string archiver;  // empty: looked for as the zip window does, then on PATH
};

// Adds the subcommand `zip FOLDER [--archiver PATH]` to `app`; parsing fills `*options`, which must outlive
// `app`.
CLI::App* AddZipCommand(CLI::App& app, ZipOptions* options);

// Zips every file of options.folder into FOLDER/ZippedRoms on the terminal and returns the exit code.
int RunZipCommand(const ZipOptions& options);

}  // namespace varnel

#endif  // VARNEL_CLI_ZIP_COMMAND_H_
