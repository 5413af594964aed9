#include "platform/file_ops.h"

#include <utility>

namespace varnel {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  path.push_back(kPathSeparator);
  path.append(name);
  return path;
}

Status MakeFoldersAbove(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
  while (end > 1 && IsPathSeparator(path[end - 1])) --end;
  if (end <= 1) return Status::Ok();
  return MakeFolders(path.substr(0, end));
}

Status MakeFolders(const std::string& path) {
  if (IsFolder(path)) return Status::Ok();
  if (Status above = MakeFoldersAbove(path); !above.ok()) return above;
  Status made = MakeFolder(path);
  if (made.ok() || IsFolder(path)) return Status::Ok();  // made meanwhile by another process
  return std::move(made).About("create", path);
}

Status EnsureFolder(const std::string& path, FolderObstacle* obstacle) {
  FolderObstacle found = FolderObstacleAt(path);
  if (found == FolderObstacle::kNone && !PathExists(path)) {
    Status made = MakeFolder(path);
    if (made.ok()) return made;
    found = FolderObstacleAt(path);  // something took the name meanwhile, or the system refused
    if (found == FolderObstacle::kNone && !PathExists(path)) {
      if (obstacle != nullptr) *obstacle = FolderObstacle::kNone;
      return std::move(made).About("create", path);
    }
  }
  if (obstacle != nullptr) *obstacle = found;
  if (found == FolderObstacle::kFile) return Status::Error(kExistsAsAFile).About("create", path);
  if (found == FolderObstacle::kLink) return Status::Error(kIsASymbolicLink).About("create", path);
  return Status::Ok();
}

std::string EnsureFolderMessage(std::string_view name, std::string_view folder, FolderObstacle obstacle,
                                const Status& status, std::string_view done) {
  std::string message;
  switch (obstacle) {
    case FolderObstacle::kFile:
      message.append("\"").append(name).append("\" exists as a file in ").append(folder);
      return message.append("; nothing was ").append(done).append(".");
    case FolderObstacle::kLink:
      message.append("\"").append(name).append("\" in ").append(folder).append(" is a symbolic link");
      return message.append("; nothing was ").append(done).append(".");
    case FolderObstacle::kNone:
      break;
  }
  return status.ToString();
}

}  // namespace varnel
