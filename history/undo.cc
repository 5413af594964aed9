#include "history/undo.h"

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <unordered_map>
#include <utility>

#include "history/history_text.h"
#include "history/run_recorder.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/folder_guard.h"
#include "platform/folder_handle.h"
#include "platform/folder_lock.h"
#include "platform/sub_folders.h"
#include "platform/trash.h"

namespace varnel {

namespace {

// What the undo does with one file of the run.
struct UndoStep {
  FileAction action = FileAction::kMove;  // the undo's own action
  std::string from;                       // where the file is: relative to the folder, or a trash entry
  std::string to;                         // where it goes back, relative to the folder; empty for an archive
  std::string trash_info;                 // the information file of a trash entry
  std::optional<FileIdentity> expected;   // what `from` must still be
  std::int64_t written_since = -1;        // an archive the run may have written: its time, from the run's start

  // The name the user reads: where the file goes back, or the file itself when it goes nowhere.
  const std::string& shown() const { return to.empty() ? from : to; }
};

// The state of a step's file now.
struct StepCheck {
  enum class State { kReady, kAlreadyBack, kRefused };
  State state = State::kRefused;
  std::string reason;     // why it is refused
  FileIdentity identity;  // the file at `from`, when ready
};

// True for a path below the run's folder as the history writes it: relative, its parts neither empty nor "."
// nor "..".
bool IsPathBelow(std::string_view path) {
  if (path.empty() || IsPathSeparator(path.front()) || path.find(':') != std::string_view::npos) return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = start;
    while (end < path.size() && !IsPathSeparator(path[end])) ++end;
    const std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

// True for an absolute path without "." or ".." parts, as a trash entry is.
bool IsPlainAbsolutePath(std::string_view path) {
#ifdef _WIN32
  const bool absolute = path.size() > 2 && path[1] == ':' && IsPathSeparator(path[2]);
#else
  const bool absolute = !path.empty() && path.front() == '/';
#endif
  if (!absolute) return false;
  for (std::size_t start = 0; start < path.size();) {
    std::size_t end = start;
    while (end < path.size() && !IsPathSeparator(path[end])) ++end;
    const std::string_view part = path.substr(start, end - start);
    if (part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

// The folders an undo works in, each opened once, so that each file goes by its name in its folder.
class OpenFolders {
 public:
  explicit OpenFolders(const std::string& root) : root_(root) {}

  // The open folder that holds `path` (relative to the root, or absolute), and the name in it.
  const FolderHandle& Holding(const std::string& path, std::string* name) {
    std::size_t end = path.size();
    while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
    name->assign(path, end, std::string::npos);
    const std::string_view folder = std::string_view(path).substr(0, end == 0 ? 0 : end - 1);
    if (last_ != nullptr && folder == last_folder_) return *last_;  // files of one folder come one after another
    auto found = handles_.find(folder);
    if (found == handles_.end()) {
      auto handle = std::make_unique<FolderHandle>();
      handle->Open(folder.empty() ? root_ : IsPathBelow(folder) ? JoinPath(root_, folder) : std::string(folder));
      found = handles_.emplace(std::string(folder), std::move(handle)).first;
    }
    last_folder_ = found->first;
    last_ = found->second.get();
    return *last_;
  }
  // The identity of the file at `path`.
  Status Identify(const std::string& path, FileIdentity* identity) {
    return Holding(path, &name_).IdentifyFile(name_, identity);
  }

 private:
  const std::string root_;
  // By the folder as the paths give it: "" for the root, relative below it, or absolute.
  std::map<std::string, std::unique_ptr<FolderHandle>, std::less<>> handles_;
  std::string_view last_folder_;
  const FolderHandle* last_ = nullptr;
  std::string name_;
};

class Undo {
 public:
  Undo(const UndoOptions& options, UndoHost& host) : options_(options), host_(host) {}

  UndoResult Run();

 private:
  // The steps that take the run back, last file first; deleted files go to the failures.
  void Plan();
  // Where `path` of a step is: below the run's folder, or a trash entry as it is.
  std::string PathOf(const std::string& path) const {
    return IsPathBelow(path) ? JoinPath(run_.summary.folder, path) : path;
  }
  // True when the step's paths are ones this run can have written.
  static bool PathsOfThisRun(const UndoStep& step);
  // The state of a step's file now, looked at through `folders`; with `place`, also whether its place is free
  // (else the move tells).
  StepCheck Check(const UndoStep& step, bool place, OpenFolders& folders) const;
  // For each step, whether its file is listed where the run put it and the run said what it was: such a file
  // most likely comes back, and is looked at just before its move. One listing of each folder costs far less
  // than looking at each file.
  std::vector<bool> ListedInPlace();
  // What a step carried out tells its outcome record.
  struct Done {
    std::optional<FileIdentity> after;  // the file's identity where it differs from before (a copy)
    TrashEntry trash;                   // where the trash put it
  };
  // Carries one step out.
  Status Act(const UndoStep& step, const FileIdentity& before, Done* done);
  // Makes the folders above `relative` that are missing, recording them.
  Status MakeFoldersFor(const std::string& relative);
  UndoResult Stop(UndoResult::Outcome outcome, std::string message, MessageIcon icon);

  const UndoOptions& options_;
  UndoHost& host_;
  UndoResult result_;
  RecordedRun run_;
  std::vector<UndoStep> steps_;
  RunRecorder recorder_;
  FolderIdentity folder_identity_;
  std::unique_ptr<OpenFolders> folders_;
  Trash trash_;
};

UndoResult Undo::Stop(UndoResult::Outcome outcome, std::string message, MessageIcon icon) {
  result_.outcome = outcome;
  result_.message = std::move(message);
  host_.ShowMessage(result_.message, icon);
  return std::move(result_);
}

void Undo::Plan() {
  const std::string& folder = run_.summary.folder;
  for (auto file = run_.files.rbegin(); file != run_.files.rend(); ++file) {
    if (file->result == RecordedFile::Result::kFailed) continue;  // nothing was done to it
    const bool known = file->result == RecordedFile::Result::kDone;
    UndoStep step;
    step.expected = file->identity_after ? file->identity_after : file->identity;
    switch (file->action) {
      case FileAction::kDelete:
        // A run that ended before it said leaves the file in place, or deleted.
        if (known || !IsPathBelow(file->name) || !PathExists(JoinPath(folder, file->name))) {
          result_.failures.push_back({file->name, kNotRestorable});
        }
        continue;
      case FileAction::kMove:
        step = {FileAction::kMove, std::move(file->destination), std::move(file->name), {}, step.expected, -1};
        break;
      case FileAction::kTrash:
        if (file->destination.empty()) {
          // A run that ended before it said where the trash put the file: in its place still, or somewhere in
          // the trash, which the desktop's file manager can restore it from.
          if (!IsPathBelow(file->name) || !PathExists(JoinPath(folder, file->name))) {
            result_.failures.push_back({file->name, kTrashEntryUnknown});
          }
          continue;
        }
        step = {FileAction::kUntrash,  std::move(file->destination),
                std::move(file->name), std::move(file->trash_info),
                step.expected,         -1};
        break;
      case FileAction::kUntrash:
        step = {FileAction::kTrash, std::move(file->destination), {}, {}, step.expected, -1};
        break;
      case FileAction::kZip:
        step = {FileAction::kDelete, file->destination, {}, {}, file->identity_after, -1};
        if (!known) {
          // A run that ended before it said: no archive is nothing to take back; one written since the run
          // started is taken for the run's.
          if (!IsPathBelow(file->destination) || !PathExists(JoinPath(folder, file->destination))) continue;
          if (!SecondsSinceEpoch(run_.summary.started, &step.written_since)) step.written_since = -1;
        }
        break;
    }
    steps_.push_back(std::move(step));
  }
}

bool Undo::PathsOfThisRun(const UndoStep& step) {
  const bool from_ok = step.action == FileAction::kUntrash ? IsPlainAbsolutePath(step.from) : IsPathBelow(step.from);
  return from_ok && (step.to.empty() || IsPathBelow(step.to)) &&
         (step.action != FileAction::kUntrash || step.trash_info.empty() || IsPlainAbsolutePath(step.trash_info));
}

StepCheck Undo::Check(const UndoStep& step, bool place, OpenFolders& folders) const {
  StepCheck check;
  if (!PathsOfThisRun(step)) {
    check.reason = "not a file of this run";
    return check;
  }
  const Status found = folders.Identify(step.from, &check.identity);
  if (!found.ok()) {
    // Gone from where the run put it: back in its place already (an earlier undo), or never moved.
    FileIdentity back;
    if (!step.to.empty() && folders.Identify(step.to, &back).ok() &&
        (!step.expected || SameUnchangedFile(back, *step.expected))) {
      check.state = StepCheck::State::kAlreadyBack;
      return check;
    }
    check.reason = PathExists(PathOf(step.from)) ? found.message() : kNotFound;
    return check;
  }
  if (step.expected) {
    if (!SameUnchangedFile(check.identity, *step.expected)) {
      check.reason = kChangedSinceRun;
      return check;
    }
  } else if (step.written_since < 0 || check.identity.mtime_ns / 1000000000 < step.written_since) {
    check.reason = kChangedSinceRun;  // nothing tells it is the file the run left there
    return check;
  }
  if (place && !step.to.empty() && PathExists(PathOf(step.to))) {
    check.reason = kPlaceTaken;
    return check;
  }
  check.state = StepCheck::State::kReady;
  return check;
}

std::vector<bool> Undo::ListedInPlace() {
  // The steps by the folder their file is in, and its name there (a view of the step's own path).
  struct Folder {
    const FolderHandle* handle = nullptr;
    std::unordered_multimap<std::string_view, std::size_t> steps;
    std::vector<std::size_t> found;  // the steps whose file is listed
    bool read = false;               // the folder was read whole
  };
  std::vector<Folder> folders;
  std::map<const FolderHandle*, std::size_t> index_of;
  std::string name;
  for (std::size_t i = 0; i < steps_.size(); ++i) {
    const UndoStep& step = steps_[i];
    if (!step.expected || !PathsOfThisRun(step)) continue;
    const FolderHandle& handle = folders_->Holding(step.from, &name);
    const auto [index, added] = index_of.emplace(&handle, folders.size());
    if (added) folders.push_back({&handle, {}, {}, false});
    folders[index->second].steps.emplace(std::string_view(step.from).substr(step.from.size() - name.size()), i);
  }
  // Reading a large folder is most of this: two threads share the folders.
  std::atomic<std::size_t> next{0};
  const auto read_folders = [&folders, &next] {
    for (std::size_t f; (f = next.fetch_add(1)) < folders.size();) {
      Folder& folder = folders[f];
      folder.read = folder.handle
                        ->ForEachName([&folder](std::string_view entry) {
                          for (auto [step, end] = folder.steps.equal_range(entry); step != end; ++step) {
                            folder.found.push_back(step->second);
                          }
                        })
                        .ok();
    }
  };
  {
    std::jthread helper;
    if (folders.size() > 1) helper = std::jthread(read_folders);
    read_folders();
  }
  std::vector<bool> listed(steps_.size());
  for (const Folder& folder : folders) {
    // A folder that cannot be read whole leaves its files to be looked at as their intents are written.
    if (!folder.read) continue;
    for (const std::size_t i : folder.found) listed[i] = true;
  }
  return listed;
}

Status Undo::MakeFoldersFor(const std::string& relative) {
  for (std::size_t end = relative.find('/'); end != std::string::npos; end = relative.find('/', end + 1)) {
    const std::string part = relative.substr(0, end);
    const std::string path = JoinPath(run_.summary.folder, part);
    const bool missing = !PathExists(path);
    FolderObstacle obstacle = FolderObstacle::kNone;
    if (Status made = EnsureFolder(path, &obstacle); !made.ok()) {
      return obstacle == FolderObstacle::kNone ? made : Status::Error(part + " " + made.message());
    }
    if (missing) recorder_.CreatedFolder(part);
  }
  return Status::Ok();
}

Status Undo::Act(const UndoStep& step, const FileIdentity& before, Done* done) {
  switch (step.action) {
    case FileAction::kMove:
    case FileAction::kUntrash: {
      if (Status folders = MakeFoldersFor(step.to); !folders.ok()) return folders;
      std::string from_name, to_name;
      const FolderHandle& from = folders_->Holding(step.from, &from_name);
      const FolderHandle& to = folders_->Holding(step.to, &to_name);
      const Status moved = from.MoveWithoutReplace(from_name, to, to_name);
      if (!moved.ok()) return IsNameTaken(moved) ? Status::Error(kPlaceTaken) : moved;
      // The file is back; a record left in the trash only shows there as an entry that cannot be restored.
      if (step.action == FileAction::kUntrash && !step.trash_info.empty()) RemoveFile(step.trash_info).IgnoreError();
      // A move across devices is a copy: the file back in its place is another inode.
      if (FileIdentity now; before.device != folder_identity_.device && to.IdentifyFile(to_name, &now).ok()) {
        done->after = now;
      }
      return Status::Ok();
    }
    case FileAction::kTrash: {  // a file an undo brought back from the trash goes back there
      const std::string path = PathOf(step.from);
      std::size_t end = path.size();
      while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
      if (end == 0) break;
      return trash_.MoveToTrash(path.substr(0, end - 1), path.substr(end), &done->trash);
    }
    case FileAction::kDelete:
      return RemoveFile(PathOf(step.from));
    case FileAction::kZip:
      break;
  }
  return Status::Error("not a file of this run");
}

UndoResult Undo::Run() {
  const std::string& history = options_.place.folder;
  {
    RunSummary chosen;
    if (Status found = FindRunToUndo(history, options_.id, &chosen); !found.ok()) {
      return Stop(UndoResult::Outcome::kNoRun, found.message(), MessageIcon::kExclamation);
    }
    if (Status read = ReadRun(history, chosen.id, &run_); !read.ok()) {
      return Stop(UndoResult::Outcome::kNoRun, "Cannot read the history of " + chosen.id + ": " + read.message(),
                  MessageIcon::kExclamation);
    }
  }
  result_.run = run_.summary;
  const std::string& folder = run_.summary.folder;

  // Before anything else: never in a protected folder, and the folder's lock held to the end.
  FolderLock lock;
  if (FolderEntry entry = EnterJobFolder(folder, /*changes_files=*/true, &lock);
      entry.outcome != FolderEntry::Outcome::kEntered) {
    return Stop(entry.outcome == FolderEntry::Outcome::kProtected ? UndoResult::Outcome::kRefused
                                                                  : UndoResult::Outcome::kLocked,
                std::move(entry.message), MessageIcon::kExclamation);
  }
  // A folder that cannot be looked at has no device to tell moves across devices by: its files fail below.
  IdentifyFolder(folder, &folder_identity_).IgnoreError();
  folders_ = std::make_unique<OpenFolders>(folder);

  Plan();
  if (options_.ask) {
    int going_back = 0;
    for (const UndoStep& step : steps_) {
      going_back += Check(step, /*place=*/true, *folders_).state == StepCheck::State::kReady;
    }
    if (!host_.Confirm(UndoQuestion(run_.summary, going_back))) {
      result_.outcome = UndoResult::Outcome::kNotConfirmed;
      return std::move(result_);
    }
  }

  if (Status started = recorder_.Start(options_.place, JobKind::kUndo, folder,
                                       RecordedSettings().Text(record_key::kUndoes, run_.summary.id));
      !started.ok()) {
    return Stop(UndoResult::Outcome::kHistoryFailed, HistoryStartMessage(options_.place, started, "done"),
                MessageIcon::kStop);
  }
  result_.undo_id = recorder_.id();

  const double maximum = 2.0 + static_cast<double>(steps_.size());
  double value = 0;
  host_.SetProgress(0, maximum, value);
  int failed = 0;
  const std::vector<bool> listed = ListedInPlace();
  std::vector<StepCheck> checks(steps_.size());
  std::vector<std::size_t> intents(steps_.size());
  // A file listed where the run put it gets its intent with the identity the run gave it, and is looked at on a
  // thread of its own that runs ahead of the moves, while the intents go to disk and the files before it move.
  std::atomic<std::size_t> looked_at{0};  // the steps before this one are looked at
  std::jthread looker([&](std::stop_token stop) {
    OpenFolders own_folders(folder);
    for (std::size_t i = 0; i < steps_.size() && !stop.stop_requested(); ++i) {
      if (listed[i]) checks[i] = Check(steps_[i], /*place=*/false, own_folders);
      looked_at.store(i + 1, std::memory_order_release);
    }
  });
  // Any other file is looked at as its intent is written, just before its batch goes to disk and its files are
  // moved: one back in its place already gets no intent, one that cannot come back an intent and its reason.
  const auto intend = [&](std::size_t i) {
    const UndoStep& step = steps_[i];
    if (listed[i]) {
      intents[i] = recorder_.Intent(step.from, step.action, step.to, &*step.expected);
      return;
    }
    checks[i] = Check(step, /*place=*/false, *folders_);
    if (checks[i].state == StepCheck::State::kAlreadyBack) return;
    const bool ready = checks[i].state == StepCheck::State::kReady;
    intents[i] = recorder_.Intent(step.from, step.action, step.to, ready ? &checks[i].identity : nullptr);
  };
  const auto act = [&](std::size_t i) {
    const UndoStep& step = steps_[i];
    if (listed[i]) {
      while (looked_at.load(std::memory_order_acquire) <= i) std::this_thread::yield();
      // Listed a moment ago, gone now: whoever took it, this undo did nothing to it.
      if (checks[i].state == StepCheck::State::kAlreadyBack) checks[i] = {StepCheck::State::kRefused, kNotFound, {}};
    }
    const StepCheck& check = checks[i];
    if (check.state != StepCheck::State::kAlreadyBack) {
      Status status = check.state == StepCheck::State::kReady ? Status::Ok() : Status::Error(check.reason);
      Done done;
      if (status.ok()) status = Act(step, check.identity, &done);
      if (status.ok() && step.action == FileAction::kTrash) {
        ++result_.came_back;
        recorder_.DoneInTrash(intents[i], TrashEntryPath(done.trash), TrashInfoPath(done.trash), nullptr);
      } else if (status.ok()) {
        ++result_.came_back;
        recorder_.Done(intents[i], done.after ? &*done.after : nullptr);
      } else {
        ++failed;
        result_.failures.push_back({step.shown(), status.message()});
        recorder_.Failed(intents[i], status.message());
      }
    }
    host_.SetProgress(0, maximum, ++value);
    return true;
  };
  const Status written = CarryOutInBatches(recorder_, steps_.size(), intend, act);
  if (!written.ok()) {
    return Stop(UndoResult::Outcome::kHistoryFailed,
                written.ToString() + ". The undo stopped after " + std::to_string(result_.came_back) + " files.",
                MessageIcon::kStop);
  }

  // The folders the run made, once empty; the last made first.
  for (auto made = run_.created_folders.rbegin(); made != run_.created_folders.rend(); ++made) {
    // One that holds anything now, a file that could not come back included, stays.
    if (IsPathBelow(*made)) RemoveEmptyFolder(JoinPath(folder, *made)).IgnoreError();
  }
  // Not put on disk: the undo's intents are, and a power cut would leave files that the next undo finds on disk.
  if (Status finished = recorder_.Finish(result_.came_back, failed, /*sync=*/false); !finished.ok()) {
    return Stop(UndoResult::Outcome::kHistoryFailed, finished.ToString(), MessageIcon::kStop);
  }
  host_.SetProgress(0, maximum, maximum);
  return Stop(UndoResult::Outcome::kCompleted, UndoEndMessage(result_.came_back, result_.failures),
              MessageIcon::kInformation);
}

}  // namespace

Status FindRunToUndo(const std::string& folder, const std::string& id, RunSummary* run) {
  if (!id.empty()) {
    if (!IsRunId(id) || !PathExists(RunFilePath(folder, id))) return Status::Error("No run " + id + " in the history.");
    return ReadRunSummary(folder, id, run);
  }
  const std::optional<RunSummary> newest = NewestNotUndone(ReadRunSummaries(folder));
  if (!newest) return Status::Error("No run to undo.");
  *run = *newest;
  return Status::Ok();
}

UndoResult UndoRun(const UndoOptions& options, UndoHost& host) { return Undo(options, host).Run(); }

std::string UndoQuestion(const RunSummary& run, int going_back) {
  std::string question = "Undo the ";
  question.append(JobName(run.job)).append(" run of ").append(LocalTimeOf(run.started));
  question.append(" in ").append(run.folder).append(": ");
  return question.append(std::to_string(going_back)).append(" files go back. Continue ?");
}

std::string UndoEndMessage(int came_back, const std::vector<FileFailure>& failures) {
  std::vector<FileFailure> shown;
  for (std::size_t i = 0; i < failures.size() && i <= kNamedFailures; ++i) {
    shown.push_back({PrintableText(failures[i].name), failures[i].reason});
  }
  shown.resize(failures.size());  // the count; only the first are named
  return EndMessage(came_back, "files came back", shown, "files could not come back");
}

}  // namespace varnel
