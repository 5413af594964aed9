#ifndef VARNEL_HISTORY_RUN_HISTORY_H_
#define VARNEL_HISTORY_RUN_HISTORY_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/run_record.h"
#include "platform/file_identity.h"
#include "platform/status.h"

namespace varnel {

// What the first and last records of a run's file say.
struct RunSummary {
  std::string id;
  JobKind job = JobKind::kAlpha;
  std::string folder;   // the run's folder, absolute, its bytes as they were
  std::string started;  // ISO 8601 with the offset from UTC
  std::string undoes;   // for an undo run, the id of the run it took back
  int done = 0;         // files done and failed: the last record's counts, else the outcomes found
  int failed = 0;
  bool ended = false;  // the run wrote its last record (a run that was killed did not)
};

// One file of a run: its intent, and its outcome when there is one.
struct RecordedFile {
  enum class Result { kUnknown, kDone, kFailed };

  std::string name;
  FileAction action = FileAction::kDelete;
  std::string destination;                     // empty for a delete
  std::string trash_info;                      // for a file put in the trash, its information file
  std::optional<FileIdentity> identity;        // the file before the action (no device)
  Result result = Result::kUnknown;            // kUnknown: the run ended before it said
  std::string reason;                          // why it failed
  std::optional<FileIdentity> identity_after;  // the file where the action put it, when it differs
};

// A whole run, as its file records it.
struct RecordedRun {
  RunSummary summary;
  std::vector<std::string> created_folders;  // relative to its folder, in the order they were made
  std::vector<RecordedFile> files;           // in the order of their intents
};

// Reads the run `id` of the history folder `folder` whole. Fails when the file cannot be read or its first
// record is not a run's; a later line that is no record of a run (a write cut short) is passed over.
Status ReadRun(const std::string& folder, std::string_view id, RecordedRun* run);

// Reads what the list of runs shows of the run `id`: the first record and the last one, and only when the run
// has no last record (it was killed) the whole file, to count its outcomes.
Status ReadRunSummary(const std::string& folder, std::string_view id, RunSummary* summary);

// The summaries of the runs kept in `folder`, newest first; the files that cannot be read are left out.
std::vector<RunSummary> ReadRunSummaries(const std::string& folder, Status* status = nullptr);

// The newest of `runs` (newest first, as ReadRunSummaries gives them) that can be taken back and was not: a run
// of a job that did something (or was killed), neither an undo nor a delete run, and that no undo took back
// whole (an undo that left files where they were leaves its run to be tried again). Nothing when there is none.
std::optional<RunSummary> NewestNotUndone(const std::vector<RunSummary>& runs);

}  // namespace varnel

#endif  // VARNEL_HISTORY_RUN_HISTORY_H_
