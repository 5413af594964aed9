#ifndef VARNEL_PLATFORM_LOWER_CASE_H_
#define VARNEL_PLATFORM_LOWER_CASE_H_

#include <string>
#include <string_view>

namespace varnel {

// `text` in lower case as a Western Windows code page lowers it: the ASCII letters A-Z and the UTF-8
// Latin-1 capitals U+00C0-U+00DE except U+00D7 become their small letters; every other byte is unchanged
// (also in a name that is not valid UTF-8).
std::string LowerCase(std::string_view text);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_LOWER_CASE_H_
