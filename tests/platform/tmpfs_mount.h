#ifndef VARNEL_TESTS_PLATFORM_TMPFS_MOUNT_H_
#define VARNEL_TESTS_PLATFORM_TMPFS_MOUNT_H_

#ifdef __linux__

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace varnel {

// A tmpfs mounted at a folder for one test: in a mount namespace of the test process's own where the system
// allows one, so that it goes with the process whatever happens to the test.
class TmpfsMount {
 public:
  TmpfsMount() = default;
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;
  ~TmpfsMount() {
    if (!path_.empty()) umount2(path_.c_str(), MNT_DETACH);
  }

  // False, with the reason in *why, when no tmpfs can be mounted here.
  bool Mount(const std::string& path, std::string* why) {
    if (geteuid() != 0) {
      *why = "mounting a second file system (tmpfs) needs root";
      return false;
    }
    if (unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      *why = std::string("cannot make the test's mounts private: ") + std::strerror(errno);
      return false;
    }
    if (mount("tmpfs", path.c_str(), "tmpfs", 0, "size=1g,mode=0700") != 0) {
      *why = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
      return false;
    }
    path_ = path;
    return true;
  }

 private:
  std::string path_;
};

}  // namespace varnel

#endif  // __linux__

#endif  // VARNEL_TESTS_PLATFORM_TMPFS_MOUNT_H_
