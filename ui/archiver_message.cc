#include "ui/archiver_message.h"

#include <QApplication>
#include <QWidget>

#include "ui/message_box.h"

namespace varnel {

namespace {

// The file the zip job looks for in the program folder.
#ifdef _WIN32
constexpr char kArchiverFile[] = "7z.exe";
#else
constexpr char kArchiverFile[] = "7z";
#endif

QString& StoredMessage() {
  static QString message;
  return message;
}

}  // namespace

const QString& Message7zAbsent() { return StoredMessage(); }

void SetMessage7zAbsent(QString message) { StoredMessage() = std::move(message); }

QString EnglishMessage7zAbsent(const QString& program_folder) {
  return QStringLiteral("%1 not found in \"%2\" folder").arg(QString::fromLatin1(kArchiverFile), program_folder);
}

QString FrenchMessage7zAbsent(const QString& program_folder) {
  return QString::fromUtf8("%1 non pr\xc3\xa9sent dans le r\xc3\xa9pertoire \"%2\"")
      .arg(QString::fromLatin1(kArchiverFile), program_folder);
}

QString Message7zAbsentTitle() {
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == QLatin1String("MainForm")) return window->windowTitle();
  }
  return QString::fromUtf8(kProgramTitle);
}

}  // namespace varnel
