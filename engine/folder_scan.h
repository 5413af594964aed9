#ifndef VARNEL_ENGINE_FOLDER_SCAN_H_
#define VARNEL_ENGINE_FOLDER_SCAN_H_

#include <functional>

#include "engine/rule_state.h"

namespace varnel {

// Takes every name of state.plan.listing in order, lower-cased, and settles it: a name of the keep list stays
// untouched; one of the exclusion list goes; a translated dump goes or becomes a candidate of its language;
// every other one joins the group of the name before it when their titles are equal, and otherwise closes
// that group (translation choice, then zone choice) and starts a new one. A final pass closes the last
// group. Every decision goes to state.plan. Calls `on_pass`, when given, once per pass.
void ScanFolder(RuleState& state, const std::function<void()>& on_pass);

}  // namespace varnel

#endif  // VARNEL_ENGINE_FOLDER_SCAN_H_
