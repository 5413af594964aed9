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

// The fields a record of a run's file may have, each a text or a number; "settings" holds "undoes".
enum Field : int {
  kVersion,
  kJob,
  kFolder,
  kStarted,
  kUndoes,
  kCreatedFolder,
  kIntent,
  kName,
  kAction,
  kDestination,
  kTrashInfo,
  kSize,
  kMtime,
  kInode,
  kOutcome,
  kResult,
  kReason,
  kEnd,
  kDone,
  kFailed,
  kFieldCount,
  kSettings,
  kOther
};
constexpr std::pair<std::string_view, Field> kFields[] = {
    {record_key::kVersion, kVersion},
    {record_key::kJob, kJob},
    {record_key::kFolder, kFolder},
    {record_key::kStarted, kStarted},
    {record_key::kCreatedFolder, kCreatedFolder},
    {record_key::kIntent, kIntent},
    {record_key::kName, kName},
    {record_key::kAction, kAction},
    {record_key::kDestination, kDestination},
    {record_key::kTrashInfo, kTrashInfo},
    {record_key::kSize, kSize},
    {record_key::kMtime, kMtime},
    {record_key::kInode, kInode},
    {record_key::kOutcome, kOutcome},
    {record_key::kResult, kResult},
    {record_key::kReason, kReason},
    {record_key::kEnd, kEnd},
    {record_key::kDone, kDone},
    {record_key::kFailed, kFailed},
    {record_key::kSettings, kSettings},
};

// One record of a run's file: its fields, read by nlohmann-json's event parser without building a document (a
// run's file has two records per file it touched). A text given as `<key>_hex` is kept as its bytes.
class Record : public nlohmann::json_sax<Json> {
 public:
  // Reads `line`; false when it is not one JSON object.
  bool Parse(std::string_view line) {
    present_ = 0;
    depth_ = 0;
    broken_ = false;
    const bool parsed = Json::sax_parse(line.begin(), line.end(), this);
    return parsed && !broken_ && object_;
  }

  bool Has(Field field) const { return (present_ & (1u << field)) != 0; }
  // The text of `field`; false when the record has none.
  bool Text(Field field, std::string* text) const {
    if (!Has(field) || !is_text_[field]) return false;
    *text = texts_[field];
    return true;
  }
  const std::string* Text(Field field) const { return Has(field) && is_text_[field] ? &texts_[field] : nullptr; }
  template <typename Number>
  bool Integer(Field field, Number* number) const {
    if (!Has(field) || is_text_[field]) return false;
    *number = static_cast<Number>(numbers_[field]);
    return true;
  }

  // The events of the parser.
  bool key(string_t& name) override {
    field_ = kOther;
    hex_ = false;
    std::string_view key = name;
    if (depth_ == 2) {  // in "settings": its "undoes" alone
      if (in_settings_ && (key == record_key::kUndoes || key == kUndoesHex)) {
        field_ = kUndoes;
        hex_ = key != record_key::kUndoes;
      }
      return true;
    }
    if (depth_ != 1) return true;
    if (key.size() > 4 && key.substr(key.size() - 4) == record_key::kHexSuffix) {
      hex_ = true;
      key.remove_suffix(4);
    }
    for (const auto& [known, field] : kFields) {
      if (key == known) {
        field_ = field;
        break;
      }
    }
    return true;
  }
  bool string(string_t& value) override {
    if (!Settable()) return true;
    if (hex_) {
      if (!BytesOfHex(value, &texts_[field_])) broken_ = true;
    } else {
      texts_[field_] = std::move(value);
    }
    Set(/*text=*/true);
    return true;
  }
  bool number_integer(number_integer_t value) override { return Number(value); }
  bool number_unsigned(number_unsigned_t value) override { return Number(static_cast<std::int64_t>(value)); }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool boolean(bool) override { return true; }
  bool null() override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override {
    if (depth_ == 0) object_ = true;
    in_settings_ = depth_ == 1 && field_ == kSettings;
    ++depth_;
    return true;
  }
  bool end_object() override {
    if (depth_ == 2) in_settings_ = false;
    --depth_;
    return true;
  }
  bool start_array(std::size_t) override {
    if (depth_ == 0) object_ = false;
    ++depth_;
    return true;
  }
  bool end_array() override {
    --depth_;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  static constexpr std::string_view kUndoesHex = "undoes_hex";

  bool Settable() const { return (depth_ == 1 || (depth_ == 2 && in_settings_)) && field_ < kFieldCount; }
  bool Number(std::int64_t value) {
    if (!Settable() || hex_) return true;
    numbers_[field_] = value;
    Set(/*text=*/false);
    return true;
  }
  void Set(bool text) {
    present_ |= 1u << field_;
    is_text_[field_] = text;
  }

  std::uint32_t present_ = 0;
  int depth_ = 0;
  bool object_ = false;
  bool in_settings_ = false;
  bool broken_ = false;
  Field field_ = kOther;
  bool hex_ = false;
  std::string texts_[kFieldCount];
  std::int64_t numbers_[kFieldCount] = {};
  bool is_text_[kFieldCount] = {};
};

// The identity an intent or an outcome gives; nothing when it gives none.
std::optional<FileIdentity> IdentityField(const Record& record) {
  FileIdentity identity;
  if (!record.Integer(kSize, &identity.size) || !record.Integer(kMtime, &identity.mtime_ns) ||
      !record.Integer(kInode, &identity.inode)) {
    return std::nullopt;
  }
  return identity;
}

// The summary of a run's first record; false when the record is none.
bool ReadHeader(const Record& record, std::string_view id, RunSummary* summary) {
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
bool ReadEnd(const Record& record, RunSummary* summary) {
  if (!record.Has(kEnd)) return false;
  summary->ended = record.Integer(kDone, &summary->done) && record.Integer(kFailed, &summary->failed);
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
void AddRecord(const Record& record, RecordedRun* run) {
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
  std::string text;
  if (Status read = ReadWholeFile(path, &text); !read.ok()) return read;
  bool first = true;
  bool header = false;
  Record record;
  ForEachLine(text, [&](std::string_view line) {
    const bool parsed = record.Parse(line);
    if (first) {
      first = false;
      header = parsed && ReadHeader(record, id, &run->summary);
    } else if (header && parsed) {
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
  Record record;
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
