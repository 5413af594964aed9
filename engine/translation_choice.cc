#include "engine/translation_choice.h"

#include <string_view>
#include <unordered_map>

#include "engine/file_disposal.h"
#include "engine/rom_title.h"
#include "engine/version_rank.h"

namespace varnel {
namespace {

// True when the name, without its translation tag "[<tag>]" and without every selected zone, holds
// neither "(" nor "[".
bool IsCleanCandidate(const CleaningState& state, const TranslationCandidate& candidate, std::string* bare) {
  bare->assign(candidate.dump.name);
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

void RecordTranslationCandidate(CleaningState& state, std::size_t language, const Dump& dump) {
  const int slot = ++state.TranslationCounts[language];
  std::vector<TranslationCandidate>& slots = state.TranslationCandidates[language];
  if (static_cast<std::size_t>(slot) == slots.size()) slots.emplace_back();
  TranslationCandidate& candidate = slots[slot];
  candidate.dump = dump;
  candidate.score = VersionRank(dump.name, state.WantedTranslations[language], &state.LastTranslationTag);
  candidate.tag = state.LastTranslationTag;
  AssignRomTitle(dump.name, state.IgnoreExtensions, &candidate.title);
}

void ChooseTranslations(CleaningState& state) {
  struct Best {
    float score = -1000.0f;
    int slot = -1;
  };
  std::unordered_map<std::string_view, Best> best_by_title;
  std::string bare;
  for (std::size_t language = 0; language < state.TranslationCounts.size(); ++language) {
    const int count = state.TranslationCounts[language] + 1;
    if (count <= 1) continue;  // none, or a lone candidate that stays
    const std::vector<TranslationCandidate>& slots = state.TranslationCandidates[language];
    best_by_title.clear();
    for (int slot = 0; slot < count; ++slot) {
      const TranslationCandidate& candidate = slots[slot];
      Best& best = best_by_title[candidate.title];
      if (candidate.score < best.score) continue;
      if (IsCleanCandidate(state, candidate, &bare) || candidate.score > best.score) {
        best.score = candidate.score;
        best.slot = slot;
      }
    }
    for (int slot = 0; slot < count; ++slot) {
      const TranslationCandidate& candidate = slots[slot];
      const int best_slot = best_by_title[candidate.title].slot;
      if (slot != best_slot) DisposeRomFile(state, candidate.dump, slots[best_slot].dump.name, kBetterTranslation);
    }
  }
  for (int& count : state.TranslationCounts) count = -1;
}

}  // namespace varnel
