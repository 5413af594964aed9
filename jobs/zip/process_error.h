#ifndef VARNEL_JOBS_ZIP_PROCESS_ERROR_H_
#define VARNEL_JOBS_ZIP_PROCESS_ERROR_H_

#include <string>

namespace varnel {

// A failure of the process runner: its number, the routine that raised it ("LancerProcess" or
// "AttendreFinProcess") and its description, in French whatever the interface language. A default value
// means no failure.
struct ProcessError {
  int number = 0;
  std::string source;
  std::string description;

  bool ok() const { return source.empty(); }
};

// The error of a failed system call: `number` with the description "Erreur systeme N° <number>".
ProcessError SystemError(int number, const char* source);

// The error raised when the archiver has hung: number 259.
ProcessError TimeoutError();

// How one run of a child process ended.
struct ProcessRun {
  ProcessError error;    // a launch, wait or timeout failure; ok() when the child ran to its end or was stopped
  bool stopped = false;  // the caller asked for the wait to end: the child was killed
  int exit_code = -1;    // the child's exit code when it ran to its end
};

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_PROCESS_ERROR_H_
