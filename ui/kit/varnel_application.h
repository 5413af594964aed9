#ifndef VARNEL_UI_KIT_VARNEL_APPLICATION_H_
#define VARNEL_UI_KIT_VARNEL_APPLICATION_H_

#include <QApplication>
#include <QIcon>

namespace varnel {

// The sizes, in pixels, the program's icon is drawn at; a window manager picks the one it needs.
inline constexpr int kIconSizes[] = {16, 32, 48, 128, 256};

// Varnel's own icon, a cartridge and a broom, drawn at each of kIconSizes.
QIcon VarnelIcon();

// The program's application object: every window has Varnel's icon; an exception that escapes an event handler
// is shown in a message box ("Unexpected error: <what>", stop icon) and the program goes on.
class VarnelApplication : public QApplication {
 public:
  VarnelApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_VARNEL_APPLICATION_H_
