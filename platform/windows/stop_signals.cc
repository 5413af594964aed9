#include "platform/stop_signals.h"

#include <windows.h>

#include <csignal>

namespace varnel {

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

int StopSignals::notify_fd() const { return -1; }

}  // namespace varnel
