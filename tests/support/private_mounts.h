#ifndef VARNEL_TESTS_SUPPORT_PRIVATE_MOUNTS_H_
#define VARNEL_TESTS_SUPPORT_PRIVATE_MOUNTS_H_

// Mounts for window tests that unmount a folder under a live window. They are made in a mount namespace of the
// test's own, so the machine never sees them; that needs root on Linux (as the tests run here and in CI).
// Elsewhere each call fails and the tests that mount say why they are skipped.

#include <QFile>
#include <QString>

#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#endif

namespace varnel {

#ifdef __linux__
// Enters a mount namespace of this process's own, whose mounts propagate nowhere. Call it first in main(),
// before any thread starts.
inline bool EnterPrivateMountNamespace() {
  return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}
// Mounts a small empty tmpfs at the folder `at`.
inline bool MountTmpfs(const QString& at) {
  return ::mount("varnel-test", QFile::encodeName(at).constData(), "tmpfs", 0, "size=1m") == 0;
}
// Shows the folder `from` at the folder `at` too, as a volume of the file system `from` is on.
inline bool MountBind(const QString& from, const QString& at) {
  return ::mount(QFile::encodeName(from).constData(), QFile::encodeName(at).constData(), nullptr, MS_BIND, nullptr) ==
         0;
}
inline bool Unmount(const QString& at) { return ::umount2(QFile::encodeName(at).constData(), 0) == 0; }
#else
inline bool EnterPrivateMountNamespace() { return false; }
inline bool MountTmpfs(const QString&) { return false; }
inline bool MountBind(const QString&, const QString&) { return false; }
inline bool Unmount(const QString&) { return false; }
#endif

}  // namespace varnel

#endif  // VARNEL_TESTS_SUPPORT_PRIVATE_MOUNTS_H_
