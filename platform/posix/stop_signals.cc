#include "platform/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

namespace varnel {

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

}  // namespace varnel
