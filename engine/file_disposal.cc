#include "engine/file_disposal.h"

#include "common/well_known_names.h"
#include "platform/lower_case.h"

namespace varnel {

void DisposeRomFile(RuleState& state, const Dump& file, const Dump* winner, DisposalReason reason) {
  // The run's own log is never moved, deleted, logged or counted.
  constexpr std::string_view kLogName = kLogFileName;
  if (file.name.size() == kLogName.size() && LowerCase(file.name) == kLogName) return;

  const std::string_view other_name = winner != nullptr ? winner->name : std::string_view();
  std::string& line = state.plan.log_text;
  const std::size_t begin = line.size();
  line.append(file.name).append("\t --> ");
  switch (reason) {
    case DisposalReason::kVerifiedFound:
    case DisposalReason::kPlainFound:
      line.append(other_name).append(" found");
      break;
    case DisposalReason::kFirstKept:
      line.append(other_name).append(" kept");
      break;
    case DisposalReason::kPrioritaryFound:
      line.append(other_name).append(" found (prioritary)");
      break;
    case DisposalReason::kUnselectedZone:
      line.append("Unselected Zone");
      break;
    case DisposalReason::kExcluded:
      line.append("Excluded file");
      break;
    case DisposalReason::kTranslationUnwanted:
      line.append("Translation not wanted");
      break;
    case DisposalReason::kBetterTranslation:
      line.append(other_name).append(" has a better translation");
      break;
  }
  line.append("\r\n");
  state.plan.disposals.push_back(PlannedDisposal{file.listed, reason, state.action, begin, line.size()});
  if (!state.describe_files) return;
  PlannedFile& planned = state.plan.files[file.listed];
  planned.verdict = FileVerdict::kGoing;
  planned.reason = reason;
  if (winner != nullptr) planned.winner = static_cast<std::uint32_t>(winner->listed);
}

}  // namespace varnel
