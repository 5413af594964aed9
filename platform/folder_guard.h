#ifndef VARNEL_PLATFORM_FOLDER_GUARD_H_
#define VARNEL_PLATFORM_FOLDER_GUARD_H_

#include <string>

#include "platform/folder_lock.h"

namespace varnel {

// True when `folder` is one whose files no job may change, compared by identity after following links (so
// "~/.", a trailing separator or a link to it count too): Linux "/", the home folder ($HOME and the password
// database's), /bin /boot /dev /etc /home /lib /lib32 /lib64 /libx32 /opt /proc /root /run /sbin /sys /tmp
// /usr /var; Windows %SystemDrive%\, %SystemDrive%\Users, %USERPROFILE%, %SystemRoot%, %ProgramFiles%,
// %ProgramFiles(x86)% and %ProgramData% (other drive roots are allowed). False for a folder that does not
// exist.
bool IsProtectedFolder(const std::string& folder);

// How step 1 of a job on a folder ended.
struct FolderEntry {
  enum class Outcome {
    kEntered,     // the job may go on: it holds the folder's lock (or the folder does not exist)
    kProtected,   // a job that changes files was refused a protected folder
    kBusy,        // another job holds the folder's lock
    kLockFailed,  // the lock could not be taken for another reason
  };
  Outcome outcome = Outcome::kEntered;
  // What to tell the user (exclamation icon) when the job must not go on; empty when entered.
  std::string message;
};

// Step 1 of every job on `folder`, before it touches anything: a job that changes files (`changes_files`;
// a test run does not) is refused a protected folder; then *lock takes the folder's lock, which the job
// holds to its end. A folder that does not exist is entered without a lock: the job's own first look at it
// says why it cannot work there.
FolderEntry EnterJobFolder(const std::string& folder, bool changes_files, FolderLock* lock);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_FOLDER_GUARD_H_
