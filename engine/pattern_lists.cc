#include "engine/pattern_lists.h"

#include <algorithm>
#include <cstring>

namespace varnel {
namespace {

bool IsBlankItem(std::string_view item) { return item.find_first_not_of(" \t\r\n") == std::string_view::npos; }

unsigned char FirstByte(std::string_view text) { return static_cast<unsigned char>(text.front()); }

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

PatternListMatcher::PatternListMatcher(const std::vector<std::string>& patterns, Rule rule) {
  for (const std::string& pattern : patterns) {
    if (rule == Rule::kExclusion && IsBlankItem(pattern)) continue;
    if (pattern.empty()) {
      matches_every_name_ = true;  // an empty keep item occurs in every name
      continue;
    }
    patterns_.push_back(pattern);
  }
  std::stable_sort(patterns_.begin(), patterns_.end(),
                   [](const std::string& a, const std::string& b) { return FirstByte(a) < FirstByte(b); });
  for (const std::string& pattern : patterns_) ++first_[FirstByte(pattern) + 1];
  for (std::size_t b = 1; b < first_.size(); ++b) first_[b] += first_[b - 1];
  if (!patterns_.empty() && FirstByte(patterns_.front()) == FirstByte(patterns_.back())) {
    only_first_byte_ = FirstByte(patterns_.front());
  }
}

bool PatternListMatcher::Matches(std::string_view name) const {
  if (matches_every_name_) return true;
  if (patterns_.empty()) return false;
  const char* const begin = name.data();
  const char* const end = begin + name.size();
  // Whether an item of those starting with byte b occurs at `at`.
  const auto occurs_at = [&](const char* at, unsigned char b) {
    const std::size_t room = static_cast<std::size_t>(end - at);
    for (std::uint32_t k = first_[b]; k < first_[b + 1]; ++k) {
      const std::string& pattern = patterns_[k];
      if (pattern.size() <= room && at[pattern.size() - 1] == pattern.back() &&
          std::memcmp(at, pattern.data(), pattern.size()) == 0) {
        return true;
      }
    }
    return false;
  };
  if (only_first_byte_ >= 0) {
    const auto b = static_cast<unsigned char>(only_first_byte_);
    for (const char* at = begin; at < end; ++at) {
      at = static_cast<const char*>(std::memchr(at, b, static_cast<std::size_t>(end - at)));
      if (at == nullptr) return false;
      if (occurs_at(at, b)) return true;
    }
    return false;
  }
  for (const char* at = begin; at < end; ++at) {
    const auto b = static_cast<unsigned char>(*at);
    if (first_[b] != first_[b + 1] && occurs_at(at, b)) return true;
  }
  return false;
}

}  // namespace varnel
