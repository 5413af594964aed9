#ifndef VARNEL_ENGINE_RULE_STATE_H_
#define VARNEL_ENGINE_RULE_STATE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/cleaning_plan.h"
#include "engine/run_settings.h"
#include "engine/zone_matcher.h"

namespace varnel {

// One file of the folder as the rules see it: `listed` is its index in the listing snapshot (the name the
// disk operations use later, case kept: two names that differ only by case are two files); `name` is that
// name in lower case, the one every rule tests and the log shows.
struct Dump {
  std::size_t listed = 0;
  std::string_view name;
};

// A translated dump set aside for the translation choice. Slots are reused from one choice to the next, so
// the candidate holds its own copy of the lower-cased name.
struct TranslationCandidate {
  std::size_t listed = 0;  // index in the listing snapshot
  std::string name;        // the lower-cased name
  float score = 0.0f;      // VersionRank of the name for the candidate's language
  std::string tag;         // the tag VersionRank examined, brackets excluded
  std::string title;       // RomTitle of the name: candidates compete only with those of their own game

  Dump dump() const { return Dump{listed, name}; }
};

// What the rules of one cleaning run share while they decide from names: the options and lists of the run,
// the translation tables, and the plan being made. Owned by PlanCleaning; it touches no file.
struct RuleState {
  // Options of the run.
  bool KeepTranslations = false;
  bool IgnoreExtensions = false;
  varnel::ZoneMode ZoneMode = varnel::ZoneMode::kNone;
  DisposalAction action = DisposalAction::kDelete;  // how every file that goes is got rid of

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

  // The decisions so far, in log order, and the listing they refer to; with describe_files, also the plan's word
  // on every file (plan.files, groups, members).
  CleaningPlan plan;
  bool describe_files = true;

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
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_RULE_STATE_H_
