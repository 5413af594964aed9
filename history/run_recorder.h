#ifndef VARNEL_HISTORY_RUN_RECORDER_H_
#define VARNEL_HISTORY_RUN_RECORDER_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "history/history_folder.h"
#include "history/run_record.h"
#include "platform/file_identity.h"
#include "platform/status.h"
#include "platform/text_file.h"

namespace varnel {

// The options of a run as its first record keeps them, in the order given.
class RecordedSettings {
 public:
  RecordedSettings& Text(std::string key, std::string value);
  RecordedSettings& Flag(std::string key, bool value);
  RecordedSettings& Integer(std::string key, long long value);

 private:
  friend class RunRecorder;
  struct Setting {
    enum class Kind { kText, kFlag, kInteger };
    std::string key;
    Kind kind = Kind::kText;
    std::string text;
    long long number = 0;  // a flag's 0 or 1, or an integer
  };
  std::vector<Setting> settings_;
};

// Writes the history of one real run: its own new file in the history folder, one record per line (see
// run_record.h). Records are gathered in memory and go to the file at Write(): a job writes the intents of a
// batch of files and puts them on disk (Write(true)) before it touches any file of the batch, and the outcomes
// follow with the next batch. A recorder that was not started, or started for HistoryPlace::Nowhere(), records
// nothing and every call succeeds.
class RunRecorder {
 public:
  RunRecorder() = default;
  RunRecorder(const RunRecorder&) = delete;
  RunRecorder& operator=(const RunRecorder&) = delete;

  // Creates the run's file in place.folder (made when missing) under the id of the time now, the first of
  // "<id>.jsonl", "<id>-2.jsonl"... whose name is free (never through a link, never replacing anything), and
  // writes the first record: the job, `folder` made absolute, the start time and `settings`. Then removes the
  // runs beyond the newest kKeptRuns. Fails, creating nothing, when no history folder is known, when it lies in
  // `folder` or below it, or when the file cannot be created or written.
  Status Start(const HistoryPlace& place, JobKind job, const std::string& folder, const RecordedSettings& settings);
  bool recording() const { return file_.is_open(); }
  const std::string& id() const { return id_; }
  const std::string& path() const { return path_; }
  // The start time, ISO 8601 with the offset from UTC.
  const std::string& started() const { return started_; }

  // Removes the run's file: the run stopped before it touched any file.
  void Abandon();

  // A folder the run created, relative to its folder.
  void CreatedFolder(std::string_view relative);
  // The intent to do `action` to the file `name`; `destination` and the file's identity before the action
  // when there are. Returns the intent's number, which its outcome gives.
  std::size_t Intent(std::string_view name, FileAction action, std::string_view destination = {},
                     const FileIdentity* identity = nullptr);
  // The intent `intent` was carried out; `identity` is the file's where it differs from the intent's (a move
  // across devices, the archive a zip wrote).
  void Done(std::size_t intent, const FileIdentity* identity = nullptr);
  // The intent `intent` put its file in the trash, at the entry `entry` with the information file `info`.
  void DoneInTrash(std::size_t intent, std::string_view entry, std::string_view info, const FileIdentity* identity);
  void Failed(std::size_t intent, std::string_view reason);

  // Appends the records gathered since the last call to the file; with `sync`, then puts the file on disk. A
  // failure ("Cannot write the history file <path>: <reason>") stops the recording, and every later Write() and
  // Finish() gives it again: the job must touch no more file.
  Status Write(bool sync);
  // Gathers the last record, with the counts of files done and failed, writes it and closes the file; with
  // `sync`, puts the file on disk first. (A last record lost in a power cut leaves a run that reads as killed:
  // what it did is found on disk.)
  Status Finish(int done, int failed, bool sync = true);
  // Bytes of records gathered and not yet written.
  std::size_t pending_size() const { return pending_.size(); }

 private:
  LogFile file_;
  std::string id_;
  std::string path_;
  std::string started_;
  std::string pending_;  // records not yet written
  Status error_;         // the first failure to write
  std::size_t intents_ = 0;
};

// What a job that touched nothing says when its history cannot be started: "Cannot write the history in
// <folder>: <reason>; nothing was <done>.", or the failure as it names itself ("Cannot create <folder>: ...").
std::string HistoryStartMessage(const HistoryPlace& place, const Status& status, std::string_view done);

// Bytes of intents a job writes ahead at once (the cleaning run has its own batches, those of its log).
inline constexpr std::size_t kIntentBatchSize = 8 * 1024 * 1024;

// Carries out `count` steps of a job in batches, recording each in `recorder`: `intend(i)` records the intent of
// step i, and once a batch of at most kIntentBatchSize bytes of intents (one step at least) is on disk,
// `act(i)` carries out each step of it; an `act` that returns false ends the job there. Stops at a failed
// write of the history, whose reason it returns; the steps of that batch are not carried out.
Status CarryOutInBatches(RunRecorder& recorder, std::size_t count, const std::function<void(std::size_t)>& intend,
                         const std::function<bool(std::size_t)>& act);

}  // namespace varnel

#endif  // VARNEL_HISTORY_RUN_RECORDER_H_
