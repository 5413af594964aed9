#ifndef VARNEL_HISTORY_END_MESSAGE_H_
#define VARNEL_HISTORY_END_MESSAGE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// A file a job could not handle, with why ("File exists", "changed since the run").
struct FileFailure {
  std::string name;
  std::string reason;
};

// How many failures an end message names; the others are summed up by ", ...".
inline constexpr std::size_t kNamedFailures = 5;

// "<M> <what>: " and the first kNamedFailures failures as "<name> (<reason>)", ", " between them, ", ..." after
// them when there are more.
std::string FailuresLine(const std::vector<FileFailure>& failures, std::string_view what);

// The end message of a job over files: "<count> <done>." and, when some files failed, a second line
// FailuresLine(failures, failed).
std::string EndMessage(long long count, std::string_view done, const std::vector<FileFailure>& failures,
                       std::string_view failed);

}  // namespace varnel

#endif  // VARNEL_HISTORY_END_MESSAGE_H_
