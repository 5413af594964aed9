#include "tests/support/recording_hosts.h"

namespace varnel {

std::string IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kStop:
      return "stop";
    case MessageIcon::kExclamation:
      return "exclamation";
    case MessageIcon::kInformation:
      return "information";
    case MessageIcon::kNone:
      break;
  }
  return "none";
}

void PrintTo(const ShownMessage& message, std::ostream* out) { *out << IconTag(message.icon) << " " << message.text; }

void PrintTo(const ProgressStep& step, std::ostream* out) {
  *out << "{" << step.minimum << ", " << step.maximum << ", " << step.value << "}";
}

}  // namespace varnel
