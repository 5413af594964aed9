#ifndef VARNEL_CLI_PLAN_OUTPUT_H_
#define VARNEL_CLI_PLAN_OUTPUT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/cleaning_plan.h"

namespace varnel {

// How `varnel-cli clean --plan` prints a plan.
enum class PlanFormat {
  kText,  // tab-separated: name, title, kept|going, reason, winner; names made printable by PrintableText
  kJson,  // one JSON object per file with the same fields; a value that is not UTF-8 in its field's "_hex" twin
};

// The reason column of a file: "1" to "8" for a file that goes, "K" for one the keep list keeps, "" for one kept
// as the best dump or the best translation of its game.
std::string_view ReasonCode(const PlannedFile& file);

// Appends the line of listed file `listed` of `plan` in `format`, line feed included.
void AppendPlanLine(const CleaningPlan& plan, std::uint32_t listed, PlanFormat format, std::string* out);

}  // namespace varnel

#endif  // VARNEL_CLI_PLAN_OUTPUT_H_
