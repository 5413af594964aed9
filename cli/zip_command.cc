#include "cli/zip_command.h"

#include <cstdio>

#include "cli/exit_codes.h"
#include "cli/terminal_progress.h"
#include "jobs/zip/archiver_lookup.h"
#include "jobs/zip/zip_job.h"
#include "platform/program_folder.h"
#include "platform/stop_signals.h"

namespace varnel {

namespace {

// The zip job on a terminal: its messages on stderr, its progress bar on stderr when that is a terminal.
// Ctrl-C, SIGTERM and SIGHUP stop the job: the archiver is in a process group (Windows: a job object) of its
// own, so the job ends it, with what it started, before the program ends.
class ZipTerminalHost : public ZipHost {
 public:
  explicit ZipTerminalHost(const StopSignals& signals) : signals_(signals) {}

  void ShowMessage(const std::string& text, MessageIcon /*icon*/) override {
    progress_.Erase();
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  void SetProgress(double minimum, double maximum, double value) override { progress_.Set(minimum, maximum, value); }
  bool StopRequested() override { return signals_.caught() != 0; }

 private:
  const StopSignals& signals_;
  TerminalProgress progress_;
};

}  // namespace

CLI::App* AddZipCommand(CLI::App& app, ZipOptions* options) {
  CLI::App* command =
      app.add_subcommand("zip", "Zip every file of a folder into an archive of its own, in FOLDER/ZippedRoms");
  command->add_option("FOLDER", options->folder, "The folder whose files are zipped")->required();
  command
      ->add_option(
          "--archiver", options->archiver,
          std::string("The archiver to run (default: ") + kArchiverFileName + " in varnel-cli's folder, else on PATH)")
      ->type_name("PATH");
  command->footer(
      "A file whose archive already exists is skipped. Ctrl-C stops the job: the file being zipped gets no "
      "archive.\n"
      "Exit codes: 0 done, 1 the job could not run or some file was not zipped, 2 usage error, 128 + the signal\n"
      "number when stopped (130 for Ctrl-C).");
  return command;
}

int RunZipCommand(const ZipOptions& options) {
  ZipJobSettings settings;
  settings.folder = options.folder;
  settings.archiver = options.archiver.empty() ? FindArchiver() : options.archiver;
  if (settings.archiver.empty()) {
    // The zip window's words, then where else varnel-cli looked.
    std::fprintf(stderr, "%s not found in \"%s\" folder nor on PATH: install it or give --archiver\n",
                 kArchiverFileName, ProgramFolder().c_str());
    return kExitFailed;
  }
  const StopSignals signals;
  ZipTerminalHost host(signals);
  const ZipJobResult result = RunZipJob(settings, host);
  if (result.end == ZipJobEnd::kStopped) {
    host.ShowMessage(ZipStoppedMessage(result.zipped), MessageIcon::kNone);
    return kExitSignalBase + signals.caught();
  }
  return result.end == ZipJobEnd::kFinished && result.failed.empty() ? kExitDone : kExitFailed;
}

}  // namespace varnel
