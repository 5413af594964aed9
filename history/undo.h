#ifndef VARNEL_HISTORY_UNDO_H_
#define VARNEL_HISTORY_UNDO_H_

#include <string>
#include <vector>

#include "common/job_host.h"
#include "history/end_message.h"
#include "history/history_folder.h"
#include "history/run_history.h"
#include "platform/status.h"

namespace varnel {

// The only way an undo reaches the user: the History window implements it with message boxes and a progress
// bar, the command-line tool with the terminal, tests with a recorder.
// Its progress is one step per file.
class UndoHost : public JobHost {
 public:
  // Asks `question` with the buttons Yes and No, No the default, no icon; true only for Yes.
  virtual bool Confirm(const std::string& question) = 0;
};

// What to take back.
struct UndoOptions {
  // The history the run is read from and the undo recorded in.
  HistoryPlace place = HistoryPlace::Default();
  // The run to take back; empty for the newest run not yet undone (FindRunToUndo).
  std::string id;
  // Ask the question before touching anything (the window asks, the command line does not).
  bool ask = true;
};

// How an undo ended.
struct UndoResult {
  enum class Outcome {
    kNoRun,          // no such run, none to undo, or its history cannot be read: a message, nothing touched
    kRefused,        // its folder is a protected one: a message, nothing touched
    kLocked,         // another job works in its folder, or the lock could not be taken: a message
    kNotConfirmed,   // the question was not answered Yes: nothing touched
    kHistoryFailed,  // the undo's own history could not be written: it stopped there, with a message
    kCompleted,      // every file was tried; the end message was shown
  };
  Outcome outcome = Outcome::kNoRun;
  RunSummary run;                     // the run taken back
  std::string undo_id;                // the undo's own run in the history
  int came_back = 0;                  // files back in their place, archives removed
  std::vector<FileFailure> failures;  // files that stayed where they are, with why
  std::string message;                // the last message shown

  bool all_back() const { return outcome == Outcome::kCompleted && failures.empty(); }
};

// The run `id` of the history folder `folder`, or when `id` is empty the newest run that can be taken back and
// was not (NewestNotUndone). Fails with a message for the user when there is none.
Status FindRunToUndo(const std::string& folder, const std::string& id, RunSummary* run);

// Takes the run back: moved, sorted and trashed files go back to their place, archives a zip run wrote are
// removed, then the folders the run created when they are empty. A file comes back only when it is unchanged
// since the run (size, modification time, inode) and its place is free: nothing is ever overwritten; every
// other file stays and is reported with its reason, and deleted files as not restorable. Holds the folder's
// lock and guard, asks first when options.ask, records itself in the history (each batch of intents on disk
// before its files are touched), and ends with UndoEndMessage.
UndoResult UndoRun(const UndoOptions& options, UndoHost& host);

// "Undo the <job> run of <time> in <folder>: <N> files go back. Continue ?", the job and the time as
// `varnel-cli history` prints them, the folder's bytes as they are (a window shows them as it shows any path).
std::string UndoQuestion(const RunSummary& run, int going_back);
// "<N> files came back." and, when some could not, "<M> files could not come back: " with the first five, their
// names as `varnel-cli history` prints them.
std::string UndoEndMessage(int came_back, const std::vector<FileFailure>& failures);

// The reasons an undo gives for a file that stays.
inline constexpr char kNotRestorable[] = "deleted, not restorable";
inline constexpr char kChangedSinceRun[] = "changed since the run";
inline constexpr char kPlaceTaken[] = "its place is taken";
inline constexpr char kNotFound[] = "not found";
inline constexpr char kTrashEntryUnknown[] = "in the trash, where the run did not say";

}  // namespace varnel

#endif  // VARNEL_HISTORY_UNDO_H_
