#include "cli/history_command.h"

#include <cstdio>

#include "cli/exit_codes.h"
#include "cli/terminal.h"
#include "cli/terminal_progress.h"
#include "history/history_folder.h"
#include "history/history_text.h"
#include "history/run_history.h"
#include "history/undo.h"
#include "platform/file_ops.h"

namespace varnel {

namespace {

// Checks that `id` names a run as the history does; a usage error, with a message, when it does not.
bool CheckRunId(const std::string& id) {
  if (id.empty() || IsRunId(id)) return true;
  std::fprintf(stderr, "Not a run id: %s (the ids are those `varnel-cli history` prints, YYYYMMDD-HHMMSS)\n",
               PrintableText(id).c_str());
  return false;
}

// An undo on a terminal: the end message on stdout, every other message and the progress bar on stderr. It
// asks no question: an undo never overwrites a file.
class UndoTerminalHost : public TerminalJobHost<UndoHost> {
 public:
  bool Confirm(const std::string&) override { return true; }
};

const char kIdHelp[] =
    "A run's id, as `varnel-cli history` prints it (YYYYMMDD-HHMMSS, -2, -3... for runs of one second)";

}  // namespace

CLI::App* AddHistoryCommand(CLI::App& app, HistoryOptions* options) {
  CLI::App* command = app.add_subcommand("history", "List the real runs of every job, or the files of one run");
  CLI::Option* id = command->add_option("ID", options->id, kIdHelp);
  command->add_option("--forget", options->forget, "Remove the run ID from the history")->type_name("ID")->excludes(id);
  command->footer(
      "Without ID: one line per run, newest first: id, start (local time), job (clean-delete, clean-move,\n"
      "clean-trash, alpha, zip, undo), folder, files done, files failed, separated by TABs.\n"
      "With ID: one line per file of the run: name, action, destination, result.\n"
      "Names show TAB, CR, LF and backslash as \\t, \\r, \\n, \\\\ and bytes that are not UTF-8 as \\xHH.\n"
      "The history keeps the 200 newest runs in " +
      HistoryFolderPath() +
      ".\n"
      "Exit codes: 0 done, 1 no such run or the history cannot be read, 2 usage error.");
  return command;
}

int RunHistoryCommand(const HistoryOptions& options) {
  if (!CheckRunId(options.id) || !CheckRunId(options.forget)) return kExitUsage;
  const std::string folder = HistoryFolderPath();
  if (!options.forget.empty()) {
    if (!PathExists(RunFilePath(folder, options.forget))) {
      std::fprintf(stderr, "No run %s in the history.\n", options.forget.c_str());
      return kExitFailed;
    }
    if (const Status forgotten = ForgetRun(folder, options.forget); !forgotten.ok()) {
      std::fprintf(stderr, "Cannot forget %s: %s\n", options.forget.c_str(), forgotten.message().c_str());
      return kExitFailed;
    }
    return kExitDone;
  }
  if (!options.id.empty()) {
    RecordedRun run;
    if (!PathExists(RunFilePath(folder, options.id))) {
      std::fprintf(stderr, "No run %s in the history.\n", options.id.c_str());
      return kExitFailed;
    }
    if (const Status read = ReadRun(folder, options.id, &run); !read.ok()) {
      std::fprintf(stderr, "Cannot read the history of %s: %s\n", options.id.c_str(), read.message().c_str());
      return kExitFailed;
    }
    for (const RecordedFile& file : run.files) PrintLine(FileLine(file));
    return kExitDone;
  }
  Status listed;
  for (const RunSummary& run : ReadRunSummaries(folder, &listed)) PrintLine(RunLine(run));
  if (!listed.ok()) {
    std::fprintf(stderr, "Cannot read %s: %s\n", folder.c_str(), listed.message().c_str());
    return kExitFailed;
  }
  return kExitDone;
}

CLI::App* AddUndoCommand(CLI::App& app, UndoOptionsOnCommandLine* options) {
  CLI::App* command = app.add_subcommand("undo", "Take a real run back: its files go back to their place");
  command->add_option("ID", options->id, std::string(kIdHelp) + "; without it, the newest run not yet undone");
  command->footer(
      "Moved, sorted and trashed files go back to their place, the archives of a zip run are removed, then the\n"
      "folders the run created when they are empty; logfile.txt stays as the run left it. A file comes back only\n"
      "when it is unchanged since the run (size, time, inode) and its place is free: nothing is overwritten.\n"
      "Deleted files cannot come back. The undo is itself a run of the history, which can be undone.\n"
      "Exit codes: 0 every file came back, 1 otherwise, 2 usage error.");
  return command;
}

int RunUndoCommand(const UndoOptionsOnCommandLine& options) {
  if (!CheckRunId(options.id)) return kExitUsage;
  UndoOptions undo;
  undo.ask = false;
  RunSummary run;
  if (const Status found = FindRunToUndo(undo.place.folder, options.id, &run); !found.ok()) {
    std::fprintf(stderr, "%s\n", found.message().c_str());
    return kExitFailed;
  }
  std::printf("Undoing %s: the %s run of %s in %s\n", run.id.c_str(), std::string(JobName(run.job)).c_str(),
              std::string(LocalTimeOf(run.started)).c_str(), PrintableText(run.folder).c_str());
  FlushOutput();
  undo.id = run.id;
  UndoTerminalHost host;
  return UndoRun(undo, host).all_back() ? kExitDone : kExitFailed;
}

}  // namespace varnel
