#include "ui/kit/varnel_application.h"

#include <exception>

#include "ui/kit/message_box.h"

namespace varnel {

QIcon VarnelIcon() {
  QIcon icon;
  for (const int size : kIconSizes) {
    icon.addFile(QStringLiteral(":/icons/varnel-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

VarnelApplication::VarnelApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The window manager and the task bar find the windows' icon here, and on Wayland through the desktop file
  // named after the application's id.
  setWindowIcon(VarnelIcon());
  setDesktopFileName(QStringLiteral("org.example.Varnel"));
}

bool VarnelApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowMessageBox(nullptr, QStringLiteral("Unexpected error: %1").arg(QString::fromUtf8(error.what())),
                   MessageIcon::kStop);
  } catch (...) {
    ShowMessageBox(nullptr, QStringLiteral("Unexpected error"), MessageIcon::kStop);
  }
  return false;
}

}  // namespace varnel
