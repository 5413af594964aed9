#include "history/run_recorder.h"

#include "history/json_line.h"
#include "platform/file_ops.h"
#include "platform/sub_folders.h"

namespace varnel {

namespace {

// How many runs may start in the same second before the next is refused.
constexpr int kRunsPerSecond = 1000;

void IdentityFields(JsonLine& line, const FileIdentity* identity) {
  if (identity == nullptr) return;
  line.Unsigned(record_key::kSize, identity->size)
      .Integer(record_key::kMtime, identity->mtime_ns)
      .Unsigned(record_key::kInode, identity->inode);
}

// True when `history` is `folder` or a folder below it: a run never writes its history into the folder it
// changes. Compared by identity, from `history` up to its root.
bool InsideFolder(const std::string& history, const std::string& folder) {
  FolderIdentity run_folder;
  if (!IdentifyFolder(folder, &run_folder).ok()) return false;
  std::string path = history;
  while (!path.empty() && path.back() != ':') {  // "C:" alone is the current folder of drive C
    FolderIdentity above;
    if (IdentifyFolder(path, &above).ok() && above == run_folder) return true;
    std::size_t end = path.size();
    while (end > 0 && IsPathSeparator(path[end - 1])) --end;
    while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
    while (end > 1 && IsPathSeparator(path[end - 1])) --end;
    if (end == 0 || end == path.size()) break;
    path.resize(end);
  }
  return false;
}

}  // namespace

RecordedSettings& RecordedSettings::Text(std::string key, std::string value) {
  settings_.push_back({std::move(key), Setting::Kind::kText, std::move(value), 0});
  return *this;
}

RecordedSettings& RecordedSettings::Flag(std::string key, bool value) {
  settings_.push_back({std::move(key), Setting::Kind::kFlag, std::string(), value ? 1 : 0});
  return *this;
}

RecordedSettings& RecordedSettings::Integer(std::string key, long long value) {
  settings_.push_back({std::move(key), Setting::Kind::kInteger, std::string(), value});
  return *this;
}

Status RunRecorder::Start(const HistoryPlace& place, JobKind job, const std::string& folder,
                          const RecordedSettings& settings) {
  if (!place.record) return Status::Ok();
  if (place.folder.empty()) return Status::Error("no folder for the history is known");
  const std::string absolute = AbsolutePath(folder);
  if (InsideFolder(place.folder, absolute)) return Status::Error("the history folder is inside " + absolute);
  if (Status made = MakeFolders(place.folder); !made.ok()) return made;

  const RunTime now = RunTimeNow();
  Status created;
  for (int n = 1; n <= kRunsPerSecond; ++n) {
    id_ = RunIdOf(now.stamp, n);
    path_ = RunFilePath(place.folder, id_);
    created = file_.Create(path_);
    if (!IsNameTaken(created)) break;
  }
  if (!created.ok()) return std::move(created).About("create the history file", path_);
  started_ = now.iso;

  JsonLine line(&pending_);
  line.Integer(record_key::kVersion, kHistoryVersion)
      .Text(record_key::kJob, JobName(job))
      .Text(record_key::kFolder, absolute)
      .Text(record_key::kStarted, started_)
      .BeginObject(record_key::kSettings);
  for (const RecordedSettings::Setting& setting : settings.settings_) {
    switch (setting.kind) {
      case RecordedSettings::Setting::Kind::kText:
        line.Text(setting.key, setting.text);
        break;
      case RecordedSettings::Setting::Kind::kFlag:
        line.Flag(setting.key, setting.number != 0);
        break;
      case RecordedSettings::Setting::Kind::kInteger:
        line.Integer(setting.key, setting.number);
        break;
    }
  }
  line.EndObject().End();
  if (Status written = Write(false); !written.ok()) {
    Abandon();
    return written;
  }
  KeepNewestRuns(place.folder);
  return Status::Ok();
}

void RunRecorder::Abandon() {
  if (!recording()) return;
  // Nothing was recorded that a job did: what the file held goes, and a failure to remove it leaves a run
  // without files in the history.
  file_.Close().IgnoreError();
  RemoveFile(path_).IgnoreError();
  pending_.clear();
}

void RunRecorder::CreatedFolder(std::string_view relative) {
  if (recording()) JsonLine(&pending_).Text(record_key::kCreatedFolder, relative).End();
}

std::size_t RunRecorder::Intent(std::string_view name, FileAction action, std::string_view destination,
                                const FileIdentity* identity) {
  const std::size_t intent = intents_++;
  if (!recording()) return intent;
  JsonLine line(&pending_);
  line.Unsigned(record_key::kIntent, intent)
      .Text(record_key::kName, name)
      .Text(record_key::kAction, ActionName(action));
  if (!destination.empty()) line.Text(record_key::kDestination, destination);
  IdentityFields(line, identity);
  line.End();
  return intent;
}

void RunRecorder::Done(std::size_t intent, const FileIdentity* identity) {
  if (!recording()) return;
  JsonLine line(&pending_);
  line.Unsigned(record_key::kOutcome, intent).Text(record_key::kResult, record_key::kDone);
  IdentityFields(line, identity);
  line.End();
}

void RunRecorder::DoneInTrash(std::size_t intent, std::string_view entry, std::string_view info,
                              const FileIdentity* identity) {
  if (!recording()) return;
  JsonLine line(&pending_);
  line.Unsigned(record_key::kOutcome, intent)
      .Text(record_key::kResult, record_key::kDone)
      .Text(record_key::kDestination, entry)
      .Text(record_key::kTrashInfo, info);
  IdentityFields(line, identity);
  line.End();
}

void RunRecorder::Failed(std::size_t intent, std::string_view reason) {
  if (!recording()) return;
  JsonLine(&pending_)
      .Unsigned(record_key::kOutcome, intent)
      .Text(record_key::kResult, record_key::kFailed)
      .Text(record_key::kReason, reason)
      .End();
}

Status RunRecorder::Write(bool sync) {
  if (!recording() || !error_.ok()) return error_;
  error_ = file_.Append(pending_);
  pending_.clear();
  if (error_.ok() && sync) error_ = file_.Sync();
  if (!error_.ok()) error_ = std::move(error_).About("write the history file", path_);
  return error_;
}

Status RunRecorder::Finish(int done, int failed, bool sync) {
  if (!recording()) return error_;
  JsonLine(&pending_)
      .Text(record_key::kEnd, RunTimeNow().iso)
      .Integer(record_key::kDone, done)
      .Integer(record_key::kFailed, failed)
      .End();
  Write(sync).IgnoreError();  // kept in error_
  const Status closed = file_.Close();
  if (error_.ok() && !closed.ok()) error_ = closed.About("write the history file", path_);
  return error_;
}

std::string HistoryStartMessage(const HistoryPlace& place, const Status& status, std::string_view done) {
  std::string message = status.action().empty()
                            ? "Cannot write the history in " + place.folder + ": " + status.message()
                            : status.ToString();
  return message.append("; nothing was ").append(done).append(".");
}

Status CarryOutInBatches(RunRecorder& recorder, std::size_t count, const std::function<void(std::size_t)>& intend,
                         const std::function<bool(std::size_t)>& act) {
  for (std::size_t first = 0; first < count;) {
    std::size_t last = first;
    do {
      intend(last++);
    } while (last < count && recorder.pending_size() < kIntentBatchSize);
    // Only now, with the batch's intents on disk, are its files touched.
    if (Status written = recorder.Write(/*sync=*/true); !written.ok()) return written;
    for (std::size_t i = first; i < last; ++i) {
      if (!act(i)) return Status::Ok();
    }
    first = last;
  }
  return Status::Ok();
}

}  // namespace varnel
