#include "platform/folder_guard.h"

#include <string>

#include "platform/file_ops.h"
#include "platform/sub_folders.h"
#include "platform/system.h"

namespace varnel {

bool IsProtectedFolder(const std::string& folder) {
  FolderIdentity identity;
  if (!IdentifyFolder(folder, &identity).ok()) return false;
  for (const std::string& protected_path : ProtectedFolderPaths()) {
    FolderIdentity other;
    if (IdentifyFolder(protected_path, &other).ok() && other == identity) return true;
  }
  return false;
}

FolderEntry EnterJobFolder(const std::string& folder, bool changes_files, FolderLock* lock) {
  FolderEntry entry;
  if (changes_files && IsProtectedFolder(folder)) {
    entry.outcome = FolderEntry::Outcome::kProtected;
    entry.message = "Varnel will not change files in " + folder + ": choose the folder that holds your romset.";
    return entry;
  }
  if (!IsFolder(folder)) return entry;
  const Status locked = lock->Acquire(folder);
  if (locked.ok()) return entry;
  if (FolderLock::IsBusy(locked)) {
    entry.outcome = FolderEntry::Outcome::kBusy;
    entry.message = "Another Varnel job is working in " + folder + ".";
  } else {
    entry.outcome = FolderEntry::Outcome::kLockFailed;
    entry.message = locked.ToString();
  }
  return entry;
}

}  // namespace varnel
