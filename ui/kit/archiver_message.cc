#include "ui/kit/archiver_message.h"

#include <QApplication>
#include <QWidget>

#include "common/well_known_names.h"
#include "ui/kit/message_box.h"

namespace varnel {

namespace {

QString& StoredMessage() {
  static QString message;
  return message;
}

}  // namespace

const QString& Message7zAbsent() { return StoredMessage(); }

void SetMessage7zAbsent(QString message) { StoredMessage() = std::move(message); }

QString EnglishMessage7zAbsent(const QString& program_folder) {
#ifdef _WIN32
  return QStringLiteral("%1 not found in \"%2\" folder").arg(QString::fromLatin1(kArchiverFileName), program_folder);
#else
  // Off Windows the archiver on PATH does as well, and the system's package manager has it.
  return QStringLiteral("%1 not found in \"%2\" folder nor on PATH: install the p7zip-full package.")
      .arg(QString::fromLatin1(kArchiverFileName), program_folder);
#endif
}

QString FrenchMessage7zAbsent(const QString& program_folder) {
#ifdef _WIN32
  return QString::fromUtf8("%1 non pr\xc3\xa9sent dans le r\xc3\xa9pertoire \"%2\"")
      .arg(QString::fromLatin1(kArchiverFileName), program_folder);
#else
  return QString::fromUtf8(
             "%1 non pr\xc3\xa9sent dans le r\xc3\xa9pertoire \"%2\" ni dans le PATH : installez le paquet p7zip-full.")
      .arg(QString::fromLatin1(kArchiverFileName), program_folder);
#endif
}

QString Message7zAbsentTitle() {
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == QLatin1String("MainForm")) return window->windowTitle();
  }
  return QString::fromUtf8(kProgramTitle);
}

}  // namespace varnel
