#include "platform/lower_case.h"

namespace varnel {

std::string LowerCase(std::string_view text) {
  std::string out(text);
  const std::size_t size = out.size();
  for (std::size_t i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + ('a' - 'A'));
    } else if (c == 0xC3 && i + 1 < size) {
      // U+00C0..U+00DE are C3 80..C3 9E; their small letters are 0x20 further. U+00D7 (C3 97) is the
      // multiplication sign and has no small letter. Only a continuation byte belongs to the pair: after a
      // lone C3 (a Latin-1 name never converted to UTF-8) the next byte is a character of its own.
      const auto next = static_cast<unsigned char>(out[i + 1]);
      if (next < 0x80 || next > 0xBF) continue;
      if (next <= 0x9E && next != 0x97) out[i + 1] = static_cast<char>(next + 0x20);
      ++i;
    }
  }
  return out;
}

}  // namespace varnel
