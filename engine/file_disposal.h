#ifndef VARNEL_ENGINE_FILE_DISPOSAL_H_
#define VARNEL_ENGINE_FILE_DISPOSAL_H_

#include <string_view>

#include "engine/cleaning_plan.h"
#include "engine/rule_state.h"

namespace varnel {

// Decides that `file` goes for `reason`: appends the decision, with its log line and the run's action, to
// state.plan. Touches no file. A file named "logfile.txt" in any case is never disposed of: no decision.
void DisposeRomFile(RuleState& state, const Dump& file, std::string_view other_name, DisposalReason reason);

}  // namespace varnel

#endif  // VARNEL_ENGINE_FILE_DISPOSAL_H_
