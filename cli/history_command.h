#ifndef VARNEL_CLI_HISTORY_COMMAND_H_
#define VARNEL_CLI_HISTORY_COMMAND_H_

#include <CLI/CLI.hpp>
#include <string>

namespace varnel {

// The command lines of `varnel-cli history` and `varnel-cli undo`.
struct HistoryOptions {
  std::string id;
  std::string forget;
};
struct UndoOptionsOnCommandLine {
  std::string id;
};

// Adds the subcommand `history [ID] [--forget ID]` to `app`; parsing fills `*options`, which must outlive `app`.
CLI::App* AddHistoryCommand(CLI::App& app, HistoryOptions* options);
// Prints the runs kept, newest first, one line each; with an id, that run's files; with --forget, removes the
// run. Returns the exit code.
int RunHistoryCommand(const HistoryOptions& options);

// Adds the subcommand `undo [ID]` to `app`.
CLI::App* AddUndoCommand(CLI::App& app, UndoOptionsOnCommandLine* options);
// Takes the run back (without an id, the newest run not yet undone, named first) and returns the exit code: 0
// when every file came back, 1 otherwise.
int RunUndoCommand(const UndoOptionsOnCommandLine& options);

}  // namespace varnel

#endif  // VARNEL_CLI_HISTORY_COMMAND_H_
