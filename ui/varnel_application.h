#ifndef VARNEL_UI_VARNEL_APPLICATION_H_
#define VARNEL_UI_VARNEL_APPLICATION_H_

#include <QApplication>

namespace varnel {

// The program's application object: an exception that escapes an event handler is shown in a message box
// ("Unexpected error: <what>", stop icon) and the program goes on.
class VarnelApplication : public QApplication {
 public:
  VarnelApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace varnel

#endif  // VARNEL_UI_VARNEL_APPLICATION_H_
