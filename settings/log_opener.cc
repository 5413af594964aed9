#include "settings/log_opener.h"

#include <QPointer>
#include <QProcess>
#include <QWidget>

#include "common/job_host.h"
#include "platform/url_path.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box.h"

namespace varnel {

namespace {

// The window a message goes over: `window` while the user can see it, else none.
QWidget* Shown(const QPointer<QWidget>& window) { return window != nullptr && window->isVisible() ? window : nullptr; }

}  // namespace

std::string FileUrl(std::string_view path) { return "file://" + PercentEncodedPath(path); }

QString OpenerFailedMessage(const QString& path, int exit_code) {
  switch (exit_code) {
    case kOpenerNoProgram:
      return QStringLiteral("Cannot open %1: no program to open it was found").arg(path);
    case kOpenerActionFailed:
      return QStringLiteral("Cannot open %1: the program that opens it failed").arg(path);
    default:
      return QStringLiteral("Cannot open %1: %2 ended with code %3")
          .arg(path, QString::fromLatin1(kDesktopOpener))
          .arg(exit_code);
  }
}

QString OpenerNotStartedMessage(const QString& path) {
  return QStringLiteral("Cannot open %1: xdg-open could not be started (install the xdg-utils package)").arg(path);
}

QProcess* OpenLogInEditor(const std::string& path, QWidget* window, const std::string& opener) {
  const QString shown = PathText(path);
#ifdef _WIN32
  (void)opener;
  if (!QProcess::startDetached(QStringLiteral("notepad.exe"), {shown})) {
    ShowMessageBox(window, QStringLiteral("Cannot open %1").arg(shown), MessageIcon::kExclamation);
  }
  return nullptr;
#else
  // No parent: closing the cleaning window must not end the opener, nor the editor it may still be running.
  auto* process = new QProcess();
  process->setProgram(PathText(opener));
  process->setArguments({QString::fromLatin1(FileUrl(path))});
  // The opener's output goes where the program's goes: a pipe nobody reads would stop an editor that writes
  // to it once Varnel has ended.
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->setStandardInputFile(QProcess::nullDevice());
  const QPointer<QWidget> over(window);
  QObject::connect(process, &QProcess::finished, process,
                   [process, over, shown](int exit_code, QProcess::ExitStatus status) {
                     process->deleteLater();
                     // An opener killed by someone else (the session ending) has nothing to tell the user.
                     if (status == QProcess::NormalExit && exit_code != 0) {
                       ShowMessageBox(Shown(over), OpenerFailedMessage(shown, exit_code), MessageIcon::kExclamation);
                     }
                   });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, over, shown](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    process->deleteLater();
    ShowMessageBox(Shown(over), OpenerNotStartedMessage(shown), MessageIcon::kExclamation);
  });
  process->start();
  return process;
#endif
}

}  // namespace varnel
