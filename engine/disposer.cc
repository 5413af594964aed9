#include "engine/disposer.h"

#include <utility>
#include <vector>

#include "common/well_known_names.h"
#include "platform/file_ops.h"

namespace varnel {

Disposer::Disposer(std::string rom_folder, bool apply_changes)
    : rom_folder_(std::move(rom_folder)),
      apply_changes_(apply_changes),
      log_path_(JoinPath(rom_folder_, kLogFileName)) {}

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

Status Disposer::Act(const CleaningPlan& plan, const PlannedDisposal& disposal) {
  if (!rom_folder_open_) {
    rom_folder_handle_.Open(rom_folder_);
    rom_folder_open_ = true;
  }
  listed_name_.assign(plan.ListedName(disposal));
  switch (disposal.action) {
    case DisposalAction::kDelete:
      return rom_folder_handle_.RemoveFile(listed_name_);
    case DisposalAction::kMove:
      if (!moved_folder_open_) {
        moved_folder_handle_.Open(JoinPath(rom_folder_, kMovedFolderName));
        moved_folder_open_ = true;
      }
      return rom_folder_handle_.MoveWithoutReplace(listed_name_, moved_folder_handle_, listed_name_);
    case DisposalAction::kTrash:
      return trash_.MoveToTrash(rom_folder_, listed_name_, nullptr);
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

    // Only now, with their lines on disk, are the batch's files touched.
    if (!apply_changes_) {
      disposed_count_ += static_cast<std::int32_t>(last - first);
    } else {
      for (std::size_t i = first; i < last; ++i) {
        const Status status = Act(plan, disposals[i]);
        if (status.ok()) {
          ++disposed_count_;
        } else {
          ++failed_count_;
          pending_.append(plan.Name(disposals[i])).append("\t --> Error: ").append(status.ToString()).append("\r\n");
        }
        if (on_file) on_file();
      }
    }
    first = last;
  }
  return true;
}

bool Disposer::Finish(std::string_view text) {
  pending_.append(text);
  const bool written = WriteAhead(pending_);
  pending_.clear();
  const Status closed = log_.Close();
  if (written && !closed.ok()) log_error_ = closed.About("write the log file", log_path_);
  return written && closed.ok();
}

}  // namespace varnel
