#include "cli/clean_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/exit_codes.h"
#include "cli/plan_output.h"
#include "cli/terminal.h"
#include "cli/terminal_host.h"
#include "engine/cleaning_run.h"
#include "platform/text_file.h"

namespace varnel {

namespace {

// Adds a list option whose text, when given, replaces the box's text ("" stands for an empty box).
void AddListOption(CLI::App* command, const std::string& name, std::optional<std::string>* target,
                   const std::string& description) {
  command
      ->add_option_function<std::string>(
          name, [target](const std::string& text) { *target = text; }, description)
      ->type_name("TEXT")
      ->expected(1);
}

// Copies the log's bytes to stdout; false, with a message, when it cannot be read.
bool PrintLog(const std::string& path) {
  std::string contents;
  const Status status = ReadWholeFile(path, &contents);
  if (!status.ok()) {
    std::fprintf(stderr, "%s\n", status.ToString().c_str());
    return false;
  }
  std::fwrite(contents.data(), 1, contents.size(), stdout);
  return true;
}

// Prints the plan of settings.RomFolder, game after game, one line per file; touches nothing.
int PrintPlan(const RunSettings& settings, PlanFormat format) {
  CleaningPlan plan;
  if (const Status status = PlanFolder(settings, &plan); !status.ok()) {
    std::fprintf(stderr, "%s\n", status.ToString().c_str());
    return kExitFailed;
  }
  std::string text;
  int error = 0;
  const auto write = [&] {
    if (error == 0 && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) error = errno;
    text.clear();
  };
  for (const std::uint32_t listed : plan.members) {
    AppendPlanLine(plan, listed, format, &text);
    if (text.size() >= 64 * 1024) write();
  }
  write();
  if (std::fflush(stdout) != 0 && error == 0) error = errno;
  if (error == 0) return kExitDone;
  std::fprintf(stderr, "Cannot write the plan to the standard output: %s\n", std::strerror(error));
  return kExitFailed;
}

}  // namespace

CLI::App* AddCleanCommand(CLI::App& app, CleanOptions* options) {
  CLI::App* command = app.add_subcommand("clean", "Clean a romset by file names (a test run unless --apply is given)");
  command->footer(
      "Each game's wanted dumps are kept; the others are deleted, moved into FOLDER/moved with --move, or put\n"
      "in the desktop's trash with --trash (no question then: they can be restored from there).\n"
      "Every decision is written to FOLDER/logfile.txt, and its summary line to stdout.\n"
      "A list option given an empty text (--keep \"\" or --keep=) stands for an empty box. One that is not\n"
      "given takes its text from the cleaning window's configuration file: --config FILE, else\n"
      "$VARNEL_CONFIG_FILE, else\n  " +
      ConfigFilePath() +
      "\n(while this last one does not exist: the window's defaults). A fourth line in the file keeps\n"
      "translations with its codes. The file is read whenever it exists, even when every list is given.\n"
      "Exit codes: 0 done, 1 the job could not run or some file failed, 2 usage error, or a configuration\n"
      "file that cannot be used (named but missing, unreadable, or fewer than three lines).");
  command->add_option("FOLDER", options->folder, "The romset folder to clean")->required();

  AddListOption(command, "--zones", &options->zones, "Zone tags in priority order, comma-separated, e.g. \"(e),(u)\"");
  AddListOption(command, "--keep", &options->keep, "Patterns of files never touched, comma-separated");
  AddListOption(command, "--exclude", &options->exclude, "Patterns of files always disposed of, comma-separated");
  CLI::Option* translations = command->add_option_function<std::string>(
      "--translations", [options](const std::string& text) { options->translations = text; },
      "Keep translated dumps: the best one per wanted language code,\ne.g. \"fre,eng\"");
  translations->type_name("TEXT")->expected(1);
  command->add_flag("--no-translations", options->no_translations, "Do not keep translated dumps")
      ->excludes(translations);

  command
      ->add_option_function<std::string>(
          "--mode", [options](const std::string& name) { options->mode = *ZoneModeFromName(name); },
          "How dumps are chosen by zone:\n"
          "  verified-first or 2: priority to [!] instead of zones (default)\n"
          "  all-selected or 1:   keep all selected zones\n"
          "  first-selected or 3: keep the 1st met of the selected zones\n"
          "  all-zones or 4:      keep all zones")
      ->type_name("MODE")
      ->check(CLI::Validator(
          [](std::string& name) {
            return ZoneModeFromName(name).has_value()
                       ? std::string()
                       : "must be verified-first, all-selected, first-selected, all-zones or 1-4";
          },
          "", "MODE"));

  CLI::Option* apply = command->add_flag("--apply", options->apply,
                                         "Really delete, move or trash files (without it: a test run, only the log)");
  CLI::Option* move =
      command->add_flag("--move", options->move, "Move unkept files into FOLDER/moved instead of deleting them");
  command->add_flag("--trash", options->trash, "Put unkept files in the desktop's trash instead of deleting them")
      ->excludes(move);
  command->add_flag("--multi-ext", options->multi_ext, "Files that differ only by extension are the same dump");
  command->add_flag("-y,--yes", options->yes, "Answer yes to the delete question");
  CLI::Option* print_log = command->add_flag("--print-log", options->print_log,
                                             "Print the whole log on stdout (its last line is the summary)");
  command
      ->add_flag("--plan", options->plan,
                 "Print what a run would do with each file and touch nothing, not even the log: one line per\n"
                 "file, game after game: name, title, kept or going, reason (1-8, K for the keep list, empty\n"
                 "for the best), winner; tab-separated, or with --plan=json one JSON object per line")
      // The bare flag's value is "true"; only "--plan=FORMAT" names a format.
      ->check(CLI::Validator(
          [](std::string& format) {
            return format == "true" || format == "text" || format == "json"
                       ? std::string()
                       : "must be --plan, --plan=text or --plan=json";
          },
          "", ""))
      ->excludes(apply)
      ->excludes(print_log);
  command
      ->add_option_function<std::string>(
          "--config", [options](const std::string& path) { options->config = path; },
          "Read the list settings from FILE instead of the window's configuration file (it must exist)")
      ->type_name("FILE")
      ->expected(1);
  return command;
}

int RunCleanCommand(const CleanOptions& options) {
  ConfigValues window_lists;
  if (const Status status = LoadWindowLists(ChooseCliConfigFile(options.config), &window_lists); !status.ok()) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    return kExitUsage;
  }
  const RunSettings settings = MakeRunSettings(options, window_lists);
  if (!options.plan.empty()) {
    return PrintPlan(settings, options.plan == "json" ? PlanFormat::kJson : PlanFormat::kText);
  }
  TerminalHost host(options.yes);
  const RunResult result = RunCleaning(settings, host);
  host.EndProgress();

  switch (result.outcome) {
    case RunResult::Outcome::kCompleted:
      break;
    case RunResult::Outcome::kNotConfirmed:
      return host.refused_without_terminal() ? kExitUsage : kExitFailed;
    case RunResult::Outcome::kRefused:
    case RunResult::Outcome::kLocked:
    case RunResult::Outcome::kNoZoneMode:
    case RunResult::Outcome::kEmptyFolder:
    case RunResult::Outcome::kSetupFailed:
    case RunResult::Outcome::kFolderChanged:  // a shown plan only: never here
    case RunResult::Outcome::kLogFailed:      // the message said how far the run went; there is no summary
      return kExitFailed;
  }

  bool printed = true;
  if (options.print_log) {
    printed = PrintLog(result.log_path);  // its last line is the summary
  } else {
    std::printf("%s\n", result.summary.c_str());
  }
  FlushOutput();
  if (result.failed_count > 0) {
    std::fprintf(stderr, "%d file%s could not be %s: see %s\n", result.failed_count,
                 result.failed_count == 1 ? "" : "s", options.trash ? "put in the trash" : "moved or deleted",
                 result.log_path.c_str());
    return kExitFailed;
  }
  return printed ? kExitDone : kExitFailed;
}

}  // namespace varnel
