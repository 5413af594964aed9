#ifndef VARNEL_PLATFORM_FILE_IDENTITY_H_
#define VARNEL_PLATFORM_FILE_IDENTITY_H_

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace varnel {

// What tells a file from one that later takes its place or a changed copy of it: its size, its modification
// time and its inode number (on Windows, its file index); and the device it is on (the volume serial number).
struct FileIdentity {
  std::uint64_t size = 0;
  std::int64_t mtime_ns = 0;  // nanoseconds since 1970-01-01 UTC
  std::uint64_t inode = 0;
  std::uint64_t device = 0;
};

// True when `a` and `b` are the same file unchanged: same size, modification time and inode. The device is
// left out: a removable drive may get another device number each time it is mounted.
inline bool SameUnchangedFile(const FileIdentity& a, const FileIdentity& b) {
  return a.size == b.size && a.mtime_ns == b.mtime_ns && a.inode == b.inode;
}

// The identity of the entry `path` itself, never what a link names. Fails with the system's reason, or with
// kNotAFile for a folder.
Status IdentifyFile(const std::string& path, FileIdentity* identity);

// The reason IdentifyFile gives for a folder.
inline constexpr char kNotAFile[] = "is a folder";

}  // namespace varnel

#endif  // VARNEL_PLATFORM_FILE_IDENTITY_H_
