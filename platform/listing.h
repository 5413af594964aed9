#ifndef VARNEL_PLATFORM_LISTING_H_
#define VARNEL_PLATFORM_LISTING_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace varnel {

// True when `a` lists before `b` in a folder listing: the order an NTFS folder gives its names. Names are
// compared byte by byte (UTF-8) with the ASCII letters a-z taken as A-Z, a shorter prefix first; names that
// are equal that way are ordered by their raw bytes. Grouping of dumps relies on this order.
bool ListedNameLess(std::string_view a, std::string_view b);

// Sorts *names by ListedNameLess. Quicker than a comparison sort on the names of a romset, whose neighbours
// share long beginnings. The names must not hold a NUL byte.
void SortListedNames(std::vector<std::string>* names);

// Fills *names with a snapshot of the ordinary files of `folder`: regular files whose name does not start with
// "." (Windows: neither hidden nor system), folders left out, sorted by ListedNameLess. Each job takes its own
// snapshot, so no two jobs ever share a cursor. When the folder cannot be read, or its reading fails part way,
// *names is empty and the failure says why, as the failure to "read" `folder`; an empty folder gives an empty
// *names and an ok status.
Status ListOrdinaryFiles(const std::string& folder, std::vector<std::string>* names);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_LISTING_H_
