#include "jobs/zip/runner.h"

namespace varnel {

ProcessError LancerProcess(const ProcessCommand& command, ChildProcess* child) {
  const Status status = ChildProcess::Start(command, child);
  if (!status.ok()) return SystemError(status.code(), "LancerProcess");
  return {};
}

ProcessRun AttendreFinProcess(ChildProcess* child, std::chrono::milliseconds timeout, const WaitEvents& events) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
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
    if (Clock::now() - start > timeout) {
      child->Kill();
      run.error = TimeoutError();
      return run;
    }
  }
}

}  // namespace varnel
