#ifndef VARNEL_CLI_TERMINAL_PROGRESS_H_
#define VARNEL_CLI_TERMINAL_PROGRESS_H_

#include <cstdio>
#include <string>

#include "common/job_host.h"

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

// A job's host on a terminal: its information message (the job's end message) on stdout, every other message
// and the progress bar on stderr. `Host` is the job's own host (AlphaHost, UndoHost).
template <typename Host>
class TerminalJobHost : public Host {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    progress_.Erase();
    std::fprintf(icon == MessageIcon::kInformation ? stdout : stderr, "%s\n", text.c_str());
  }
  void SetProgress(double minimum, double maximum, double value) override { progress_.Set(minimum, maximum, value); }

 private:
  TerminalProgress progress_;
};

}  // namespace varnel

#endif  // VARNEL_CLI_TERMINAL_PROGRESS_H_
