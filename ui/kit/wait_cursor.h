#ifndef VARNEL_UI_KIT_WAIT_CURSOR_H_
#define VARNEL_UI_KIT_WAIT_CURSOR_H_

namespace varnel {

// Shows the wait cursor over every window of the program for as long as it lives, for a job that keeps the
// windows from answering until it ends. A message box shown meanwhile has the ordinary arrow (ShowMessageBox).
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_WAIT_CURSOR_H_
