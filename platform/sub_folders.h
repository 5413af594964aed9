#ifndef VARNEL_PLATFORM_SUB_FOLDERS_H_
#define VARNEL_PLATFORM_SUB_FOLDERS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace varnel {

// The sub-folders of `folder` that a folder list shows: its folders and its links to folders, hidden ones left
// out (a name that starts with "."; on Windows the hidden or system attribute), sorted by ListedNameLess. Only
// folder names are kept: the folder's files are passed over, and an entry is examined on its own only when the
// listing does not tell its kind (a link, or a file system without d_type). Fails with the system's reason when
// the folder cannot be read; *names is then empty.
Status ListSubFolders(const std::string& folder, std::vector<std::string>* names);

// What tells a folder from another that later takes its name: its device and inode number (on Windows, the
// volume serial number and the file index).
struct FolderIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

// The identity of the folder at `path`, links followed. Fails with the system's reason, or with kNotAFolder
// when `path` names something else.
Status IdentifyFolder(const std::string& path, FolderIdentity* identity);

// The names of the folders on the way from `root` down to `path`, first to last (none when they are the same
// folder); nothing when `path` is neither `root` nor below it. Both are absolute paths without "." or ".."
// parts; separators may be doubled or end the path. On Windows "/" counts as a backslash and the comparison ignores
// the case of ASCII letters.
std::optional<std::vector<std::string>> PathPartsBelow(std::string_view root, std::string_view path);

// `folder` followed by `names`, each after one separator (none is added after a folder that ends with one).
std::string PathBelow(std::string_view folder, const std::vector<std::string>& names);

// The reason IdentifyFolder gives for a file, a device or a FIFO.
inline constexpr char kNotAFolder[] = "not a folder";

}  // namespace varnel

#endif  // VARNEL_PLATFORM_SUB_FOLDERS_H_
