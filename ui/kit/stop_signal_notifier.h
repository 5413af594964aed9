#ifndef VARNEL_UI_KIT_STOP_SIGNAL_NOTIFIER_H_
#define VARNEL_UI_KIT_STOP_SIGNAL_NOTIFIER_H_

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace varnel {

class StopSignals;

// Turns the requests to stop that reach the desktop program (SIGINT, SIGTERM, SIGHUP) into a Qt signal sent
// from the event loop, through the self-pipe of StopSignals watched by a QSocketNotifier. Catches nothing on
// Windows, where a window program gets no such request.
class StopSignalNotifier : public QObject {
  Q_OBJECT

 public:
  explicit StopSignalNotifier(QObject* parent = nullptr);
  ~StopSignalNotifier() override;

 signals:
  // A request to stop arrived; `number` is its signal's.
  void StopRequested(int number);

 private:
  std::unique_ptr<StopSignals> signals_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_STOP_SIGNAL_NOTIFIER_H_
