#include "engine/list_rule.h"

#include "platform/lower_case.h"

namespace varnel {

std::vector<std::string> SplitListText(std::string_view text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  const std::string lower = LowerCase(text);
  std::string_view rest = lower;
  while (true) {
    const std::size_t comma = rest.find(',');
    items.emplace_back(rest.substr(0, comma));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return items;
}

}  // namespace varnel
