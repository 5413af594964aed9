#include "cli/alpha_command.h"

#include <cstdio>

#include "cli/exit_codes.h"
#include "cli/terminal_progress.h"
#include "jobs/alpha/alpha_job.h"

namespace varnel {

namespace {

// The alphabetical job on a terminal: the end message (the job's only information message) on stdout,
// "Empty directory" and the stop messages on stderr, the progress bar on stderr when that is a terminal.
using AlphaTerminalHost = TerminalJobHost<AlphaHost>;

}  // namespace

CLI::App* AddAlphaCommand(CLI::App& app, AlphaOptions* options) {
  CLI::App* command = app.add_subcommand(
      "alpha", "Move every file of a folder into FOLDER/AlphaFolders/A to Z, or # for other initials");
  command->add_option("FOLDER", options->folder, "The folder whose files are sorted")->required();
  command->footer(
      "logfile.txt stays where it is; a file of the same name already in a letter folder is never overwritten.\n"
      "Exit codes: 0 done, 1 the job could not run or some file was not moved, 2 usage error.");
  return command;
}

int RunAlphaCommand(const AlphaOptions& options) {
  AlphaTerminalHost host;
  const AlphaResult result = RunAlphaFolders(options.folder, host);
  return result.all_moved() ? kExitDone : kExitFailed;
}

}  // namespace varnel
