#include "engine/disposer.h"

#include <utility>
#include <vector>

#include "common/well_known_names.h"
#include "platform/file_ops.h"
#include "platform/sub_folders.h"

namespace varnel {

Disposer::Disposer(std::string rom_folder, DisposalAction action, bool apply_changes, RunRecorder* recorder)
    : rom_folder_(std::move(rom_folder)),
      action_(action),
      apply_changes_(apply_changes),
      log_path_(JoinPath(rom_folder_, kLogFileName)),
      recorder_(apply_changes ? recorder : nullptr) {}

bool Disposer::LogMayBeOpened() const { return IsAbsentOrPlainFile(log_path_); }

bool Disposer::OpenLog(bool* not_regular) {
  log_error_ = log_.Open(log_path_, not_regular).About("create the log file", log_path_);
  return log_error_.ok();
}

bool Disposer::WriteAhead(std::string_view bytes) {
  log_error_ = log_.Append(bytes);
  if (log_error_.ok() && apply_changes_) log_error_ = log_.Sync();
  log_error_ = std::move(log_error_).About("write the log file", log_path_);
  return log_error_.ok();
}

void Disposer::OpenFolders() {
  if (!rom_folder_open_) {
    rom_folder_handle_.Open(rom_folder_);
    rom_folder_open_ = true;
  }
  if (action_ == DisposalAction::kMove && !moved_folder_open_) {
    const std::string moved = JoinPath(rom_folder_, kMovedFolderName);
    moved_folder_handle_.Open(moved);
    moved_folder_open_ = true;
    FolderIdentity folder, moved_folder;
    moved_elsewhere_ = IdentifyFolder(rom_folder_, &folder).ok() && IdentifyFolder(moved, &moved_folder).ok() &&
                       folder.device != moved_folder.device;
  }
}

bool Disposer::Recording() const { return recorder_ != nullptr && recorder_->recording(); }

void Disposer::RecordIntents(const CleaningPlan& plan, std::size_t last) {
  // The intents of the batch, and of the batches after it as long as they fit one write: each intent is on disk
  // before its file is touched, and the history is put on disk less often than the log.
  const std::vector<PlannedDisposal>& disposals = plan.disposals;
  for (; intended_ < disposals.size() && (intended_ < last || recorder_->pending_size() < kIntentBatchSize);
       ++intended_) {
    const std::string_view name = plan.ListedName(disposals[intended_]);
    if (action_ == DisposalAction::kDelete) {
      recorder_->Intent(name, FileAction::kDelete);
      continue;
    }
    // A moved or trashed file comes back only unchanged: what it is now goes with its intent. Where the trash
    // puts it is known once it is there.
    OpenFolders();
    listed_name_.assign(name);
    FileIdentity identity;
    const bool known = rom_folder_handle_.IdentifyFile(listed_name_, &identity).ok();
    if (action_ == DisposalAction::kTrash) {
      recorder_->Intent(name, FileAction::kTrash, {}, known ? &identity : nullptr);
    } else {
      recorder_->Intent(name, FileAction::kMove, std::string(kMovedFolderName) + "/" + listed_name_,
                        known ? &identity : nullptr);
    }
  }
}

Status Disposer::Act(const CleaningPlan& plan, const PlannedDisposal& disposal) {
  OpenFolders();
  listed_name_.assign(plan.ListedName(disposal));
  switch (action_) {
    case DisposalAction::kDelete:
      return rom_folder_handle_.RemoveFile(listed_name_);
    case DisposalAction::kMove:
      return rom_folder_handle_.MoveWithoutReplace(listed_name_, moved_folder_handle_, listed_name_);
    case DisposalAction::kTrash:
      return trash_.MoveToTrash(rom_folder_, listed_name_, &trash_entry_);
  }
  return Status::Error("Unknown disposal");
}

bool Disposer::CarryOut(const CleaningPlan& plan, const std::function<void()>& on_file) {
  const std::vector<PlannedDisposal>& disposals = plan.disposals;
  std::size_t first = 0;
  while (first < disposals.size()) {
    // The batch: the error lines of the batch before, then as many decision lines as fit (one at least).
    std::size_t size = pending_.size() + (disposals[first].line_end - disposals[first].line_begin);
    std::size_t last = first + 1;
    while (last < disposals.size() && size + (disposals[last].line_end - disposals[last].line_begin) <= kBatchSize) {
      size += disposals[last].line_end - disposals[last].line_begin;
      ++last;
    }
    std::string_view bytes = plan.LogBytes(first, last);
    if (!pending_.empty()) bytes = pending_.append(bytes);
    if (!WriteAhead(bytes)) return false;
    pending_.clear();
    if (Recording() && last > intended_) {
      RecordIntents(plan, last);
      history_error_ = recorder_->Write(/*sync=*/true);
      if (!history_error_.ok()) return false;
    }

    // Only now, with their lines on disk, are the batch's files touched.
    if (!apply_changes_) {
      disposed_count_ += static_cast<std::int32_t>(last - first);
    } else {
      for (std::size_t i = first; i < last; ++i) {
        const Status status = Act(plan, disposals[i]);
        if (status.ok()) {
          ++disposed_count_;
          RecordDone(i);
        } else {
          ++failed_count_;
          pending_.append(plan.Name(disposals[i])).append("\t --> Error: ").append(status.ToString()).append("\r\n");
          if (Recording()) recorder_->Failed(i, status.message());
        }
        if (on_file) on_file();
      }
    }
    first = last;
  }
  return true;
}

void Disposer::RecordDone(std::size_t disposal) {
  if (!Recording()) return;
  if (action_ == DisposalAction::kTrash) {
    recorder_->DoneInTrash(disposal, TrashEntryPath(trash_entry_), TrashInfoPath(trash_entry_), nullptr);
    return;
  }
  FileIdentity moved;
  if (action_ == DisposalAction::kMove && moved_elsewhere_ &&
      moved_folder_handle_.IdentifyFile(listed_name_, &moved).ok()) {
    recorder_->Done(disposal, &moved);
  } else {
    recorder_->Done(disposal);
  }
}

bool Disposer::Finish(std::string_view text) {
  pending_.append(text);
  const bool written = WriteAhead(pending_);
  pending_.clear();
  const Status closed = log_.Close();
  if (written && !closed.ok()) log_error_ = closed.About("write the log file", log_path_);
  if (!written || !closed.ok()) return false;
  if (recorder_ != nullptr) history_error_ = recorder_->Finish(disposed_count_, failed_count_);
  return history_error_.ok();
}

}  // namespace varnel
