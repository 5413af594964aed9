#include "engine/pattern_lists.h"

namespace varnel {
namespace {

bool IsBlankItem(std::string_view item) { return item.find_first_not_of(" \t\r\n") == std::string_view::npos; }

}  // namespace

bool MatchesKeepList(std::string_view name, const std::vector<std::string>& keep_patterns) {
  for (const std::string& pattern : keep_patterns) {
    if (name.find(pattern) != std::string_view::npos) return true;
  }
  return false;
}

bool MatchesExclusionList(std::string_view name, const std::vector<std::string>& exclusion_patterns) {
  for (const std::string& pattern : exclusion_patterns) {
    if (IsBlankItem(pattern)) continue;
    if (name.find(pattern) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace varnel
