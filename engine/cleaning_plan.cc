#include "engine/cleaning_plan.h"

#include <algorithm>
#include <utility>

#include "engine/folder_scan.h"
#include "engine/list_rule.h"
#include "engine/rule_state.h"

namespace varnel {

std::size_t CleaningPlan::CountOf(DisposalAction action) const {
  return static_cast<std::size_t>(std::count_if(disposals.begin(), disposals.end(),
                                                [action](const PlannedDisposal& d) { return d.action == action; }));
}

DisposalAction DisposalActionOf(const RunSettings& settings) {
  if (settings.MoveFiles) return DisposalAction::kMove;
  return settings.TrashFiles ? DisposalAction::kTrash : DisposalAction::kDelete;
}

CleaningPlan PlanCleaning(const RunSettings& settings, std::vector<std::string> listing,
                          const std::function<void()>& on_pass, PlanDetail detail) {
  RuleState state;
  state.KeepTranslations = settings.KeepTranslations;
  state.IgnoreExtensions = settings.IgnoreExtensions;
  state.ZoneMode = settings.ZoneMode;
  state.action = DisposalActionOf(settings);
  state.ExclusionPatterns = SplitListText(settings.ExclusionText);
  state.KeepPatterns = SplitListText(settings.KeepText);
  if (state.KeepTranslations) {
    state.WantedTranslations = SplitListText(settings.TranslationText);
    state.TranslationCounts.assign(state.WantedTranslations.size(), -1);
    state.TranslationCandidates.resize(state.WantedTranslations.size());
  }
  // In kAllZones the selected zones play no part: an empty zone, which every name holds, stands for them.
  std::vector<std::string> zones = SplitListText(settings.ZoneText);
  if (state.ZoneMode == ZoneMode::kAllZones) zones.emplace_back();
  state.SetZoneList(std::move(zones));

  // Room for a decision per name, each line at most about twice its name: pages never used cost nothing.
  std::size_t name_bytes = 0;
  for (const std::string& name : listing) name_bytes += name.size();
  state.plan.disposals.reserve(listing.size());
  state.plan.log_text.reserve(2 * name_bytes + 32 * listing.size());
  state.describe_files = detail == PlanDetail::kEveryFile;
  if (state.describe_files) {
    state.plan.files.resize(listing.size());
    state.plan.groups.reserve(listing.size());
  }
  state.plan.listing = std::move(listing);
  ScanFolder(state, on_pass);
  state.plan.keep_items = std::move(state.KeepPatterns);
  state.plan.exclusion_items = std::move(state.ExclusionPatterns);
  return std::move(state.plan);
}

}  // namespace varnel
