#ifndef VARNEL_PLATFORM_STOP_SIGNALS_H_
#define VARNEL_PLATFORM_STOP_SIGNALS_H_

namespace varnel {

// While one of these exists, the requests to stop that would end the program at once are caught instead, so
// that the program can end its children first and say what it did: POSIX SIGINT, SIGTERM and SIGHUP; on
// Windows Ctrl-C and Ctrl-Break in the console. One at a time in a program; the earlier handling comes back
// when it goes.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The number of the first request caught (SIGINT 2 for Ctrl-C, SIGTERM 15, SIGHUP 1, SIGBREAK 21 for
  // Ctrl-Break); 0 while none was.
  int caught() const;

  // A descriptor that becomes readable once a request is caught, for an event loop to watch; -1 when the
  // system refused one (caught() still tells), and always on Windows.
  int notify_fd() const;
};

}  // namespace varnel

#endif  // VARNEL_PLATFORM_STOP_SIGNALS_H_
