#include "engine/version_rank.h"

#include <charconv>
#include <system_error>

namespace varnel {
namespace {

enum class Decimal { kRead, kTooLarge, kTooSmall, kInvalid };

// Reads all of `text` as a decimal number with "." as the decimal point, whatever the locale. kInvalid when
// `text` is not one number ("", ".", "1.2.3"); kTooLarge or kTooSmall when it is one that a float cannot hold.
Decimal ReadDecimal(std::string_view text, float* value) {
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, *value, std::chars_format::fixed);
  if (stop != end) return Decimal::kInvalid;
  if (error == std::errc()) return Decimal::kRead;
  if (error != std::errc::result_out_of_range) return Decimal::kInvalid;
  const std::string_view whole = text.substr(0, text.find('.'));
  return whole.find_first_not_of('0') == std::string_view::npos ? Decimal::kTooSmall : Decimal::kTooLarge;
}

// The tag around the first occurrence of `code` (which starts at `code_at`): from just after the last "["
// before it up to the next "]", or to the end of the name when none follows.
std::string_view TagAround(std::string_view name, std::size_t code_at) {
  const std::size_t open = name.rfind('[', code_at);
  const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
  const std::size_t close = name.find(']', start);
  return name.substr(start, close == std::string_view::npos ? std::string_view::npos : close - start);
}

}  // namespace

float VersionRank(std::string_view name, std::string_view code, std::string* last_translation_tag) {
  const std::size_t code_at = name.find(code);
  if (code_at == std::string_view::npos) {
    last_translation_tag->clear();
    return kRankNoNumber;
  }
  const std::string_view tag = TagAround(name, code_at);
  last_translation_tag->assign(tag);

  if (tag.find("beta") != std::string_view::npos || tag.find("partial") != std::string_view::npos) {
    return kRankUnfinished;
  }
  if (tag.find("final") != std::string_view::npos) return kRankFinal;

  // The number starts three characters after the code's first occurrence in the tag (codes are three
  // letters long). When a "]" lies between the "[" and the code, the tag does not hold the code: no number.
  const std::size_t code_in_tag = tag.find(code);
  if (code_in_tag == std::string_view::npos) return kRankNoNumber;
  const std::size_t first = code_in_tag + 3;
  std::size_t last = first;
  bool percent = false;
  while (last < tag.size()) {
    const char c = tag[last];
    if (c == '%') {
      percent = true;
      break;
    }
    if ((c < '0' || c > '9') && c != '.') break;
    ++last;
  }
  const std::string_view number = first < tag.size() ? tag.substr(first, last - first) : std::string_view();

  float value = 0.0f;
  const Decimal read = ReadDecimal(number, &value);
  if (percent) {
    // A percentage has no upper limit; a point in it is a decimal point.
    if (read == Decimal::kTooSmall) return 0.0f;
    return read == Decimal::kRead ? value : kRankUnreadable;
  }
  if (number.empty()) return kRankNoNumber;
  switch (read) {
    case Decimal::kRead:
      return value <= 1000.0f ? value : kRankNoNumber;
    case Decimal::kTooLarge:
      return kRankNoNumber;
    case Decimal::kTooSmall:
      return 0.0f;
    case Decimal::kInvalid:
      break;
  }
  return kRankUnreadable;
}

}  // namespace varnel
