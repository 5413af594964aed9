#ifndef VARNEL_PLATFORM_UTF8_H_
#define VARNEL_PLATFORM_UTF8_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace varnel {

// The length of the valid UTF-8 sequence that starts `text`, 0 when none does (a stray continuation byte, an
// overlong form, a surrogate, a code point past U+10FFFF, a sequence cut short, an empty text).
std::size_t Utf8SequenceLength(std::string_view text);

// True when every byte of `text` belongs to a valid UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

// `bytes` as printable text that gives every byte back: the backslash as "\\", every other control byte and
// every byte that is not part of valid UTF-8 as "\xHH"; with `named_breaks`, TAB, CR and LF as "\t", "\r" and
// "\n" instead.
std::string EscapeBytes(std::string_view bytes, bool named_breaks);

// The upper-case hexadecimal digit of a value 0-15.
inline char HexDigit(unsigned value) { return "0123456789ABCDEF"[value & 0xF]; }
// The value of a hexadecimal digit of either case; -1 for any other character.
int HexValue(char c);

// `bytes` as hexadecimal digits, two per byte, upper case.
std::string HexOf(std::string_view bytes);
// The bytes written by HexOf (either case); false for an odd length or a character that is no digit.
bool BytesOfHex(std::string_view hex, std::string* bytes);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_UTF8_H_
