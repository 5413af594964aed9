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
  std::vector<std::uint32_t> order;
  for (std::uint32_t i = 0; i < patterns.size(); ++i) {
    const std::string& pattern = patterns[i];
    if (rule == Rule::kExclusion && IsBlankItem(pattern)) continue;
    if (pattern.empty()) {
      if (every_name_item_ == kNoItem) every_name_item_ = i;  // an empty keep item occurs in every name
      continue;
    }
    order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&patterns](std::uint32_t a, std::uint32_t b) {
    return FirstByte(patterns[a]) < FirstByte(patterns[b]);
  });
  for (const std::uint32_t i : order) {
    patterns_.push_back(patterns[i]);
    items_.push_back(i);
  }
  for (const std::string& pattern : patterns_) ++first_[FirstByte(pattern) + 1];
  for (std::size_t b = 1; b < first_.size(); ++b) first_[b] += first_[b - 1];
  if (!patterns_.empty() && FirstByte(patterns_.front()) == FirstByte(patterns_.back())) {
    only_first_byte_ = FirstByte(patterns_.front());
  }
}

std::uint32_t PatternListMatcher::Find(std::string_view name) const {
  const char* const begin = name.data();
  const char* const end = begin + name.size();
  // The list index of the first item of those starting with byte b that occurs at `at`, or kNoItem.
  const auto item_at = [&](const char* at, unsigned char b) {
    const std::size_t room = static_cast<std::size_t>(end - at);
    for (std::uint32_t k = first_[b]; k < first_[b + 1]; ++k) {
      const std::string& pattern = patterns_[k];
      if (pattern.size() <= room && at[pattern.size() - 1] == pattern.back() &&
          std::memcmp(at, pattern.data(), pattern.size()) == 0) {
        return items_[k];
      }
    }
    return kNoItem;
  };
  if (every_name_item_ != kNoItem) {
    // The empty item starts the name, and so may an item listed before it.
    const std::uint32_t at_start = name.empty() ? kNoItem : item_at(begin, FirstByte(name));
    return std::min(at_start, every_name_item_);
  }
  if (patterns_.empty()) return kNoItem;
  if (only_first_byte_ >= 0) {
    const auto b = static_cast<unsigned char>(only_first_byte_);
    for (const char* at = begin; at < end; ++at) {
      at = static_cast<const char*>(std::memchr(at, b, static_cast<std::size_t>(end - at)));
      if (at == nullptr) return kNoItem;
      if (const std::uint32_t item = item_at(at, b); item != kNoItem) return item;
    }
    return kNoItem;
  }
  for (const char* at = begin; at < end; ++at) {
    const auto b = static_cast<unsigned char>(*at);
    if (first_[b] == first_[b + 1]) continue;
    if (const std::uint32_t item = item_at(at, b); item != kNoItem) return item;
  }
  return kNoItem;
}

}  // namespace varnel
