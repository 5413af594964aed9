#include "platform/folder_lock.h"

namespace varnel {

Status FolderLock::Acquire(const std::string& folder) {
  Release();
  return TakeLock(folder).About("lock", folder);
}

Status FolderLock::AcquireWithLockFile(const std::string& folder) {
  Release();
  return TakeLockFile(folder).About("lock", folder);
}

}  // namespace varnel
