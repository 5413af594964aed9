#ifndef VARNEL_ENGINE_CLEANING_RUN_H_
#define VARNEL_ENGINE_CLEANING_RUN_H_

#include <cstdint>
#include <string>

#include "engine/cleaning_host.h"
#include "engine/cleaning_plan.h"
#include "engine/run_settings.h"
#include "history/history_folder.h"
#include "platform/status.h"

namespace varnel {

// How a cleaning run ended.
struct RunResult {
  enum class Outcome {
    kRefused,        // a real run in a protected folder (the home folder, a system folder): a message, nothing touched
    kLocked,         // another job works in the folder, or its lock could not be taken: a message, nothing touched
    kNotConfirmed,   // the delete question was not answered Yes: nothing changed
    kNoZoneMode,     // no zone mode: "Erreur" was shown, nothing scanned
    kEmptyFolder,    // the folder holds no ordinary file: "Empty directory" was shown, no log
    kSetupFailed,    // the folder, "moved", the log or the history could not be prepared: a message, nothing disposed
    kLogFailed,      // a log or history write failed: the run stopped there, with a message and without a summary
    kFolderChanged,  // ApplyPlan: the folder's names are no longer the plan's; a message, nothing touched
    kCompleted,      // the plan was carried out and the summary was written
  };
  Outcome outcome = Outcome::kNotConfirmed;
  std::int32_t DisposedCount = 0;  // files disposed of (or that would have been, in a test run)
  int failed_count = 0;            // disposals that failed; each has an error line in the log
  std::string summary;             // the summary line, as written to the log and the result text
  std::string log_path;            // the log's path; empty when no log was written
  std::string history_id;          // the run's id in the history; empty for a test run or a run not recorded
};

// One complete cleaning run of settings.RomFolder: the guard and the folder's lock, the listing, the plan
// (every decision, from the names alone), the delete question, "moved", then the plan carried out with each
// batch of lines in "logfile.txt" and of intents in the run's history on disk before its files are touched, and
// the summary. A real run is recorded in `history`; a test run is not. A run that puts files in the trash asks
// nothing: they can be taken back. Reaches the user only through `host`. Never throws for a file-system failure:
// a failed delete, move or trash is logged and the run goes on; a failed log or history write stops the run.
RunResult RunCleaning(const RunSettings& settings, CleaningHost& host,
                      const HistoryPlace& history = HistoryPlace::Default());

// What a run without a zone mode shows, and the reason PlanFolder gives for one.
inline constexpr const char* kNoZoneModeMessage = "Erreur";

// Lists settings.RomFolder and plans its cleaning with `settings` into `*plan`, touching nothing (no lock, no
// log, no history). Fails with the listing's reason, or with kNoZoneModeMessage when settings.ZoneMode is none of
// the four modes (a run would plan nothing); *plan is then empty. An empty folder gives an empty plan.
[[nodiscard]] Status PlanFolder(const RunSettings& settings, CleaningPlan* plan);

// The message of a plan the folder no longer matches.
inline constexpr const char* kFolderChangedMessage = "The folder changed since the preview; preview it again.";

// RunCleaning with the decisions of `shown` (a plan of settings.RomFolder shown to the user) instead of new ones:
// the same guard, lock, question, write-ahead log and history; each file that goes is disposed of by
// DisposalActionOf(settings), which may differ from the action `shown` was planned with (a test run when
// settings.TestMode is set: only the log). The history records `settings` as the run's options. When a new
// listing of the folder, taken under the lock, differs in names from shown.listing it shows
// kFolderChangedMessage and touches nothing.
RunResult ApplyPlan(const CleaningPlan& shown, const RunSettings& settings, CleaningHost& host,
                    const HistoryPlace& history = HistoryPlace::Default());

}  // namespace varnel

#endif  // VARNEL_ENGINE_CLEANING_RUN_H_
