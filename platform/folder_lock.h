#ifndef VARNEL_PLATFORM_FOLDER_LOCK_H_
#define VARNEL_PLATFORM_FOLDER_LOCK_H_

#include <cstdint>
#include <string>

#include "platform/status.h"

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
  ~FolderLock() { Release(); }

  // Takes the lock of `folder` (following links), giving up any lock held before. Fails without waiting
  // when another job holds it: IsBusy() then tells that failure from the others. A failure is the failure to
  // "lock" `folder`.
  Status Acquire(const std::string& folder);
  // Takes the lock of `folder` through its lock file: on Linux the way taken where the folder's own file
  // system refuses a lock, on Windows the only way.
  Status AcquireWithLockFile(const std::string& folder);
  // Lets the lock go; nothing when none is held.
  void Release();

  bool held() const { return handle_ != -1; }
  // The lock file held; empty when none is held or the folder itself is locked.
  const std::string& lock_file() const { return lock_file_; }

  // True for the failure of Acquire that means another job holds the lock.
  static bool IsBusy(const Status& status);

 private:
  // The work of Acquire and AcquireWithLockFile, each system's own, with no lock held on entry.
  Status TakeLock(const std::string& folder);
  Status TakeLockFile(const std::string& folder);

  // What holds the lock, -1 for nothing: the descriptor of the folder or its lock file (POSIX), the handle of
  // the lock file (Windows).
  std::intptr_t handle_ = -1;
  std::string lock_file_;
};

}  // namespace varnel

#endif  // VARNEL_PLATFORM_FOLDER_LOCK_H_
