#include "ui/kit/stop_signal_notifier.h"

#include <QSocketNotifier>

#include "platform/stop_signals.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace varnel {

StopSignalNotifier::StopSignalNotifier(QObject* parent) : QObject(parent) {
#ifndef _WIN32
  signals_ = std::make_unique<StopSignals>();
  const int fd = signals_->notify_fd();
  if (fd < 0) return;
  notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this, fd] {
    char drained[64];
    while (::read(fd, drained, sizeof drained) > 0) {
    }
    emit StopRequested(signals_->caught());
  });
#endif
}

StopSignalNotifier::~StopSignalNotifier() {
  delete notifier_;  // before the pipe it watches is closed
  notifier_ = nullptr;
}

}  // namespace varnel
