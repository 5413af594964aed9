#include "jobs/alpha/alpha_end_message.h"

namespace varnel {

std::string AlphaEndMessage(std::int32_t moved_count, const std::vector<AlphaMoveFailure>& failures) {
  return EndMessage(moved_count, "files moved", failures, "files not moved");
}

}  // namespace varnel
