#ifndef VARNEL_JOBS_ALPHA_ALPHA_END_MESSAGE_H_
#define VARNEL_JOBS_ALPHA_ALPHA_END_MESSAGE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "history/end_message.h"

namespace varnel {

// A listed file that stayed where it was, with the system's reason ("File exists", "Permission denied").
using AlphaMoveFailure = FileFailure;

// The end message: "<moved> files moved." and, when some files stayed, a second line
// "<M> files not moved: " with the first five "<name> (<reason>)" entries, ", " between them, ", ..." after
// them when there are more.
std::string AlphaEndMessage(std::int32_t moved_count, const std::vector<AlphaMoveFailure>& failures);

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_ALPHA_END_MESSAGE_H_
