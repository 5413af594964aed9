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

  // What Find() gives when no item matches.
  static constexpr std::uint32_t kNoItem = UINT32_MAX;

  PatternListMatcher(const std::vector<std::string>& patterns, Rule rule);

  // The result of the list's rule for `name`.
  bool Matches(std::string_view name) const { return Find(name) != kNoItem; }
  // The index, in the list given, of the item that matches `name` first: the one starting earliest in the name
  // (an empty keep item starts at its beginning), the first in list order among those starting there; kNoItem
  // when none matches.
  std::uint32_t Find(std::string_view name) const;

 private:
  std::uint32_t every_name_item_ = kNoItem;  // a keep list with an empty item: the first one
  std::vector<std::string> patterns_;        // the items that can match, ordered by their first byte
  std::vector<std::uint32_t> items_;         // items_[k]: the index in the list given of patterns_[k]
  // The items starting with byte b are patterns_[first_[b]] up to, not including, patterns_[first_[b + 1]].
  std::array<std::uint32_t, 257> first_ = {};
  int only_first_byte_ = -1;  // the first byte of every item when they all share one; -1 otherwise
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_PATTERN_LISTS_H_
