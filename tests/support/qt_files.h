#ifndef VARNEL_TESTS_SUPPORT_QT_FILES_H_
#define VARNEL_TESTS_SUPPORT_QT_FILES_H_

// File helpers for the window tests, which name files by QString.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTest>

namespace varnel {

// Writes `bytes` to the file `path`, replacing it, and the folders above it that are missing; a failure fails the
// test.
inline void WriteBytes(const QString& path, const QByteArray& bytes = {}) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
           qPrintable(path));
}

// The bytes of the file `path`; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The files of `folder`, hidden ones too, in code point order.
inline QStringList FilesOf(const QString& folder) {
  QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
  files.sort();
  return files;
}

}  // namespace varnel

#endif  // VARNEL_TESTS_SUPPORT_QT_FILES_H_
