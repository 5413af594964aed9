#include "cli/terminal_host.h"

#include <cstdio>
#include <iostream>
#include <string_view>

#include "cli/terminal.h"

namespace varnel {

namespace {

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

TerminalHost::TerminalHost(bool assume_yes) : assume_yes_(assume_yes) {}

bool TerminalHost::Confirm(const std::string& question) {
  if (assume_yes_) return true;
  EndProgress();
  if (!IsTerminal(stdin)) {
    // The question's first line, and how to answer it.
    const std::string first_line = question.substr(0, question.find('\n'));
    std::fprintf(stderr, "%s (no terminal to answer: add --yes)\n", first_line.c_str());
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

void TerminalHost::ShowMessage(const std::string& text, MessageIcon /*icon*/) {
  EndProgress();
  std::fprintf(stderr, "%s\n", text.c_str());
}

void TerminalHost::SetProgress(double minimum, double maximum, double value) { progress_.Set(minimum, maximum, value); }

void TerminalHost::SetResultText(const std::string& /*text*/) {}

void TerminalHost::OpenLog(const std::string& /*path*/) {}

void TerminalHost::EndProgress() { progress_.Erase(); }

}  // namespace varnel
