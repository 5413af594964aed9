#include "jobs/zip/runner.h"

#include <optional>

namespace varnel {

ProcessError LancerProcess(const ProcessCommand& command, ChildProcess* child) {
  const Status status = ChildProcess::Start(command, child);
  if (!status.ok()) return SystemError(status.code(), "LancerProcess");
  return {};
}

namespace {

// What tells a working child from a hung one: its processor time and what it has produced.
struct SignsOfLife {
  std::optional<std::uint64_t> processor_time;
  std::uint64_t activity = 0;

  static SignsOfLife Of(const ChildProcess& child, const ActivityProbe& activity) {
    return {child.ProcessorTime(), activity ? activity() : 0};
  }
  bool operator==(const SignsOfLife&) const = default;
};

}  // namespace

ProcessRun AttendreFinProcess(ChildProcess* child, std::chrono::milliseconds hang_limit, const ActivityProbe& activity,
                              const WaitEvents& events) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point last_change = Clock::now();
  SignsOfLife last = SignsOfLife::Of(*child, activity);
  ProcessRun run;
  for (;;) {
    bool ended = false;
    const Status status = child->Wait(kEventStepMs, &ended);
    if (!status.ok()) {
      child->Kill();
      run.error = SystemError(status.code(), "AttendreFinProcess");
      return run;
    }
    if (ended) {
      run.exit_code = child->exit_code();
      return run;
    }
    if (events && !events()) {
      child->Kill();
      run.stopped = true;
      return run;
    }
    const Clock::time_point now = Clock::now();
    const SignsOfLife signs = SignsOfLife::Of(*child, activity);
    if (signs != last) {
      last = signs;
      last_change = now;
    } else if (now - last_change > hang_limit) {
      child->Kill();
      run.error = TimeoutError();
      return run;
    }
  }
}

}  // namespace varnel
