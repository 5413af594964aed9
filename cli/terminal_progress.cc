#include "cli/terminal_progress.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "cli/terminal.h"

namespace varnel {

namespace {

constexpr int kBarWidth = 40;
constexpr int kLineWidth = kBarWidth + 7;  // "[" bar "] " "100%"

}  // namespace

TerminalProgress::TerminalProgress() : on_terminal_(IsTerminal(stderr)) {}

TerminalProgress::~TerminalProgress() { Erase(); }

void TerminalProgress::Set(double minimum, double maximum, double value) {
  if (!on_terminal_) return;
  int percent = 0;
  if (maximum > minimum) {
    percent = static_cast<int>(std::floor((value - minimum) * 100.0 / (maximum - minimum)));
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
  }
  if (percent == shown_percent_) return;
  shown_percent_ = percent;
  const int filled = percent * kBarWidth / 100;
  std::string line = "\r[";
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  line += "] ";
  if (percent < 100) line += ' ';
  if (percent < 10) line += ' ';
  line += std::to_string(percent);
  line += '%';
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void TerminalProgress::Erase() {
  if (shown_percent_ < 0) return;
  shown_percent_ = -1;
  std::fprintf(stderr, "\r%*s\r", kLineWidth, "");
  std::fflush(stderr);
}

}  // namespace varnel
