#ifndef VARNEL_PLATFORM_URL_PATH_H_
#define VARNEL_PLATFORM_URL_PATH_H_

#include <string>
#include <string_view>

namespace varnel {

// `path` as the path of a URL: every byte but the ASCII letters and digits, "-._~" and "/" written as %XX
// (upper-case hex), so that any name, whatever its bytes, comes back whole.
std::string PercentEncodedPath(std::string_view path);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_URL_PATH_H_
