#ifndef VARNEL_ENGINE_DISPOSER_H_
#define VARNEL_ENGINE_DISPOSER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/cleaning_plan.h"
#include "history/run_recorder.h"
#include "platform/folder_handle.h"
#include "platform/status.h"
#include "platform/text_file.h"
#include "platform/trash.h"

namespace varnel {

// Carries a cleaning plan out: the one place of the engine that touches the folder's files. It alone holds
// the run's log, the open folder and the counters. Its batch loop writes each batch of log lines (at most
// kBatchSize bytes) and, in a real run, puts it on disk before any file of the batch is touched; the intents of
// the run's history go to disk at the same points, those of the batch and of the next ones as long as they fit
// kIntentBatchSize, so that no file is ever disposed of without its line and its intent on disk.
class Disposer {
 public:
  static constexpr std::size_t kBatchSize = 64 * 1024;

  // A disposer for the folder `rom_folder` that gets rid of every file by `action`, whatever action a plan it
  // carries out was made with. With `apply_changes` clear (a test run) it writes the log and touches no other
  // file. A real run records each file in `recorder` (when given, and started).
  Disposer(std::string rom_folder, DisposalAction action, bool apply_changes, RunRecorder* recorder = nullptr);
  Disposer(const Disposer&) = delete;
  Disposer& operator=(const Disposer&) = delete;

  const std::string& RomFolder() const { return rom_folder_; }
  bool ApplyChanges() const { return apply_changes_; }
  // Files deleted, moved or trashed so far; in a test run, the decisions written to the log.
  std::int32_t DisposedCount() const { return disposed_count_; }
  // Disposals that failed; each has an error line in the log and is not in DisposedCount.
  int FailedCount() const { return failed_count_; }
  // "logfile.txt" in the folder.
  const std::string& log_path() const { return log_path_; }
  // Why the log could not be opened ("create the log file") or why its last write failed ("write the log
  // file"), naming the log.
  const Status& log_error() const { return log_error_; }
  // Why a write of the history failed; ok while none did.
  const Status& history_error() const { return history_error_; }

  // True when the log's name is free, or holds a regular file with a single link (a link is not followed).
  bool LogMayBeOpened() const;
  // Opens the log without following a link or waiting on a FIFO, checks it, and empties it. False when it
  // cannot be used; *not_regular is then set when its name holds anything but a regular file with a single
  // link, which is left untouched.
  bool OpenLog(bool* not_regular);
  // Carries out the disposals of `plan` in order, batch by batch, each by the disposer's action (never by the
  // action recorded in the plan); in a real run calls `on_file` (when given) after each file. A disposal that
  // fails gets the line "<name>\t --> Error: <what failed>", written after the decision lines of its batch.
  // False when a log or history write failed (log_error(), history_error()): the batch it held was not carried
  // out, nor any after it.
  bool CarryOut(const CleaningPlan& plan, const std::function<void()>& on_file);
  // Writes the error lines still pending and `text` (whole lines, CR LF included), puts the log on disk in a
  // real run, and closes it; then ends the history with the counts. False when that fails.
  bool Finish(std::string_view text);

 private:
  // Appends `bytes` to the log and, in a real run, puts them on disk. False, with log_error() set, on failure.
  bool WriteAhead(std::string_view bytes);
  // Opens the folder (and "moved" for a move) once, before the first file is looked at.
  void OpenFolders();
  // True when the run is recorded in a history; the intent of each disposal is numbered as the disposal.
  bool Recording() const;
  // Records the intents of the disposals not recorded yet up to `last` at least, more while they fit one write.
  void RecordIntents(const CleaningPlan& plan, std::size_t last);
  // Deletes, moves or trashes one file of the plan.
  Status Act(const CleaningPlan& plan, const PlannedDisposal& disposal);
  // Records that the file of `disposal` went, the one Act() just carried out.
  void RecordDone(std::size_t disposal);

  const std::string rom_folder_;
  const DisposalAction action_;
  const bool apply_changes_;
  const std::string log_path_;
  std::int32_t disposed_count_ = 0;
  int failed_count_ = 0;
  LogFile log_;
  Status log_error_;
  RunRecorder* recorder_;  // nullptr, or a history that records nothing, in a test run
  Status history_error_;
  std::size_t intended_ = 0;  // the disposals whose intents are recorded
  std::string pending_;       // error lines of the last batch carried out, not yet written

  // The folder and "moved", opened at the first delete or move so that each file goes by its name.
  bool rom_folder_open_ = false;
  bool moved_folder_open_ = false;
  FolderHandle rom_folder_handle_;
  FolderHandle moved_folder_handle_;
  bool moved_elsewhere_ = false;  // "moved" is on another device: a move there is a copy, another inode
  Trash trash_;                   // keeps the trash of the folder's files open
  TrashEntry trash_entry_;        // where the last file put in the trash went
  std::string listed_name_;       // the listed name of the file being disposed of, NUL-terminated
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_DISPOSER_H_
