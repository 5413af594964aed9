#ifndef VARNEL_CLI_TERMINAL_PROGRESS_H_
#define VARNEL_CLI_TERMINAL_PROGRESS_H_

namespace varnel {

// A job's progress bar on stderr, drawn only when stderr is a terminal and redrawn only when the shown
// percentage changes, so that a job's once-per-file updates stay cheap. Shared by every subcommand's host.
class TerminalProgress {
 public:
  TerminalProgress();
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;
  ~TerminalProgress();

  // Shows `value` between `minimum` and `maximum` as a bar and a percentage.
  void Set(double minimum, double maximum, double value);
  // Blanks the bar out, if one is shown, so that a message or question can take its line.
  void Erase();

 private:
  const bool on_terminal_;
  int shown_percent_ = -1;  // -1: no bar on the screen
};

}  // namespace varnel

#endif  // VARNEL_CLI_TERMINAL_PROGRESS_H_
