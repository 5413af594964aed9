#ifndef VARNEL_ENGINE_LIST_RULE_H_
#define VARNEL_ENGINE_LIST_RULE_H_

#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// The items of a list setting: `text` lower-cased and cut at every ",". Nothing is trimmed, empty items stay
// (",a," gives "", "a", ""), and an empty text gives no item at all.
std::vector<std::string> SplitListText(std::string_view text);

}  // namespace varnel

#endif  // VARNEL_ENGINE_LIST_RULE_H_
