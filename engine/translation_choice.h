#ifndef VARNEL_ENGINE_TRANSLATION_CHOICE_H_
#define VARNEL_ENGINE_TRANSLATION_CHOICE_H_

#include <cstddef>

#include "engine/rule_state.h"

namespace varnel {

// Sets `dump` aside as a candidate of wanted language `language` (an index of WantedTranslations), with its
// VersionRank score, its tag and its title, which it returns. The table grows as needed.
const std::string& RecordTranslationCandidate(RuleState& state, std::size_t language, const Dump& dump);

// Settles the candidates set aside since the last call: per language and per game title, the best score
// stays (on equal scores the later candidate carrying nothing but its tag and selected zones); every other
// candidate goes, in language order then slot order, naming the best of its own title and language. Then
// every language is left without candidates.
void ChooseTranslations(RuleState& state);

}  // namespace varnel

#endif  // VARNEL_ENGINE_TRANSLATION_CHOICE_H_
