#include "ui/varnel_application.h"

#include <exception>

#include "ui/message_box.h"

namespace varnel {

VarnelApplication::VarnelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VarnelApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowMessageBox(nullptr, QStringLiteral("Unexpected error: %1").arg(QString::fromUtf8(error.what())), 16);
  } catch (...) {
    ShowMessageBox(nullptr, QStringLiteral("Unexpected error"), 16);
  }
  return false;
}

}  // namespace varnel
