#ifndef VARNEL_ENGINE_CLEANING_STATE_H_
#define VARNEL_ENGINE_CLEANING_STATE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/run_settings.h"
#include "engine/zone_matcher.h"
#include "platform/folder_handle.h"
#include "platform/text_file.h"

namespace varnel {

// One file of the folder as the engine handles it: `listed` is its name as the folder lists it, the name the
// disk operations use (case kept: two names that differ only by case are two files); `name` is that name in
// lower case, the one every rule tests and the log shows.
struct Dump {
  std::string_view listed;
  std::string_view name;
};

// A translated dump set aside for the translation choice. Slots are reused from one choice to the next, so
// the candidate holds its own copy of the lower-cased name.
struct TranslationCandidate {
  std::string_view listed;  // the name as listed, viewing the run's listing snapshot
  std::string name;         // the lower-cased name
  float score = 0.0f;       // VersionRank of the name for the candidate's language
  std::string tag;          // the tag VersionRank examined, brackets excluded
  std::string title;        // RomTitle of the name: candidates compete only with those of their own game

  Dump dump() const { return Dump{listed, name}; }
};

// The state of one cleaning run, shared by the scan, the zone choice, the translation choice and the
// disposal of files. Owned by RunCleaning; nothing of it outlives the run.
struct CleaningState {
  // Options of the run.
  std::string RomFolder;
  bool ApplyChanges = false;  // files are really moved or deleted; when clear every decision is only logged
  bool MoveFiles = false;
  bool KeepTranslations = false;
  bool IgnoreExtensions = false;
  varnel::ZoneMode ZoneMode = varnel::ZoneMode::kNone;

  // The list settings, by the list rule. ZoneList holds one more, empty, item in ZoneMode kAllZones.
  std::vector<std::string> ExclusionPatterns;
  std::vector<std::string> KeepPatterns;
  std::vector<std::string> ZoneList;
  std::vector<std::string> WantedTranslations;
  ZoneMatcher zone_matcher;  // over ZoneList; see SetZoneList

  // Translation candidates per wanted language. The candidates of language L fill slots 0 to
  // TranslationCounts[L] of TranslationCandidates[L] (-1: none); slots past the count are stale records
  // whose storage the next candidates reuse.
  std::vector<int> TranslationCounts;
  std::vector<std::vector<TranslationCandidate>> TranslationCandidates;
  std::string LastTranslationTag;

  // Disposal: files handled so far (in a test run too), moves and deletes that failed, and the open log.
  std::int32_t DisposedCount = 0;
  int FailedCount = 0;
  LineWriter Log;

  std::string moved_folder;  // RomFolder joined with "moved"

  // Scratch storage reused from one file or group to the next.
  std::vector<std::vector<Dump>> ZoneBuckets;
  std::vector<std::string> group_names;  // lower-cased names of the current game's dumps (a pool: may be longer)
  std::vector<Dump> group;
  std::vector<std::uint64_t> zones_held;

  // Sets ZoneList and the matcher that reads it.
  void SetZoneList(std::vector<std::string> zones) {
    ZoneList = std::move(zones);
    zone_matcher = ZoneMatcher(&ZoneList);
  }
  std::string log_line;
  // RomFolder and "moved", opened at the first move or delete so that each one goes by name.
  bool disposal_folders_open = false;
  FolderHandle rom_folder_handle;
  FolderHandle moved_folder_handle;
  std::string listed_name;  // the listed name of the file being moved or deleted, NUL-terminated
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_CLEANING_STATE_H_
