// varnel-cli: the jobs of Varnel from a terminal, over the same engine and job logic as the windows.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstring>

#include "cli/alpha_command.h"
#include "cli/clean_command.h"
#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/history_command.h"
#include "cli/terminal.h"
#include "cli/zip_command.h"

namespace {

// What a command printed must have reached its reader: output lost to a full disk or a failing device is a
// failure with its reason, never a success.
int WithOutputWritten(int code) {
  const int failure = varnel::OutputFailure();
  if (failure == 0 || code != varnel::kExitDone) return code;  // a failed command said why already
  std::fprintf(stderr, "Cannot write to the standard output: %s\n",
               failure > 0 ? std::strerror(failure) : "a write failed");
  return varnel::kExitFailed;
}

int RunCommand(int argc, char** argv) {
  CLI::App app(
      "Varnel's jobs from a terminal: clean a romset by file names, sort a folder into A-Z folders, zip each file of a "
      "folder; list the real runs and take one back.",
      "varnel-cli");
  app.set_version_flag("--version", std::string("varnel-cli ") + VARNEL_VERSION);
  app.require_subcommand(1);
  app.footer(
      "Every real run is recorded in the history (varnel-cli history) and can be taken back (varnel-cli undo).\n"
      "Exit codes: 0 done, 1 the job could not run or some file failed (undo: some file did not come back),\n"
      "2 usage error, or (clean) a configuration file that cannot be used, 128 + the signal number for a zip\n"
      "job stopped by Ctrl-C (130), SIGTERM or SIGHUP.\n"
      "Run 'varnel-cli SUBCOMMAND --help' for the options of one job.");

  // One subcommand per job: each adds its options here and runs below when it was chosen.
  varnel::CleanOptions clean_options;
  const CLI::App* clean = varnel::AddCleanCommand(app, &clean_options);
  varnel::ZipOptions zip_options;
  const CLI::App* zip = varnel::AddZipCommand(app, &zip_options);
  varnel::AlphaOptions alpha_options;
  const CLI::App* alpha = varnel::AddAlphaCommand(app, &alpha_options);
  varnel::HistoryOptions history_options;
  const CLI::App* history = varnel::AddHistoryCommand(app, &history_options);
  varnel::UndoOptionsOnCommandLine undo_options;
  const CLI::App* undo = varnel::AddUndoCommand(app, &undo_options);

  try {
    app.parse(varnel::ArgumentsForParser(argc, argv));
  } catch (const CLI::ParseError& e) {
    // --help and --version end here too, with the exit code 0.
    return app.exit(e) == 0 ? varnel::kExitDone : varnel::kExitUsage;
  }

  if (clean->parsed()) return varnel::RunCleanCommand(clean_options);
  if (zip->parsed()) return varnel::RunZipCommand(zip_options);
  if (alpha->parsed()) return varnel::RunAlphaCommand(alpha_options);
  if (history->parsed()) return varnel::RunHistoryCommand(history_options);
  if (undo->parsed()) return varnel::RunUndoCommand(undo_options);
  return varnel::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) { return WithOutputWritten(RunCommand(argc, argv)); }
