#ifndef VARNEL_PLATFORM_FILE_OPS_H_
#define VARNEL_PLATFORM_FILE_OPS_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace varnel {

// The separator the system writes between the names of a path: "/", on Windows a backslash.
inline constexpr char kPathSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// True for a character that separates the names of a path: "/", and on Windows a backslash as well.
inline constexpr bool IsPathSeparator(char c) { return c == '/' || c == kPathSeparator; }

// `folder`, the separator and `name`, by plain concatenation: a folder that already ends with a separator
// (a drive root) gives a doubled one, which both platforms accept.
std::string JoinPath(std::string_view folder, std::string_view name);

// True when anything of that name exists: a file, a folder, or another kind of entry (a dangling link too).
bool PathExists(const std::string& path);

// True when `path` names a folder (following links).
bool IsFolder(const std::string& path);

// Creates one folder; its parent must exist. Fails when anything of that name exists already.
Status MakeFolder(const std::string& path);

// Creates the folders above `path` that do not exist yet, from the top down, as `mkdir -p` does for its parent.
Status MakeFoldersAbove(const std::string& path);
// Creates the folder `path` and the folders above it that do not exist yet; ok when it is a folder already.
Status MakeFolders(const std::string& path);

// Removes the folder `path` when it is empty; fails, leaving it, when it holds anything or is no folder.
Status RemoveEmptyFolder(const std::string& path);

// What stands at a name where a job needs a folder of its own.
enum class FolderObstacle {
  kNone,  // nothing, or a folder (never a link to one)
  kFile,  // a file, or anything else that is neither a folder nor a link
  kLink,  // a symbolic link (Windows: any reparse point, a junction too), whatever it names
};

// What stands at `path`, never following a link.
FolderObstacle FolderObstacleAt(const std::string& path);

// Makes sure `path` is a folder of its own, creating it (its parent must exist) when nothing has that name.
// Something else at the name fails the call with kExistsAsAFile or kIsASymbolicLink, and *obstacle (when
// given) says what; a failed creation carries the system's reason with *obstacle kNone. Every failure is the
// failure to "create" `path`. A job never writes into a folder through a link.
Status EnsureFolder(const std::string& path, FolderObstacle* obstacle = nullptr);

// The reasons EnsureFolder gives when the name is taken.
inline constexpr char kExistsAsAFile[] = "exists as a file";
inline constexpr char kIsASymbolicLink[] = "is a symbolic link";

// The message for a failed EnsureFolder of the sub-folder `name` of `folder`: "\"<name>\" exists as a file in
// <folder>; nothing was <done>.", "\"<name>\" in <folder> is a symbolic link; nothing was <done>." or, for a
// failed creation, the status's own "Cannot create <folder>/<name>: <reason>". `done` is what the job does to
// files ("moved", "zipped").
std::string EnsureFolderMessage(std::string_view name, std::string_view folder, FolderObstacle obstacle,
                                const Status& status, std::string_view done);

// True for a failure that means the name to be given or created is taken: EEXIST, ERROR_FILE_EXISTS or
// ERROR_ALREADY_EXISTS, as a move or a creation that never replaces gives it.
bool IsNameTaken(const Status& status);

// Deletes one file.
Status RemoveFile(const std::string& path);

// `path` made absolute, so that a program reading it as an argument never takes it for an option ("-x") or a
// list file ("@x"). POSIX: a relative path gets the current folder and "/" in front (no other change); should
// the current folder be unreadable, "./" instead. Windows: GetFullPathNameW.
std::string AbsolutePath(const std::string& path);

// True when `path` itself (never what a link names) is a regular file; *size (when given) gets its size.
bool RegularFileSize(const std::string& path, std::uint64_t* size = nullptr);

// Ok when `path`, following links, is a regular file; else the system's reason ("No such file or directory"),
// or "Not a regular file".
Status CheckRegularFile(const std::string& path);

// Writes the data of the regular file `path` through to the disk; never opens it through a link (POSIX).
Status FlushFile(const std::string& path);

// Writes a folder's entries (the names given in it) through to the disk. Nothing to do on Windows.
Status FlushFolder(const std::string& path);

// Moves one file to `to`, never overwriting: fails when anything of the target's name exists. Across devices
// the file is copied to a temporary in the target's folder, flushed to disk and only then given its name, so
// that no partial file ever stands under that name; the source goes last. File systems that refuse a
// no-replace rename or hard links are handled too. On failure the source is left where it was and no target
// stays. Only a regular file moves across devices (POSIX: never through a symbolic link).
Status MoveWithoutReplace(const std::string& from, const std::string& to);

// How a copy across devices names its temporary. Each way is the fallback of the one before it, taken where
// the target's file system refuses that one; the default starts at the first.
enum class TemporaryNaming {
  kUnnamed,          // POSIX: an O_TMPFILE file, named by linkat, which never replaces
  kRenameNoReplace,  // a temporary ".varnel-<pid>-<n>.tmp", renamed by renameat2(RENAME_NOREPLACE)
  kLinkThenUnlink,   // that temporary hard-linked under the final name, then unlinked
  kRenameWhenFree,   // that temporary renamed after checking the final name is free (the folder lock keeps
                     // other Varnel jobs out between the check and the rename)
};

// The move across devices that MoveWithoutReplace takes, here also between two folders of one device: copy,
// flush, name without replacing, flush the target's folder, then remove the source. Keeps the permissions and
// times (and, run by root on POSIX, the owner). On Windows `first` plays no part: the copy goes by CopyFileExW
// to a temporary ".varnel-<pid>-<n>.tmp", then MoveFileExW without replacing.
Status CopyAcrossDevices(const std::string& from, const std::string& to,
                         TemporaryNaming first = TemporaryNaming::kUnnamed);

// True for the names a copy across devices gives its temporaries: ".varnel-<pid>-<n>.tmp" exactly, both
// numbers in decimal digits.
bool IsMoveTemporaryName(std::string_view name);

// A name of that form for a new temporary of this process: <n> counts up, so no two calls give the same
// name. Whether a file of that name exists (left by an earlier process of the same id) is the caller's check.
std::string NewTemporaryName();

// Removes the temporaries an interrupted move left in `folder`: the regular files whose name
// IsMoveTemporaryName accepts (a folder or link of such a name stays). Only for a folder no other job of
// Varnel writes into, which the folder lock ensures. *removed (when given) counts the files removed; the
// status tells the first failure, the other files are still tried.
Status RemoveLeftoverTemporaries(const std::string& folder, int* removed = nullptr);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_FILE_OPS_H_
