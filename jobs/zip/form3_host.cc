#include "jobs/zip/form3_host.h"

#include <QCoreApplication>
#include <QEvent>
#include <QString>

#include "ui/kit/message_box.h"

namespace varnel {

Form3Host::Form3Host(QWidget* window, QProgressBar* bar) : window_(window), progress_(bar) {
  QCoreApplication* app = QCoreApplication::instance();
  app->installEventFilter(this);
  connect(app, &QCoreApplication::aboutToQuit, this, [this] { ending_ = true; });
}

Form3Host::~Form3Host() { QCoreApplication::instance()->removeEventFilter(this); }

void Form3Host::ShowMessage(const std::string& text, MessageIcon icon) {
  // A window the user has left is no place for the message: it is then shown over whatever is on screen.
  QWidget* parent = window_ != nullptr && window_->isVisible() ? window_.data() : nullptr;
  progress_.Flush();
  ShowMessageBox(parent, QString::fromStdString(text), icon);
}

void Form3Host::SetProgress(double minimum, double maximum, double value) { progress_.Set(minimum, maximum, value); }

void Form3Host::ProcessEvents() {
  progress_.Flush();
  QCoreApplication::processEvents();
}

bool Form3Host::StopRequested() { return stop_requested_ || ending_ || window_ == nullptr; }

bool Form3Host::eventFilter(QObject* watched, QEvent* event) {
  // quit(), the last window closed and the session's end all reach the application as a Quit event; the
  // event loop would only end after the job, so the job is stopped here, its archiver first.
  if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) ending_ = true;
  return false;
}

}  // namespace varnel
