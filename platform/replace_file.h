#ifndef VARNEL_PLATFORM_REPLACE_FILE_H_
#define VARNEL_PLATFORM_REPLACE_FILE_H_

#include <string>
#include <string_view>

#include "platform/status.h"

namespace varnel {

// Gives the file at `path` the content `contents` (bytes unchanged), creating it or replacing it whole, so
// that at every moment the file is either its old self or its new self, never a part of either: the bytes
// go to a new temporary file beside it (.varnel-<pid>-<n>.tmp, created exclusively, never through a link),
// which is flushed to disk and then renamed over it. When `path` is a symbolic link, the link stays and the
// file at the end of its chain is the one replaced. The replaced file's permissions (and, where allowed, its
// owner) are kept. A target that exists but is not a regular file fails with "not a regular file". On any
// failure the old file is left as it was and no temporary file stays.
Status ReplaceWholeFile(const std::string& path, std::string_view contents);

// The reason given when the target of ReplaceWholeFile is a folder, a device or a FIFO.
inline constexpr char kNotARegularFile[] = "not a regular file";

}  // namespace varnel

#endif  // VARNEL_PLATFORM_REPLACE_FILE_H_
