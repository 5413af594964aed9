#ifndef VARNEL_JOBS_ALPHA_ALPHA_JOB_H_
#define VARNEL_JOBS_ALPHA_ALPHA_JOB_H_

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_folder.h"
#include "jobs/alpha/alpha_end_message.h"
#include "jobs/alpha/alpha_host.h"

namespace varnel {

// How one run of the alphabetical job ended.
struct AlphaResult {
  enum class Outcome {
    kRefused,        // a protected folder (the home folder, a system folder): a message, nothing touched
    kLocked,         // another job works in the folder, or its lock could not be taken: a message, nothing touched
    kListingFailed,  // the folder could not be read: a stop message was shown, nothing created or moved
    kEmptyFolder,    // no ordinary file: "Empty directory" was shown, nothing created or moved
    kFoldersFailed,  // a needed folder exists as a file or cannot be created: a stop message, nothing moved
    kHistoryFailed,  // the history could not be written: a stop message, no file moved after that
    kCompleted,      // every listed file was tried; the end message was shown
  };
  Outcome outcome = Outcome::kEmptyFolder;
  std::int32_t moved_count = 0;            // files moved into their letter folder
  std::vector<AlphaMoveFailure> failures;  // files that could not be moved, in listing order
  std::string message;                     // the last message shown to the user
  std::string history_id;                  // the run's id in the history; empty when it is not recorded

  // True when the job ran to its end and every file it tried to move was moved.
  bool all_moved() const { return outcome == Outcome::kCompleted && failures.empty(); }
};

// Moves every ordinary file of `rom_folder` (hidden files and folders left out, "logfile.txt" left alone)
// into "AlphaFolders/<letter>" or "AlphaFolders/#" below it, creating the 27 folders when absent and never
// overwriting a file. Refuses a protected folder and holds the folder's lock from start to end. The run is recorded
// in `history`: each batch of intents (the file, its letter folder, what it is) is on disk before its files move.
// Reaches the user only through `host`: progress from 0 to N of N + 2, full at the end, then one message. A move
// that fails leaves the file in place and the job goes on with the next one.
AlphaResult RunAlphaFolders(const std::string& rom_folder, AlphaHost& host,
                            const HistoryPlace& history = HistoryPlace::Default());

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_ALPHA_JOB_H_
