#include "history/run_history.h"

#include <nlohmann/json.hpp>
#include <set>

#include "history/history_folder.h"
#include "platform/text_file.h"
#include "platform/utf8.h"

namespace varnel {

namespace {

using Json = nlohmann::json;

// The first and last records are looked for in this much of each end of a file.
constexpr std::size_t kEndLength = 64 * 1024;

// One record of a run's file; a discarded value when the line is none.
Json ParseRecord(std::string_view line) {
  Json record = Json::parse(line.begin(), line.end(), nullptr, /*allow_exceptions=*/false);
  if (!record.is_object()) return Json(Json::value_t::discarded);
  return record;
}

// The text `key` of `record`, from `key`_hex when the record has that one.
bool TextField(const Json& record, std::string_view key, std::string* bytes) {
  std::string hex_key(key);
  hex_key += record_key::kHexSuffix;
  if (const auto hex = record.find(hex_key); hex != record.end()) {
    return hex->is_string() && BytesOfHex(hex->get_ref<const std::string&>(), bytes);
  }
  const auto plain = record.find(key);
  if (plain == record.end() || !plain->is_string()) return false;
  *bytes = plain->get_ref<const std::string&>();
  return true;
}

template <typename Number>
bool NumberField(const Json& record, std::string_view key, Number* number) {
  const auto found = record.find(key);
  if (found == record.end() || !found->is_number_integer()) return false;
  *number = found->get<Number>();
  return true;
}

// The identity an intent or an outcome gives; nothing when it gives none.
std::optional<FileIdentity> IdentityField(const Json& record) {
  FileIdentity identity;
  if (!NumberField(record, record_key::kSize, &identity.size) ||
      !NumberField(record, record_key::kMtime, &identity.mtime_ns) ||
      !NumberField(record, record_key::kInode, &identity.inode)) {
    return std::nullopt;
  }
  return identity;
}

// The summary of a run's first record; false when the record is none.
bool ReadHeader(const Json& record, std::string_view id, RunSummary* summary) {
  int version = 0;
  std::string job;
  if (!NumberField(record, record_key::kVersion, &version) || version != kHistoryVersion ||
      !TextField(record, record_key::kJob, &job) || !TextField(record, record_key::kFolder, &summary->folder) ||
      !TextField(record, record_key::kStarted, &summary->started)) {
    return false;
  }
  const std::optional<JobKind> kind = JobOfName(job);
  if (!kind) return false;
  summary->id = id;
  summary->job = *kind;
  if (const auto settings = record.find(record_key::kSettings); settings != record.end() && settings->is_object()) {
    TextField(*settings, record_key::kUndoes, &summary->undoes);
  }
  return true;
}

// Takes the counts of an end record; false when `record` is none.
bool ReadEnd(const Json& record, RunSummary* summary) {
  if (!record.contains(record_key::kEnd)) return false;
  summary->ended = NumberField(record, record_key::kDone, &summary->done) &&
                   NumberField(record, record_key::kFailed, &summary->failed);
  return summary->ended;
}

// Calls `each` with every line of `text`; a last line without its line feed too.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    each(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

Status NotARun(const std::string& path) { return Status::Error(path + " is not the history of a run"); }

// Adds the record `record` of a run's file to *run.
void AddRecord(const Json& record, RecordedRun* run) {
  std::size_t number = 0;
  if (NumberField(record, record_key::kIntent, &number)) {
    if (number != run->files.size()) return;  // intents are numbered in order; any other is no intent of this run
    RecordedFile file;
    std::string action;
    if (!TextField(record, record_key::kName, &file.name) || !TextField(record, record_key::kAction, &action)) return;
    const std::optional<FileAction> kind = ActionOfName(action);
    if (!kind) return;
    file.action = *kind;
    TextField(record, record_key::kDestination, &file.destination);
    file.identity = IdentityField(record);
    run->files.push_back(std::move(file));
  } else if (NumberField(record, record_key::kOutcome, &number)) {
    if (number >= run->files.size()) return;
    RecordedFile& file = run->files[number];
    std::string result;
    TextField(record, record_key::kResult, &result);
    if (result == record_key::kDone) {
      file.result = RecordedFile::Result::kDone;
      TextField(record, record_key::kDestination, &file.destination);
      TextField(record, record_key::kTrashInfo, &file.trash_info);
      file.identity_after = IdentityField(record);
    } else if (result == record_key::kFailed) {
      file.result = RecordedFile::Result::kFailed;
      TextField(record, record_key::kReason, &file.reason);
    }
  } else if (std::string folder; TextField(record, record_key::kCreatedFolder, &folder)) {
    run->created_folders.push_back(std::move(folder));
  } else {
    ReadEnd(record, &run->summary);
  }
}

}  // namespace

Status ReadRun(const std::string& folder, std::string_view id, RecordedRun* run) {
  *run = RecordedRun();
  const std::string path = RunFilePath(folder, id);
  std::string text;
  if (Status read = ReadWholeFile(path, &text); !read.ok()) return read;
  bool first = true;
  bool header = false;
  ForEachLine(text, [&](std::string_view line) {
    const Json record = ParseRecord(line);
    if (first) {
      first = false;
      header = !record.is_discarded() && ReadHeader(record, id, &run->summary);
    } else if (header && !record.is_discarded()) {
      AddRecord(record, run);
    }
  });
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
  const Json first = ParseRecord(std::string_view(head).substr(0, head_end));
  if (first.is_discarded() || !ReadHeader(first, id, summary)) return NotARun(path);

  std::string_view last = tail;
  while (!last.empty() && last.back() == '\n') last.remove_suffix(1);
  if (const std::size_t start = last.rfind('\n'); start != std::string_view::npos) last.remove_prefix(start + 1);
  if (const Json end = ParseRecord(last); !end.is_discarded() && ReadEnd(end, summary)) return Status::Ok();
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
