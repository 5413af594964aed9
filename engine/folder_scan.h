#ifndef VARNEL_ENGINE_FOLDER_SCAN_H_
#define VARNEL_ENGINE_FOLDER_SCAN_H_

#include <string>
#include <vector>

#include "engine/cleaning_host.h"
#include "engine/cleaning_state.h"

namespace varnel {

// Takes every name of `listing` in order, lower-cased, and settles it: a name of the keep list stays
// untouched; one of the exclusion list goes; a translated dump goes or becomes a candidate of its language;
// every other one joins the group of the name before it when their titles are equal, and otherwise closes
// that group (translation choice, then zone choice) and starts a new one. A final pass closes the last
// group. Adds 1 to the progress value per pass, from `progress_value`, against `progress_maximum`.
void ScanFolder(CleaningState& state, const std::vector<std::string>& listing, CleaningHost& host,
                double progress_maximum, double progress_value);

}  // namespace varnel

#endif  // VARNEL_ENGINE_FOLDER_SCAN_H_
