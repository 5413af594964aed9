#ifndef VARNEL_TESTS_UI_PRIVATE_MOUNTS_H_
#define VARNEL_TESTS_UI_PRIVATE_MOUNTS_H_

// Mounts for window tests that unmount a folder under a live window. They are made in a mount namespace of the
// test's own, so the machine never sees them; that needs root (as the tests run here and in CI). Elsewhere the
// tests that mount say why they are skipped.

#include <QByteArray>
#include <QFile>
#include <QString>

#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#endif

namespace varnel {

// Enters a mount namespace of this process's own, whose mounts propagate nowhere. Call it first in main(),
// before any thread starts. False when the system refuses (not root, or no namespaces).
inline bool EnterPrivateMountNamespace() {
#ifdef __linux__
  return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
#else
  return false;
#endif
}

// Mounts a small empty tmpfs at the folder `at`.
inline bool MountTmpfs(const QString& at) {
#ifdef __linux__
  return ::mount("varnel-test", QFile::encodeName(at).constData(), "tmpfs", 0, "size=1m") == 0;
#else
  Q_UNUSED(at);
  return false;
#endif
}

// Shows the folder `from` at the folder `at` as well, as a volume of the file system of `from`.
inline bool MountBind(const QString& from, const QString& at) {
#ifdef __linux__
  return ::mount(QFile::encodeName(from).constData(), QFile::encodeName(at).constData(), nullptr, MS_BIND, nullptr) ==
         0;
#else
  Q_UNUSED(from);
  Q_UNUSED(at);
  return false;
#endif
}

inline bool Unmount(const QString& at) {
#ifdef __linux__
  return ::umount2(QFile::encodeName(at).constData(), 0) == 0;
#else
  Q_UNUSED(at);
  return false;
#endif
}

}  // namespace varnel

#endif  // VARNEL_TESTS_UI_PRIVATE_MOUNTS_H_
