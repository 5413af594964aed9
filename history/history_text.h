#ifndef VARNEL_HISTORY_HISTORY_TEXT_H_
#define VARNEL_HISTORY_HISTORY_TEXT_H_

#include <string>
#include <string_view>

#include "history/run_history.h"

namespace varnel {

// `bytes` made safe to print on one line of a terminal: TAB, CR, LF and the backslash as "\t", "\r", "\n" and
// "\\", every other control byte and every byte that is not part of valid UTF-8 as "\xHH".
std::string PrintableText(std::string_view bytes);

// The line `varnel-cli history` prints for a run: its id, its start in local time (ISO 8601), its job, its
// folder, the files done and the files failed, separated by TABs.
std::string RunLine(const RunSummary& run);

// What a file's outcome reads as: "done", "failed: <reason>", or "not known" when the run ended before it said.
std::string ResultText(const RecordedFile& file);

// The line `varnel-cli history ID` prints for a file: its name, the action, the destination and the result,
// separated by TABs.
std::string FileLine(const RecordedFile& file);

}  // namespace varnel

#endif  // VARNEL_HISTORY_HISTORY_TEXT_H_
