#ifndef VARNEL_ENGINE_PATTERN_LISTS_H_
#define VARNEL_ENGINE_PATTERN_LISTS_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// True when some item of `keep_patterns` occurs in `name`. An empty item occurs in every name, so it keeps
// every file (it can only protect more files).
bool MatchesKeepList(std::string_view name, const std::vector<std::string>& keep_patterns);

// True when some item of `exclusion_patterns` occurs in `name`. Items that are empty or made only of blanks,
// tabs, CR and LF are passed over: a stray "," must not dispose of a whole folder.
bool MatchesExclusionList(std::string_view name, const std::vector<std::string>& exclusion_patterns);

// MatchesKeepList or MatchesExclusionList over one list, with the same results, reading each name once for
// all items instead of once per item: only the places that hold the first byte of some item are tried.
class PatternListMatcher {
 public:
  enum class Rule { kKeep, kExclusion };

  PatternListMatcher(const std::vector<std::string>& patterns, Rule rule);

  // The result of the list's rule for `name`.
  bool Matches(std::string_view name) const;

 private:
  bool matches_every_name_ = false;    // a keep list with an empty item
  std::vector<std::string> patterns_;  // the items that can match, ordered by their first byte
  // The items starting with byte b are patterns_[first_[b]] up to, not including, patterns_[first_[b + 1]].
  std::array<std::uint32_t, 257> first_ = {};
  int only_first_byte_ = -1;  // the first byte of every item when they all share one; -1 otherwise
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_PATTERN_LISTS_H_
