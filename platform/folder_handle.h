#ifndef VARNEL_PLATFORM_FOLDER_HANDLE_H_
#define VARNEL_PLATFORM_FOLDER_HANDLE_H_

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_identity.h"
#include "platform/status.h"

namespace varnel {

// A folder opened once, so that the files in it are deleted and moved by name without the system resolving
// the folder's whole path for each file. Where the folder cannot be held open (or on Windows), every call
// falls back to the path-based RemoveFile and MoveWithoutReplace, with the same outcome and messages.
class FolderHandle {
 public:
  FolderHandle() = default;
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;
  ~FolderHandle();

  // Takes `path` as the folder. The handle works even when the folder cannot be opened now: it then goes by
  // paths, and any failure shows in the calls that follow.
  void Open(const std::string& path);
  const std::string& path() const { return path_; }
  // True when the folder is held open (not merely known by its path).
  bool is_held() const { return fd_ >= 0; }

  // Deletes the file `name` of this folder.
  Status RemoveFile(const std::string& name) const;
  // The identity of the entry `name` of this folder, as IdentifyFile gives it.
  Status IdentifyFile(const std::string& name, FileIdentity* identity) const;
  // Calls `each` with the name of every entry of this folder but "." and "..", in the order the system keeps
  // them, hidden ones and folders included: a quick way to tell which of many names are there. Fails with the
  // system's reason when the folder cannot be read whole (some names may have been given by then).
  Status ForEachName(const std::function<void(std::string_view name)>& each) const;
  // Moves the file `name` of this folder to `target_name` in `target`, never overwriting, exactly as
  // MoveWithoutReplace does with the two paths.
  Status MoveWithoutReplace(const std::string& name, const FolderHandle& target, const std::string& target_name) const;

 private:
  void Close();

  std::string path_;
  int fd_ = -1;  // the folder held open (POSIX); -1 while it is known by its path only
};

}  // namespace varnel

#endif  // VARNEL_PLATFORM_FOLDER_HANDLE_H_
