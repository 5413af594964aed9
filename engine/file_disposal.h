#ifndef VARNEL_ENGINE_FILE_DISPOSAL_H_
#define VARNEL_ENGINE_FILE_DISPOSAL_H_

#include <string_view>

#include "engine/cleaning_state.h"

namespace varnel {

// Why a file goes; selects the wording of its log line.
enum DisposalReason : int {
  kVerifiedFound = 1,        // "<name>\t --> <other> found": a "[!]" dump of the game was kept
  kPlainFound = 2,           // "<name>\t --> <other> found": a dump without further tags was kept
  kFirstKept = 3,            // "<name>\t --> <other> kept": no dump was better, the first one was kept
  kPrioritaryFound = 4,      // "<name>\t --> <other> found (prioritary)": a dump of an earlier zone was kept
  kUnselectedZone = 5,       // "<name>\t --> Unselected Zone"
  kExcluded = 6,             // "<name>\t --> Excluded file"
  kTranslationUnwanted = 7,  // "<name>\t --> Translation not wanted"
  kBetterTranslation = 8,    // "<name>\t --> <other> has a better translation"
};

// Gets rid of `file`: moves it into "moved" (keeping its listed name) or deletes it, unless the run is a
// test, then writes its log line and counts it in DisposedCount. A file named "logfile.txt" in any case is
// left alone, unlogged and uncounted. A move or delete that fails writes "<name>\t --> Error: <reason>"
// instead, counts in FailedCount and not in DisposedCount. A reason outside 1..8 writes no line.
void DisposeRomFile(CleaningState& state, const Dump& file, std::string_view other_name, int reason);

}  // namespace varnel

#endif  // VARNEL_ENGINE_FILE_DISPOSAL_H_
