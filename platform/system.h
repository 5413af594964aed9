#ifndef VARNEL_PLATFORM_SYSTEM_H_
#define VARNEL_PLATFORM_SYSTEM_H_

// The few system facilities that the shared files of the platform layer call, each defined once for every
// system in platform/posix/ and platform/windows/; not for the jobs.

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace varnel {

// The C library's reason for `error` (an errno value), with the number.
inline Status ErrnoStatus(int error) { return Status::Error(std::strerror(error), error); }

// Names of temporaries tried before giving up: a crashed earlier process of the same id may have left some.
inline constexpr int kTemporaryTries = 100;

// The failure "Not a regular file", with the system's number for an invalid argument.
Status NotRegularFile();

// The running process's id.
unsigned long long CurrentProcessId();

// std::fopen of `path` (UTF-8 on Windows); errno tells why on failure.
std::FILE* OpenStdioFile(const std::string& path, const char* mode);

// True when `a` and `b` name one entry of a folder as the system compares names: byte for byte, on Windows
// the case of ASCII letters aside.
bool SameEntryName(std::string_view a, std::string_view b);

// The folders whose files no job may change, as paths, for IsProtectedFolder to compare (some may not exist).
std::vector<std::string> ProtectedFolderPaths();

// The names a folder listing gathers, in the order the folder gives them, in one buffer: sorting them there
// and only then making each its string leaves the strings side by side in listing order, as a scan reads them.
class GatheredNames {
 public:
  void Add(std::string_view name) {
    spans_.emplace_back(bytes_.size(), name.size());
    bytes_.append(name);
  }
  // The names, sorted by ListedNameLess.
  std::vector<std::string> Sorted() const;

 private:
  std::string bytes_;
  std::vector<std::pair<std::size_t, std::size_t>> spans_;  // offset and size of each name in bytes_
};

// Adds to *names the ordinary files of `folder`, as ListOrdinaryFiles takes them, in the folder's order. Fails
// with the system's reason when the folder cannot be read or its reading fails part way.
Status GatherOrdinaryFiles(const std::string& folder, GatheredNames* names);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_SYSTEM_H_
