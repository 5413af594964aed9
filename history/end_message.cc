#include "history/end_message.h"

namespace varnel {

std::string FailuresLine(const std::vector<FileFailure>& failures, std::string_view what) {
  std::string line = std::to_string(failures.size());
  line.append(" ").append(what).append(": ");
  for (std::size_t i = 0; i < failures.size() && i < kNamedFailures; ++i) {
    if (i > 0) line += ", ";
    line.append(failures[i].name).append(" (").append(failures[i].reason).append(")");
  }
  if (failures.size() > kNamedFailures) line += ", ...";
  return line;
}

std::string EndMessage(long long count, std::string_view done, const std::vector<FileFailure>& failures,
                       std::string_view failed) {
  std::string text = std::to_string(count);
  text.append(" ").append(done).append(".");
  if (!failures.empty()) text.append("\n").append(FailuresLine(failures, failed));
  return text;
}

}  // namespace varnel
