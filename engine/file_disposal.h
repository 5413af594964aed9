#ifndef VARNEL_ENGINE_FILE_DISPOSAL_H_
#define VARNEL_ENGINE_FILE_DISPOSAL_H_

#include "engine/cleaning_plan.h"
#include "engine/rule_state.h"

namespace varnel {

// Decides that `file` goes for `reason`, `winner` (nullptr for reasons 5 to 7) being the dump kept in its stead:
// appends the decision, with its log line and the run's action, to state.plan and marks the file going there.
// Touches no file. A file named "logfile.txt" in any case is never disposed of: no decision.
void DisposeRomFile(RuleState& state, const Dump& file, const Dump* winner, DisposalReason reason);

}  // namespace varnel

#endif  // VARNEL_ENGINE_FILE_DISPOSAL_H_
