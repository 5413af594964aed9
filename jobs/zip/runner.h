#ifndef VARNEL_JOBS_ZIP_RUNNER_H_
#define VARNEL_JOBS_ZIP_RUNNER_H_

#include <chrono>
#include <cstdint>
#include <functional>

#include "jobs/zip/process_error.h"
#include "platform/process.h"

namespace varnel {

// The longest an archiver may go without doing anything (neither using the processor nor writing) before it
// counts as hung. A big file takes as long as it needs.
inline constexpr std::chrono::milliseconds kArchiverHangLimit = std::chrono::seconds(60);
// The longest the wait goes without handing control to the window's events.
inline constexpr int kEventStepMs = 100;

// Called by the wait at least every kEventStepMs while the child runs: processes the window's pending events
// and returns false when the wait must be abandoned (the child is then killed). May be empty.
using WaitEvents = std::function<bool()>;

// What the child has produced so far (for the archiver: the size of the archive it writes); a change counts
// as a sign of life. May be empty.
using ActivityProbe = std::function<std::uint64_t()>;

// Starts `command` into *child. On failure: number = the system's error code, source "LancerProcess",
// description "Erreur systeme N° <code>"; nothing was started.
ProcessError LancerProcess(const ProcessCommand& command, ChildProcess* child);

// Waits for *child to end, returning as soon as it does, calling `events` at least every kEventStepMs
// meanwhile. A child that goes more than `hang_limit` (strictly) without a change of its processor time or of
// `activity` is killed with what it started and gives number 259, source "AttendreFinProcess", description
// "Timeout sur l'attente de la fin d'un process"; a failure of the system's wait gives its code with
// "Erreur systeme N° <code>". When `events` returns false the child is killed and the run is marked stopped.
ProcessRun AttendreFinProcess(ChildProcess* child, std::chrono::milliseconds hang_limit, const ActivityProbe& activity,
                              const WaitEvents& events);

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_RUNNER_H_
