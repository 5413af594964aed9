#include "cli/terminal_host.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "cli/terminal.h"

namespace varnel {

namespace {

constexpr int kBarWidth = 40;

bool IsYes(std::string_view answer) {
  while (!answer.empty() && (answer.front() == ' ' || answer.front() == '\t')) answer.remove_prefix(1);
  while (!answer.empty() && (answer.back() == ' ' || answer.back() == '\t' || answer.back() == '\r')) {
    answer.remove_suffix(1);
  }
  std::string lower(answer);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower == "y" || lower == "yes";
}

}  // namespace

TerminalHost::TerminalHost(bool assume_yes) : assume_yes_(assume_yes), progress_shown_(IsTerminal(stderr)) {}

TerminalHost::~TerminalHost() { EndProgress(); }

bool TerminalHost::Confirm(const std::string& question) {
  if (assume_yes_) return true;
  EndProgress();
  if (!IsTerminal(stdin)) {
    std::fprintf(stderr, "%s (no terminal to answer: add --yes)\n", question.c_str());
    refused_without_terminal_ = true;
    return false;
  }
  std::fprintf(stderr, "%s [y/N] ", question.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    std::fputc('\n', stderr);
    return false;
  }
  return IsYes(answer);
}

void TerminalHost::ShowMessage(const std::string& text, int /*icon*/) {
  EndProgress();
  std::fprintf(stderr, "%s\n", text.c_str());
}

void TerminalHost::SetProgress(double minimum, double maximum, double value) {
  if (!progress_shown_) return;
  int percent = 0;
  if (maximum > minimum) {
    const double share = (value - minimum) / (maximum - minimum);
    percent = static_cast<int>(std::floor(share * 100.0));
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
  }
  if (percent == shown_percent_) return;
  shown_percent_ = percent;
  const int filled = percent * kBarWidth / 100;
  std::string bar = "\r[";
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  bar += "] ";
  if (percent < 100) bar += ' ';
  if (percent < 10) bar += ' ';
  bar += std::to_string(percent);
  bar += '%';
  std::fputs(bar.c_str(), stderr);
  std::fflush(stderr);
}

void TerminalHost::SetResultText(const std::string& /*text*/) {}

void TerminalHost::OpenLog(const std::string& /*path*/) {}

void TerminalHost::EndProgress() {
  if (shown_percent_ < 0) return;
  shown_percent_ = -1;
  // "\r[" + bar + "] " + "100%": blank it out and return to the start of the line.
  std::fprintf(stderr, "\r%*s\r", kBarWidth + 7, "");
  std::fflush(stderr);
}

}  // namespace varnel
