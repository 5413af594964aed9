#include "settings/list_box_text.h"

namespace varnel {

std::string LineBreaksAsCommas(std::string_view text) {
  std::string list;
  list.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t breaks = text.find_first_of("\r\n", pos);
    list.append(text.substr(pos, breaks - pos));
    if (breaks == std::string_view::npos) break;
    pos = text.find_first_not_of("\r\n", breaks);
    if (pos == std::string_view::npos) break;  // breaks at the end
    const bool next_to_comma = (!list.empty() && list.back() == ',') || text[pos] == ',';
    if (!list.empty() && !next_to_comma) list.push_back(',');
  }
  return list;
}

}  // namespace varnel
