#ifndef VARNEL_ENGINE_PATTERN_LISTS_H_
#define VARNEL_ENGINE_PATTERN_LISTS_H_

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

}  // namespace varnel

#endif  // VARNEL_ENGINE_PATTERN_LISTS_H_
