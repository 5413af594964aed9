#ifndef VARNEL_CLI_TERMINAL_HOST_H_
#define VARNEL_CLI_TERMINAL_HOST_H_

#include <string>

#include "cli/terminal_progress.h"
#include "engine/cleaning_host.h"

namespace varnel {

// A cleaning run's window on a terminal: questions are read from stdin, messages and the progress bar go
// to stderr, so that stdout carries only the run's results.
class TerminalHost : public CleaningHost {
 public:
  // With `assume_yes` every question is answered yes without asking.
  explicit TerminalHost(bool assume_yes);
  TerminalHost(const TerminalHost&) = delete;
  TerminalHost& operator=(const TerminalHost&) = delete;

  // Writes every line of `question` and " [y/N] " on stderr and reads the answer: true only for "y" or "yes"
  // (any case), so Return alone answers No. Without a terminal on stdin the question is refused, with its
  // first line and how to answer it on stderr.
  bool Confirm(const std::string& question) override;
  // Writes `text` as one line on stderr.
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  // Draws the bar of TerminalProgress.
  void SetProgress(double minimum, double maximum, double value) override;
  // The CLI prints the run's summary itself.
  void SetResultText(const std::string& text) override;
  // Nothing to open on a terminal.
  void OpenLog(const std::string& path) override;

  // Erases the progress bar, if one is shown.
  void EndProgress();
  // True when Confirm() refused a question because nobody could answer it.
  bool refused_without_terminal() const { return refused_without_terminal_; }

 private:
  const bool assume_yes_;
  TerminalProgress progress_;
  bool refused_without_terminal_ = false;
};

}  // namespace varnel

#endif  // VARNEL_CLI_TERMINAL_HOST_H_
