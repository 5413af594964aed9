#ifndef VARNEL_PLATFORM_PROCESS_H_
#define VARNEL_PLATFORM_PROCESS_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace varnel {

// What to start. Each platform reads its own fields: POSIX the argument vector, Windows the command line and
// the show mode; callers that must run on both fill both.
struct ProcessCommand {
  // POSIX: arguments[0] is the program's path (no PATH search); the vector is passed as it is, no shell.
  std::vector<std::string> arguments;
  // Windows: the command line handed to CreateProcessA, converted to the ANSI code page.
  std::string command_line;
  // Windows: the show mode of the child's window (0 = SW_HIDE).
  int show_mode = 0;
};

// A started child process and whatever it starts in turn. POSIX: the child leads a process group of its own;
// Windows: it runs in a job object that kills what is left in it when closed. Owns its handles; a child that
// still runs when its owner lets go of it is killed and reaped, and what it started is ended with it or as
// soon as it ends by itself, so nothing outlives the job that started it.
class ChildProcess {
 public:
  ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ~ChildProcess();

  // Starts `command` into *child, which gives up any child it held. The child's standard input reads from
  // the null device and its output and errors go there. On failure the status carries the system's error
  // number (errno: ENOENT = 2 for a missing program; GetLastError on Windows) and nothing was started.
  static Status Start(const ProcessCommand& command, ChildProcess* child);

  // Waits at most `max_wait_ms` milliseconds for the child to end, returning as soon as it does. *ended
  // tells whether it has ended (it is then reaped, what it left running is killed, and exit_code() is valid).
  // A failure of the system's wait carries its error number.
  Status Wait(int max_wait_ms, bool* ended);

  // Ends a child that still runs at once, with whatever it started, and reaps it. Does nothing for an ended
  // child.
  void Kill();

  // The processor time the running child has used so far (POSIX: utime + stime of /proc/<pid>/stat, in clock
  // ticks; Windows: GetProcessTimes, in 100 ns units), to compare with an earlier reading. Empty once it has
  // ended or where the system does not tell.
  std::optional<std::uint64_t> ProcessorTime() const;

  bool started() const { return started_; }
  bool ended() const { return ended_; }
  // The child's exit code once it has ended; 128 + the signal number for a child ended by a signal.
  int exit_code() const { return exit_code_; }

 private:
  struct Handles;  // the system's handles of a started child, defined for each system

  void Release();

  bool started_ = false;
  bool ended_ = false;
  int exit_code_ = -1;
  std::unique_ptr<Handles> handles_;  // none before a start
};

// True when `path` names an ordinary file that this program may start (POSIX: a regular file with execute
// permission; Windows: a file, neither a folder nor hidden nor system).
bool IsStartableFile(const std::string& path);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_PROCESS_H_
