#ifndef VARNEL_ENGINE_VERSION_RANK_H_
#define VARNEL_ENGINE_VERSION_RANK_H_

#include <string>
#include <string_view>

namespace varnel {

// Score values with a fixed meaning.
inline constexpr float kRankUnreadable = -100.0f;  // the number after the code cannot be read
inline constexpr float kRankUnfinished = -1.0f;    // "beta" or "partial" in the tag
inline constexpr float kRankNoNumber = 50.0f;      // no number after the code, or a version above 1000
inline constexpr float kRankFinal = 100.0f;        // "final" in the tag

// The score of the translation into language `code` of the lower-cased file name `name`: -1 for beta or
// partial work, 100 for a final release, else the version (0 to 1000) or percentage written three characters
// (not bytes) after the start of the code, 50 without a number, -100 for an unreadable one. A percentage has
// no upper limit: one too large for a float scores infinity. The tag is the bracket group around the first
// occurrence of `code` in the name (to the end of the name when no "]" closes it); it is stored in
// `*last_translation_tag`. Numbers use "." as the decimal point whatever the locale.
float VersionRank(std::string_view name, std::string_view code, std::string* last_translation_tag);

}  // namespace varnel

#endif  // VARNEL_ENGINE_VERSION_RANK_H_
