#include "engine/cleaning_run.h"

#include <charconv>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "common/well_known_names.h"
#include "engine/cleaning_plan.h"
#include "engine/disposer.h"
#include "platform/file_ops.h"
#include "platform/folder_guard.h"
#include "platform/folder_lock.h"
#include "platform/listing.h"

namespace varnel {
namespace {

constexpr std::string_view kHyphenLine = "---------------------------------------------------";

bool IsZoneMode(ZoneMode mode) {
  return mode == ZoneMode::kAllSelectedZones || mode == ZoneMode::kVerifiedFirst ||
         mode == ZoneMode::kFirstSelectedZone || mode == ZoneMode::kAllZones;
}

std::string Decimal(std::size_t number) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
  return std::string(digits, error == std::errc() ? end : digits);
}

// Makes sure the folder "moved" exists, a folder of its own; *created tells whether this call made it. False,
// after telling the user why, when it cannot be used.
bool PrepareMovedFolder(const std::string& folder, const std::string& moved, CleaningHost& host, bool* created) {
  *created = !PathExists(moved);
  FolderObstacle obstacle = FolderObstacle::kNone;
  const Status status = EnsureFolder(moved, &obstacle);
  if (status.ok()) return true;
  host.ShowMessage(EnsureFolderMessage(kMovedFolderName, folder, obstacle, status, "moved"), MessageIcon::kStop);
  return false;
}

// The options of a run as its history keeps them.
RecordedSettings SettingsRecord(const RunSettings& settings) {
  RecordedSettings record;
  record.Integer("zone_mode", static_cast<int>(settings.ZoneMode))
      .Text("zones", settings.ZoneText)
      .Text("keep", settings.KeepText)
      .Text("exclude", settings.ExclusionText)
      .Flag("keep_translations", settings.KeepTranslations);
  if (settings.KeepTranslations) record.Text("translations", settings.TranslationText);
  record.Flag("multi_ext", settings.IgnoreExtensions);
  return record;
}

// The job a real run's history names for the run's way of disposing of files.
JobKind JobOf(DisposalAction action) {
  switch (action) {
    case DisposalAction::kMove:
      return JobKind::kCleanMove;
    case DisposalAction::kTrash:
      return JobKind::kCleanTrash;
    case DisposalAction::kDelete:
      break;
  }
  return JobKind::kCleanDelete;
}

// The words before the count in the summary line of a run that disposed of at least one file.
std::string_view SummaryPrefix(bool apply_changes, DisposalAction action) {
  switch (action) {
    case DisposalAction::kDelete:
      return apply_changes ? "Deleted files : " : "Theoretically deleted files : ";
    case DisposalAction::kMove:
      return apply_changes ? "Moved files : " : "Theoretically moved files : ";
    case DisposalAction::kTrash:
      return apply_changes ? "Trashed files : " : "Theoretically trashed files : ";
  }
  return {};
}

// Carries `plan` out in settings.RomFolder, whose lock the caller holds: the delete question, the log, "moved",
// the history, then every disposal by DisposalActionOf(settings) and the summary. A test run's bar already shows
// the planning against `progress_maximum`; a real run's bar counts the files that go.
RunResult CarryOut(const CleaningPlan& plan, const RunSettings& settings, CleaningHost& host,
                   const HistoryPlace& history, double progress_maximum) {
  RunResult result;
  const std::string& folder = settings.RomFolder;
  const bool apply_changes = !settings.TestMode;
  const DisposalAction action = DisposalActionOf(settings);
  double progress_value = 0;
  const std::function<void()> step = [&] { host.SetProgress(0, progress_maximum, ++progress_value); };

  const std::size_t deletions = action == DisposalAction::kDelete ? plan.disposals.size() : 0;
  if (apply_changes && deletions > 0 &&
      !host.Confirm("You will delete files. Continue ?\n" + Decimal(deletions) + " files will be deleted from " +
                    folder + ".")) {
    result.outcome = RunResult::Outcome::kNotConfirmed;
    return result;
  }

  RunRecorder recorder;
  Disposer disposer(folder, action, apply_changes, &recorder);
  const auto stop = [&](const std::string& message, RunResult::Outcome outcome) {
    host.ShowMessage(message, MessageIcon::kStop);
    if (!apply_changes) host.SetProgress(0, progress_maximum, 0);
    result.outcome = outcome;
    return result;
  };
  const std::string refusal = std::string(kLogFileName) + " in " + folder + " is not a regular file; nothing was done.";
  if (!disposer.LogMayBeOpened()) return stop(refusal, RunResult::Outcome::kSetupFailed);
  bool made_moved = false;
  if (apply_changes && action == DisposalAction::kMove) {
    const std::string moved = JoinPath(folder, kMovedFolderName);
    if (!PrepareMovedFolder(folder, moved, host, &made_moved)) {
      result.outcome = RunResult::Outcome::kSetupFailed;
      return result;
    }
    // Temporaries that an interrupted earlier move left in "moved" go before this run moves anything. One that
    // cannot go stays harmless: this run creates its own under new names and never replaces a file.
    RemoveLeftoverTemporaries(moved).IgnoreError();
  }
  if (apply_changes) {
    if (const Status started = recorder.Start(history, JobOf(action), folder, SettingsRecord(settings));
        !started.ok()) {
      return stop(HistoryStartMessage(history, started, "done"), RunResult::Outcome::kSetupFailed);
    }
    if (made_moved) recorder.CreatedFolder(kMovedFolderName);
    result.history_id = recorder.id();
    progress_maximum = 2.0 + static_cast<double>(plan.disposals.size());
    host.SetProgress(0, progress_maximum, 0);
    host.SetResultText("");
  }
  bool not_regular = false;
  if (!disposer.OpenLog(&not_regular)) {
    recorder.Abandon();
    result.history_id.clear();
    return stop(not_regular ? refusal : disposer.log_error().ToString(), RunResult::Outcome::kSetupFailed);
  }
  result.log_path = disposer.log_path();

  const auto log_failed = [&] {
    host.SetProgress(0, progress_maximum, 0);
    result.DisposedCount = disposer.DisposedCount();
    result.failed_count = disposer.FailedCount();
    const std::size_t done = apply_changes ? static_cast<std::size_t>(disposer.DisposedCount()) : 0;
    const Status& failure = disposer.log_error().ok() ? disposer.history_error() : disposer.log_error();
    host.ShowMessage(failure.ToString() + ". The run stopped after " + Decimal(done) + " files.", MessageIcon::kStop);
    result.outcome = RunResult::Outcome::kLogFailed;
    return result;
  };
  if (!disposer.CarryOut(plan, apply_changes ? step : std::function<void()>())) return log_failed();

  std::string end_lines;
  if (disposer.DisposedCount() < 1) {
    result.summary = "0 file deleted";
  } else {
    result.summary =
        std::string(SummaryPrefix(apply_changes, action)) + Decimal(static_cast<std::size_t>(disposer.DisposedCount()));
    end_lines.append(kHyphenLine).append("\r\n");
  }
  end_lines.append(result.summary).append("\r\n");
  if (!disposer.Finish(end_lines)) {
    result.summary.clear();
    return log_failed();
  }
  // A run that got to its end shows a full bar until the next run starts.
  host.SetProgress(0, progress_maximum, progress_maximum);
  host.SetResultText(result.summary);
  if (settings.OpenLog) host.OpenLog(disposer.log_path());

  result.outcome = RunResult::Outcome::kCompleted;
  result.DisposedCount = disposer.DisposedCount();
  result.failed_count = disposer.FailedCount();
  return result;
}

// Enters settings.RomFolder for a run, taking its lock into *lock, and lists it into *listing. False, after
// telling the user why and setting result->outcome, when the run cannot go on.
bool EnterAndList(const RunSettings& settings, CleaningHost& host, FolderLock* lock, std::vector<std::string>* listing,
                  RunResult* result) {
  // Before anything else: a real run never works in a protected folder, and every run holds the folder's
  // lock to its end, a test run too since it rewrites the log.
  if (const FolderEntry entry = EnterJobFolder(settings.RomFolder, !settings.TestMode, lock);
      entry.outcome != FolderEntry::Outcome::kEntered) {
    host.ShowMessage(entry.message, MessageIcon::kExclamation);
    result->outcome =
        entry.outcome == FolderEntry::Outcome::kProtected ? RunResult::Outcome::kRefused : RunResult::Outcome::kLocked;
    return false;
  }
  if (!IsZoneMode(settings.ZoneMode)) {
    host.ShowMessage(kNoZoneModeMessage, MessageIcon::kNone);
    result->outcome = RunResult::Outcome::kNoZoneMode;
    return false;
  }
  if (const Status listed = ListOrdinaryFiles(settings.RomFolder, listing); !listed.ok()) {
    host.ShowMessage(listed.ToString(), MessageIcon::kExclamation);
    result->outcome = RunResult::Outcome::kSetupFailed;
    return false;
  }
  return true;
}

// Tells the user that the folder holds no ordinary file.
RunResult EmptyFolder(CleaningHost& host) {
  host.ShowMessage("Empty directory", MessageIcon::kExclamation);
  RunResult result;
  result.outcome = RunResult::Outcome::kEmptyFolder;
  return result;
}

}  // namespace

