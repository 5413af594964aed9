#include "platform/sub_folders.h"

#include <string_view>

#include "platform/file_ops.h"
#include "platform/system.h"

namespace varnel {

namespace {

std::vector<std::string_view> NamesOf(std::string_view path) {
  std::vector<std::string_view> names;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !IsPathSeparator(path[i])) continue;
    if (i > start) names.push_back(path.substr(start, i - start));
    start = i + 1;
  }
  return names;
}

}  // namespace

std::optional<std::vector<std::string>> PathPartsBelow(std::string_view root, std::string_view path) {
  if (root.empty() || path.empty() || IsPathSeparator(root[0]) != IsPathSeparator(path[0])) return std::nullopt;
  const std::vector<std::string_view> above = NamesOf(root), names = NamesOf(path);
  if (names.size() < above.size()) return std::nullopt;
  for (std::size_t i = 0; i < above.size(); ++i) {
    if (!SameEntryName(above[i], names[i])) return std::nullopt;
  }
  return std::vector<std::string>(names.begin() + static_cast<std::ptrdiff_t>(above.size()), names.end());
}

std::string PathBelow(std::string_view folder, const std::vector<std::string>& names) {
  std::string path(folder);
  for (const std::string& name : names) {
    if (path.empty() || !IsPathSeparator(path.back())) path += kPathSeparator;
    path += name;
  }
  return path;
}

}  // namespace varnel
