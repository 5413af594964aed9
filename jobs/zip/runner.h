#ifndef VARNEL_JOBS_ZIP_RUNNER_H_
#define VARNEL_JOBS_ZIP_RUNNER_H_

#include <chrono>
#include <functional>

#include "jobs/zip/process_error.h"
#include "platform/process.h"

namespace varnel {

// The longest an archiver may take for one file.
inline constexpr std::chrono::milliseconds kArchiverTimeout = std::chrono::seconds(60);
// The longest the wait goes without handing control to the window's events.
inline constexpr int kEventStepMs = 100;

// Called by the wait at least every kEventStepMs while the child runs: processes the window's pending events
// and returns false when the wait must be abandoned (the child is then killed). May be empty.
using WaitEvents = std::function<bool()>;

// Starts `command` into *child. On failure: number = the system's error code, source "LancerProcess",
// description "Erreur systeme N° <code>"; nothing was started.
ProcessError LancerProcess(const ProcessCommand& command, ChildProcess* child);

// Waits for *child to end, returning as soon as it does, calling `events` at least every kEventStepMs
// meanwhile. A child still running more than `timeout` (strictly) after the wait began is killed and gives
// number 259, source "AttendreFinProcess", description "Timeout sur l'attente de la fin d'un process"; a
// failure of the system's wait gives its code with "Erreur systeme N° <code>". When `events` returns false
// the child is killed and the run is marked stopped.
ProcessRun AttendreFinProcess(ChildProcess* child, std::chrono::milliseconds timeout, const WaitEvents& events);

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_RUNNER_H_
