#include "platform/stop_signals.h"

#ifdef _WIN32
#include <windows.h>

#include <csignal>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>
#endif

namespace varnel {

#ifdef _WIN32

namespace {

volatile LONG g_caught = 0;

// Runs on a thread of its own that the system starts for each console event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  LONG number = 0;
  if (event == CTRL_C_EVENT) number = SIGINT;
  if (event == CTRL_BREAK_EVENT) number = SIGBREAK;
  // Closing the console or ending the session takes the default way: the program ends, and with it the job
  // objects that hold its children.
  if (number == 0) return FALSE;
  InterlockedCompareExchange(&g_caught, number, 0);
  return TRUE;
}

}  // namespace

StopSignals::StopSignals() {
  g_caught = 0;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  g_caught = 0;
}

int StopSignals::caught() const { return static_cast<int>(InterlockedCompareExchange(&g_caught, 0, 0)); }

#else

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_caught = 0;
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[std::size(kSignals)];

void OnSignal(int number) {
  if (g_caught == 0) g_caught = number;
  const int saved = errno;
  if (g_pipe[1] >= 0) {
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], "!", 1);  // a full pipe is readable already
  }
  errno = saved;
}

}  // namespace

StopSignals::StopSignals() {
  g_caught = 0;
  if (::pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0) g_pipe[0] = g_pipe[1] = -1;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int number : kSignals) sigaddset(&action.sa_mask, number);
  // No SA_RESTART: a blocking call that the request interrupts returns, so the request is seen at once.
  action.sa_flags = 0;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &g_previous[i]);
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &g_previous[i], nullptr);
  for (int& fd : g_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  g_caught = 0;
}

int StopSignals::caught() const { return g_caught; }

int StopSignals::notify_fd() const { return g_pipe[0]; }

#endif

}  // namespace varnel