RunResult RunCleaning(const RunSettings& settings, CleaningHost& host, const HistoryPlace& history) {
  RunResult result;
  FolderLock lock;
  std::vector<std::string> listing;
  if (!EnterAndList(settings, host, &lock, &listing, &result)) return result;
  if (listing.empty()) return EmptyFolder(host);

  // A test run shows the planning on the progress bar, one step per listed name; a real run shows the
  // carrying out, one step per file that goes.
  const double progress_maximum = 2.0 + static_cast<double>(listing.size());
  double progress_value = 0;
  std::function<void()> step;
  if (settings.TestMode) {
    step = [&] { host.SetProgress(0, progress_maximum, ++progress_value); };
    host.SetProgress(0, progress_maximum, 0);
    host.SetResultText("");
  }
  // Nothing shows the plan's word on each file here: the run only carries its decisions out.
  const CleaningPlan plan = PlanCleaning(settings, std::move(listing), step, PlanDetail::kDecisions);
  return CarryOut(plan, settings, host, history, progress_maximum);
}

Status PlanFolder(const RunSettings& settings, CleaningPlan* plan) {
  *plan = CleaningPlan{};
  if (!IsZoneMode(settings.ZoneMode)) return Status::Error(kNoZoneModeMessage);
  std::vector<std::string> listing;
  if (Status listed = ListOrdinaryFiles(settings.RomFolder, &listing); !listed.ok()) return listed;
  *plan = PlanCleaning(settings, std::move(listing));
  return Status::Ok();
}

RunResult ApplyPlan(const CleaningPlan& shown, const RunSettings& settings, CleaningHost& host,
                    const HistoryPlace& history) {
  RunResult result;
  FolderLock lock;
  std::vector<std::string> listing;
  if (!EnterAndList(settings, host, &lock, &listing, &result)) return result;
  // Under the lock, the folder must still hold exactly the files the plan was made from.
  if (listing != shown.listing) {
    host.ShowMessage(kFolderChangedMessage, MessageIcon::kExclamation);
    result.outcome = RunResult::Outcome::kFolderChanged;
    return result;
  }
  if (listing.empty()) return EmptyFolder(host);

  const double progress_maximum = 2.0 + static_cast<double>(listing.size());
  if (settings.TestMode) {
    host.SetProgress(0, progress_maximum, 0);
    host.SetResultText("");
  }
  return CarryOut(shown, settings, host, history, progress_maximum);
}

}  // namespace varnel
