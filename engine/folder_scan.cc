#include "engine/folder_scan.h"

#include <string_view>

#include "engine/file_disposal.h"
#include "engine/pattern_lists.h"
#include "engine/rom_title.h"
#include "engine/translation_choice.h"
#include "engine/zone_choice.h"
#include "platform/lower_case.h"

namespace varnel {
namespace {

bool Contains(std::string_view name, std::string_view text) { return name.find(text) != std::string_view::npos; }

// The index of the first wanted language whose code follows "[t+" or "[t-" in `name`, or -1.
int WantedLanguage(const std::vector<std::string>& marks, std::string_view name) {
  for (std::size_t i = 0; i < marks.size(); i += 2) {
    if (Contains(name, marks[i]) || Contains(name, marks[i + 1])) return static_cast<int>(i / 2);
  }
  return -1;
}

// Settles a closed group of dumps of one game.
void CloseGroup(CleaningState& state, const std::vector<Dump>& group) {
  if (group.empty()) return;
  if (state.KeepTranslations) ChooseTranslations(state);
  if (group.size() >= 2) {
    ChooseZoneDumps(state, group);
    return;
  }
  // A lone dump stays, unless a selected-zone mode finds a round-bracket group in it and no selected zone.
  if (state.ZoneMode != ZoneMode::kAllSelectedZones && state.ZoneMode != ZoneMode::kFirstSelectedZone) return;
  const Dump& dump = group.front();
  for (const std::string& zone : state.ZoneList) {
    if (Contains(dump.name, zone)) return;
  }
  if (Contains(dump.name, "(")) DisposeRomFile(state, dump, "", kUnselectedZone);
}

}  // namespace

void ScanFolder(CleaningState& state, const std::vector<std::string>& listing, CleaningHost& host,
                double progress_maximum, double progress_value) {
  // The lower-cased names live as long as the scan: groups and candidates view them.
  std::vector<std::string> names;
  names.reserve(listing.size());
  for (const std::string& listed : listing) names.push_back(LowerCase(listed));

  // "[t+<code>" and "[t-<code>" for each wanted language, in list order.
  std::vector<std::string> marks;
  for (const std::string& code : state.WantedTranslations) {
    marks.push_back("[t+" + code);
    marks.push_back("[t-" + code);
  }

  std::vector<Dump> group;
  std::string previous_title;  // RomTitle of the last name that joined the group; "" at the start
  std::string title;
  for (std::size_t i = 0; i < listing.size(); ++i) {
    progress_value += 1;
    host.SetProgress(0, progress_maximum, progress_value);
    const Dump dump{listing[i], names[i]};

    if (MatchesKeepList(dump.name, state.KeepPatterns)) continue;
    if (MatchesExclusionList(dump.name, state.ExclusionPatterns)) {
      DisposeRomFile(state, dump, "", kExcluded);
      continue;
    }
    if (Contains(dump.name, "[t-") || Contains(dump.name, "[t+")) {
      if (!state.KeepTranslations) {
        DisposeRomFile(state, dump, "", kExcluded);
        continue;
      }
      const int language = WantedLanguage(marks, dump.name);
      if (language < 0) {
        DisposeRomFile(state, dump, "", kTranslationUnwanted);
      } else {
        RecordTranslationCandidate(state, static_cast<std::size_t>(language), dump);
      }
      continue;  // a translated dump never joins a group
    }

    AssignRomTitle(dump.name, state.IgnoreExtensions, &title);
    if (title != previous_title) {
      CloseGroup(state, group);
      group.clear();
    }
    group.push_back(dump);
    previous_title.swap(title);
  }
  // The final pass closes the last group.
  progress_value += 1;
  host.SetProgress(0, progress_maximum, progress_value);
  CloseGroup(state, group);
}

}  // namespace varnel
