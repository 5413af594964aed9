#include "engine/translation_choice.h"

#include <algorithm>
#include <string_view>

#include "engine/file_disposal.h"
#include "engine/rom_title.h"
#include "engine/version_rank.h"

namespace varnel {
namespace {

// True when the name, without its translation tag "[<tag>]" and without every selected zone, holds
// neither "(" nor "[".
bool IsCleanCandidate(const RuleState& state, const TranslationCandidate& candidate, std::string* bare) {
  bare->assign(candidate.name);
  const std::string bracketed_tag = "[" + candidate.tag + "]";
  const auto remove_all = [bare](std::string_view text) {
    if (text.empty()) return;
    std::size_t at = 0;
    while ((at = bare->find(text, at)) != std::string::npos) bare->erase(at, text.size());
  };
  remove_all(bracketed_tag);
  for (const std::string& zone : state.ZoneList) remove_all(zone);
  return bare->find_first_of("([") == std::string::npos;
}

}  // namespace

const std::string& RecordTranslationCandidate(RuleState& state, std::size_t language, const Dump& dump) {
  const int slot = ++state.TranslationCounts[language];
  std::vector<TranslationCandidate>& slots = state.TranslationCandidates[language];
  if (static_cast<std::size_t>(slot) == slots.size()) slots.emplace_back();
  TranslationCandidate& candidate = slots[slot];
  candidate.listed = dump.listed;
  candidate.name.assign(dump.name);
  candidate.score = VersionRank(candidate.name, state.WantedTranslations[language], &state.LastTranslationTag);
  candidate.tag = state.LastTranslationTag;
  AssignRomTitle(candidate.name, state.IgnoreExtensions, &candidate.title);
  return candidate.title;
}

void ChooseTranslations(RuleState& state) {
  std::vector<int> order;    // slots, grouped by title, in slot order within a title
  std::vector<int> best_of;  // per slot: the best slot of its title
  std::string bare;
  for (std::size_t language = 0; language < state.TranslationCounts.size(); ++language) {
    const int count = state.TranslationCounts[language] + 1;
    if (count <= 1) continue;  // none, or a lone candidate that stays
    const std::vector<TranslationCandidate>& slots = state.TranslationCandidates[language];
    order.resize(count);
    for (int slot = 0; slot < count; ++slot) order[slot] = slot;
    std::stable_sort(order.begin(), order.end(), [&slots](int a, int b) { return slots[a].title < slots[b].title; });
    best_of.assign(count, -1);
    for (int first = 0; first < count;) {
      int last = first + 1;
      while (last < count && slots[order[last]].title == slots[order[first]].title) ++last;
      float best_score = -1000.0f;
      int best_slot = -1;
      for (int i = first; i < last; ++i) {
        const TranslationCandidate& candidate = slots[order[i]];
        if (candidate.score < best_score) continue;
        if (IsCleanCandidate(state, candidate, &bare) || candidate.score > best_score) {
          best_score = candidate.score;
          best_slot = order[i];
        }
      }
      for (int i = first; i < last; ++i) best_of[order[i]] = best_slot;
      first = last;
    }
    for (int slot = 0; slot < count; ++slot) {
      if (slot != best_of[slot]) {
        const Dump best = slots[best_of[slot]].dump();
        DisposeRomFile(state, slots[slot].dump(), &best, DisposalReason::kBetterTranslation);
      }
    }
  }
  for (int& count : state.TranslationCounts) count = -1;
}

}  // namespace varnel
