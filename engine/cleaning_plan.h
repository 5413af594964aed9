#ifndef VARNEL_ENGINE_CLEANING_PLAN_H_
#define VARNEL_ENGINE_CLEANING_PLAN_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_settings.h"

namespace varnel {

// Why a file goes; selects the wording of its log line.
enum class DisposalReason : int {
  kVerifiedFound = 1,        // "<name>\t --> <other> found": a "[!]" dump of the game was kept
  kPlainFound = 2,           // "<name>\t --> <other> found": a dump without further tags was kept
  kFirstKept = 3,            // "<name>\t --> <other> kept": no dump was better, the first one was kept
  kPrioritaryFound = 4,      // "<name>\t --> <other> found (prioritary)": a dump of an earlier zone was kept
  kUnselectedZone = 5,       // "<name>\t --> Unselected Zone"
  kExcluded = 6,             // "<name>\t --> Excluded file"
  kTranslationUnwanted = 7,  // "<name>\t --> Translation not wanted"
  kBetterTranslation = 8,    // "<name>\t --> <other> has a better translation"
};

// How a file that goes is got rid of.
enum class DisposalAction {
  kDelete,
  kMove,   // into the sub-folder "moved", under its listed name
  kTrash,  // into the desktop's trash, from where the user can restore it
};

// How the run of `settings` gets rid of files: moved with MoveFiles, else trashed with TrashFiles, else deleted.
DisposalAction DisposalActionOf(const RunSettings& settings);

// One decision of a run: the file listed at `listed` goes, for `reason`, by `action`.
struct PlannedDisposal {
  std::size_t listed = 0;  // index in CleaningPlan::listing
  DisposalReason reason = DisposalReason::kExcluded;
  DisposalAction action = DisposalAction::kDelete;
  std::size_t line_begin = 0;  // the decision's log line is log_text[line_begin, line_end), CR LF included
  std::size_t line_end = 0;
};

// The decisions of one cleaning run, taken from the names alone, in the order of their log lines. A plain
// value: it refers to nothing outside itself.
struct CleaningPlan {
  std::vector<std::string> listing;        // the snapshot of the folder the plan was made from, in listing order
  std::vector<PlannedDisposal> disposals;  // in log order
  std::string log_text;                    // the log lines of the disposals, each ended by CR LF, in order

  std::string_view ListedName(const PlannedDisposal& disposal) const { return listing[disposal.listed]; }
  // The file's lower-cased name, which starts its log line (lower-casing keeps the length).
  std::string_view Name(const PlannedDisposal& disposal) const {
    return std::string_view(log_text).substr(disposal.line_begin, listing[disposal.listed].size());
  }
  // The log bytes of disposals [first, last), CR LF included.
  std::string_view LogBytes(std::size_t first, std::size_t last) const {
    if (first >= last) return {};
    const std::size_t begin = disposals[first].line_begin;
    return std::string_view(log_text).substr(begin, disposals[last - 1].line_end - begin);
  }
  // How many disposals are carried out by `action`.
  std::size_t CountOf(DisposalAction action) const;
};

// Decides, from `settings` and the names of `listing` (a snapshot of settings.RomFolder in listing order)
// alone, which files go, why and how; touches no file. A name of the keep list stays; one of the exclusion
// list goes; a translated dump goes or competes with the others of its language and game; the other dumps of
// one game are settled by the zone mode. `on_pass`, when given, is called once per listed name and once more
// for the pass that closes the last game. settings.ZoneMode must be one of the four modes.
CleaningPlan PlanCleaning(const RunSettings& settings, std::vector<std::string> listing,
                          const std::function<void()>& on_pass = nullptr);

}  // namespace varnel

#endif  // VARNEL_ENGINE_CLEANING_PLAN_H_
