#ifndef VARNEL_ENGINE_CLEANING_PLAN_H_
#define VARNEL_ENGINE_CLEANING_PLAN_H_

#include <cstddef>
#include <cstdint>
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

// One decision of a run: the file listed at `listed` goes, for `reason`, by `action` (the action of the settings
// the plan was made with; a shown plan is carried out by the action of the settings it is applied with).
struct PlannedDisposal {
  std::size_t listed = 0;  // index in CleaningPlan::listing
  DisposalReason reason = DisposalReason::kExcluded;
  DisposalAction action = DisposalAction::kDelete;
  std::size_t line_begin = 0;  // the decision's log line is log_text[line_begin, line_end), CR LF included
  std::size_t line_end = 0;
};

// No listed file, no list item.
inline constexpr std::uint32_t kNoIndex = UINT32_MAX;

// What the plan decided for one listed file.
enum class FileVerdict : std::uint8_t {
  kKept,             // stays as the best dump of its game (or its game's only one)
  kKeptByList,       // stays because an item of the keep list occurs in its name
  kBestTranslation,  // stays as the best translated dump of its game for a wanted language
  kGoing,            // goes, for PlannedFile::reason
};

// The plan's word on one listed file.
struct PlannedFile {
  std::uint32_t group = 0;  // index in CleaningPlan::groups
  FileVerdict verdict = FileVerdict::kKept;
  DisposalReason reason = DisposalReason::kExcluded;  // read only when verdict is kGoing
  std::uint32_t winner = kNoIndex;  // listed index of the dump kept in its stead (reasons 1-4 and 8), else kNoIndex
  // kKeptByList: index in keep_items of the item that matched; kGoing for kExcluded by the exclusion list: index in
  // exclusion_items of the item that matched (kNoIndex when it went as a translation with translations not kept).
  std::uint32_t item = kNoIndex;
};

// A game as the run groups it: neighbours in the listing with the same title. One title may form two groups.
// Files that never join a run's group (kept by the list, excluded, translated) are shown with the group of their
// title that is open when they are listed, else in a group of their own.
struct PlannedGroup {
  std::string title;        // the title of the group's first file, from its listed name (case kept)
  std::uint32_t first = 0;  // its files are CleaningPlan::members[first, first + count), in listing order
  std::uint32_t count = 0;
};

// The decisions of one cleaning run, taken from the names alone, in the order of their log lines. A plain
// value: it refers to nothing outside itself.
struct CleaningPlan {
  std::vector<std::string> listing;        // the snapshot of the folder the plan was made from, in listing order
  std::vector<PlannedDisposal> disposals;  // in log order
  std::string log_text;                    // the log lines of the disposals, each ended by CR LF, in order

  // Every listed file, kept or going: files[i] is listing[i]; groups in the order of their first file; members
  // the listed indices, group after group. keep_items and exclusion_items are the lists as the run read them.
  std::vector<PlannedFile> files;
  std::vector<PlannedGroup> groups;
  std::vector<std::uint32_t> members;
  std::vector<std::string> keep_items;
  std::vector<std::string> exclusion_items;

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
  // How many listed files stay.
  std::size_t KeptCount() const { return listing.size() - disposals.size(); }
};

// How much a plan tells.
enum class PlanDetail {
  kEveryFile,  // its decisions and its word on every listed file: files, groups, members
  kDecisions,  // only what a run carries out: listing, disposals, log_text and the lists (files, groups and
               // members stay empty), for a run that shows nothing of it
};

// Decides, from `settings` and the names of `listing` (a snapshot of settings.RomFolder in listing order)
// alone, which files go, why and how; touches no file. A name of the keep list stays; one of the exclusion
// list goes; a translated dump goes or competes with the others of its language and game; the other dumps of
// one game are settled by the zone mode. `on_pass`, when given, is called once per listed name and once more
// for the pass that closes the last game. settings.ZoneMode must be one of the four modes.
CleaningPlan PlanCleaning(const RunSettings& settings, std::vector<std::string> listing,
                          const std::function<void()>& on_pass = nullptr, PlanDetail detail = PlanDetail::kEveryFile);

}  // namespace varnel

#endif  // VARNEL_ENGINE_CLEANING_PLAN_H_
