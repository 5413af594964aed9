#include "engine/version_rank.h"

#include <charconv>
#include <limits>
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

// The byte length of the character that starts at `at`: a whole UTF-8 sequence, or one byte when the bytes
// there are not one (a Latin-1 name never converted to UTF-8).
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
  if (at + length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
  }
  return length;
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

  // The number starts three characters (not bytes) after the code's first occurrence in the tag (codes are
  // three letters long). When a "]" lies between the "[" and the code, the tag does not hold the code: no
  // number.
  const std::size_t code_in_tag = tag.find(code);
  if (code_in_tag == std::string_view::npos) return kRankNoNumber;
  std::size_t first = code_in_tag;
  for (int characters = 0; characters < 3 && first < tag.size(); ++characters) first += CharacterLength(tag, first);
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
    // A percentage has no upper limit, so one too large for a float ranks above every other; a point in it
    // is a decimal point.
    switch (read) {
      case Decimal::kRead:
        return value;
      case Decimal::kTooLarge:
        return std::numeric_limits<float>::infinity();
      case Decimal::kTooSmall:
        return 0.0f;
      case Decimal::kInvalid:
        break;
    }
    return kRankUnreadable;
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
