#include "history/run_history.h"

#include <set>

#include "history/history_folder.h"
#include "history/run_record_reader.h"
#include "platform/text_file.h"

namespace varnel {

namespace {

// The first and last records are looked for in this much of each end of a file.
constexpr std::size_t kEndLength = 64 * 1024;

using enum RunRecordReader::Field;

// The identity an intent or an outcome gives; nothing when it gives none.
std::optional<FileIdentity> IdentityField(const RunRecordReader& record) {
  FileIdentity identity;
  if (!record.Integer(kSize, &identity.size) || !record.Integer(kMtime, &identity.mtime_ns) ||
      !record.Integer(kInode, &identity.inode)) {
    return std::nullopt;
  }
  return identity;
}

// The summary of a run's first record; false when the record is none.
bool ReadHeader(const RunRecordReader& record, std::string_view id, RunSummary* summary) {
  int version = 0;
  const std::string* job = record.Text(kJob);
  if (!record.Integer(kVersion, &version) || version != kHistoryVersion || job == nullptr ||
      !record.Text(kFolder, &summary->folder) || !record.Text(kStarted, &summary->started)) {
    return false;
  }
  const std::optional<JobKind> kind = JobOfName(*job);
  if (!kind) return false;
  summary->id = id;
  summary->job = *kind;
  record.Text(kUndoes, &summary->undoes);
  return true;
}

// Takes the counts of an end record; false when `record` is none.
bool ReadEnd(const RunRecordReader& record, RunSummary* summary) {
  if (!record.Has(kEnd)) return false;
  summary->ended = record.Integer(kDone, &summary->done) && record.Integer(kFailed, &summary->failed);
  return summary->ended;
}

Status NotARun(const std::string& path) { return Status::Error(path + " is not the history of a run"); }

// Adds the record `record` of a run's file to *run.
void AddRecord(const RunRecordReader& record, RecordedRun* run) {
  std::size_t number = 0;
  if (record.Integer(kIntent, &number)) {
    if (number != run->files.size()) return;  // intents are numbered in order; any other is no intent of this run
    const std::string* action = record.Text(kAction);
    const std::optional<FileAction> kind = action == nullptr ? std::nullopt : ActionOfName(*action);
    RecordedFile file;
    if (!kind || !record.Text(kName, &file.name)) return;
    file.action = *kind;
    record.Text(kDestination, &file.destination);
    file.identity = IdentityField(record);
    run->files.push_back(std::move(file));
  } else if (record.Integer(kOutcome, &number)) {
    if (number >= run->files.size()) return;
    RecordedFile& file = run->files[number];
    const std::string* result = record.Text(kResult);
    if (result == nullptr) return;
    if (*result == record_key::kDone) {
      file.result = RecordedFile::Result::kDone;
      record.Text(kDestination, &file.destination);
      record.Text(kTrashInfo, &file.trash_info);
      file.identity_after = IdentityField(record);
    } else if (*result == record_key::kFailed) {
      file.result = RecordedFile::Result::kFailed;
      record.Text(kReason, &file.reason);
    }
  } else if (std::string folder; record.Text(kCreatedFolder, &folder)) {
    run->created_folders.push_back(std::move(folder));
  } else {
    ReadEnd(record, &run->summary);
  }
}

}  // namespace

Status ReadRun(const std::string& folder, std::string_view id, RecordedRun* run) {
  *run = RecordedRun();
  const std::string path = RunFilePath(folder, id);
  bool first = true;
  bool header = false;
  RunRecordReader record;
  const Status read = ReadFileLines(path, [&](std::string_view line) {
    if (!first && !header) return;  // no run's file: its other lines are not looked at
    const bool parsed = record.Parse(line);
    if (first) {
      first = false;
      header = parsed && ReadHeader(record, id, &run->summary);
    } else if (parsed) {
      AddRecord(record, run);
    }
  });
  if (!read.ok()) {
    *run = RecordedRun();
    return read;
  }
  if (!header) return NotARun(path);
  if (!run->summary.ended) {
    // A run that was killed: its counts are the outcomes it wrote.
    run->summary.done = run->summary.failed = 0;
    for (const RecordedFile& file : run->files) {
      run->summary.done += file.result == RecordedFile::Result::kDone;
      run->summary.failed += file.result == RecordedFile::Result::kFailed;
    }
  }
  return Status::Ok();
}

Status ReadRunSummary(const std::string& folder, std::string_view id, RunSummary* summary) {
  *summary = RunSummary();
  const std::string path = RunFilePath(folder, id);
  std::string head, tail;
  if (Status read = ReadFileEnds(path, kEndLength, &head, &tail); !read.ok()) return read;
  const std::size_t head_end = head.find('\n');
  if (head_end == std::string::npos && head.size() == kEndLength) {  // a first record longer than that
    RecordedRun run;
    const Status status = ReadRun(folder, id, &run);
    *summary = run.summary;
    return status;
  }
  RunRecordReader record;
  if (!record.Parse(std::string_view(head).substr(0, head_end)) || !ReadHeader(record, id, summary)) {
    return NotARun(path);
  }

  std::string_view last = tail;
  while (!last.empty() && last.back() == '\n') last.remove_suffix(1);
  if (const std::size_t start = last.rfind('\n'); start != std::string_view::npos) last.remove_prefix(start + 1);
  if (record.Parse(last) && ReadEnd(record, summary)) return Status::Ok();
  RecordedRun run;
  const Status status = ReadRun(folder, id, &run);
  *summary = run.summary;
  return status;
}

std::vector<RunSummary> ReadRunSummaries(const std::string& folder, Status* status) {
  std::vector<std::string> ids;
  const Status listed = ListRuns(folder, &ids);
  if (status != nullptr) *status = listed;
  std::vector<RunSummary> runs;
  for (const std::string& id : ids) {
    RunSummary summary;
    if (ReadRunSummary(folder, id, &summary).ok()) runs.push_back(std::move(summary));
  }
  return runs;
}

std::optional<RunSummary> NewestNotUndone(const std::vector<RunSummary>& runs) {
  std::set<std::string> undone;
  for (const RunSummary& run : runs) {
    // A run whose undo left files where they were is not undone yet: the next undo tries them again.
    if (run.job == JobKind::kUndo && run.ended && run.failed == 0) undone.insert(run.undoes);
  }
  for (const RunSummary& run : runs) {
    if (run.job == JobKind::kUndo || run.job == JobKind::kCleanDelete || undone.count(run.id) > 0) continue;
    if (run.done > 0 || !run.ended) return run;
  }
  return std::nullopt;
}

}  // namespace varnel
