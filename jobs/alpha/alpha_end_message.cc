#include "jobs/alpha/alpha_end_message.h"

#include <charconv>

namespace varnel {
namespace {

void AppendDecimal(std::string& text, long long value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof(digits), value);
  text.append(digits, end);
}

}  // namespace

std::string AlphaEndMessage(std::int32_t moved_count, const std::vector<AlphaMoveFailure>& failures) {
  std::string text;
  AppendDecimal(text, moved_count);
  text += " files moved.";
  if (failures.empty()) return text;

  text += '\n';
  AppendDecimal(text, static_cast<long long>(failures.size()));
  text += " files not moved: ";
  for (std::size_t i = 0; i < failures.size() && i < kNamedFailures; ++i) {
    if (i > 0) text += ", ";
    text += failures[i].name;
    text += " (";
    text += failures[i].reason;
    text += ')';
  }
  if (failures.size() > kNamedFailures) text += ", ...";
  return text;
}

}  // namespace varnel
