#ifndef VARNEL_PLATFORM_FILE_OPS_H_
#define VARNEL_PLATFORM_FILE_OPS_H_

#include <string>
#include <string_view>

#include "platform/status.h"

namespace varnel {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// `folder`, the separator and `name`, by plain concatenation: a folder that already ends with a separator
// (a drive root) gives a doubled one, which both platforms accept.
std::string JoinPath(std::string_view folder, std::string_view name);

// True when anything of that name exists: a file, a folder, or another kind of entry (a dangling link too).
bool PathExists(const std::string& path);

// True when `path` names a folder (following links).
bool IsFolder(const std::string& path);

// Creates one folder; its parent must exist. Fails when anything of that name exists already.
Status MakeFolder(const std::string& path);

// Deletes one file.
Status RemoveFile(const std::string& path);

// Moves one file to `to`, never overwriting: fails when anything of the target's name exists. Works across
// devices (copy to a target created exclusively, then remove the source) and on file systems that refuse a
// no-replace rename or hard links. On failure the source is left where it was and no partial target stays.
Status MoveWithoutReplace(const std::string& from, const std::string& to);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_FILE_OPS_H_
