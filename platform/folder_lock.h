#ifndef VARNEL_PLATFORM_FOLDER_LOCK_H_
#define VARNEL_PLATFORM_FOLDER_LOCK_H_

#include <string>

#include "platform/status.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace varnel {

// The exclusive lock of one folder that every Varnel job on that folder holds from its start to its end, so
// that no two jobs (of this process or any other of the user's) ever work in the same folder at once. It
// never leaves anything in the folder. Linux: flock on the open folder, else (a folder that cannot be opened
// for reading, a file system that refuses the lock as NFS does) on
// "<home>/.local/state/varnel/locks/<device>-<inode>.lock", the home folder being the password database's. Windows:
// "%LOCALAPPDATA%\Varnel\locks\<volume serial>-<file index>.lock", opened unshared and deleted on close. Released when
// the lock goes.
class FolderLock {
 public:
  FolderLock() = default;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  // Takes the lock of `folder` (following links), giving up any lock held before. Fails without waiting
  // when another job holds it: IsBusy() then tells that failure from the others.
  Status Acquire(const std::string& folder);
#ifndef _WIN32
  // Takes the lock of `folder` through its lock file, the way taken where the folder's own file system
  // refuses a lock.
  Status AcquireWithLockFile(const std::string& folder);
#endif
  // Lets the lock go; nothing when none is held.
  void Release();

  bool held() const;
  // The lock file held; empty when none is held or the folder itself is locked.
  const std::string& lock_file() const { return lock_file_; }

  // True for the failure of Acquire that means another job holds the lock.
  static bool IsBusy(const Status& status);

 private:
#ifdef _WIN32
  HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
  int fd_ = -1;
#endif
  std::string lock_file_;
};

}  // namespace varnel

#endif  // VARNEL_PLATFORM_FOLDER_LOCK_H_
