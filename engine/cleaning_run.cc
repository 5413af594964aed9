#include "engine/cleaning_run.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "engine/cleaning_state.h"
#include "engine/folder_scan.h"
#include "engine/list_rule.h"
#include "platform/file_ops.h"
#include "platform/folder_guard.h"
#include "platform/folder_lock.h"
#include "platform/listing.h"

namespace varnel {
namespace {

constexpr std::string_view kHyphenLine = "---------------------------------------------------";

// Makes sure the folder "moved" exists. False, after telling the user why, when it cannot be used.
bool PrepareMovedFolder(const std::string& folder, const std::string& moved, CleaningHost& host) {
  if (PathExists(moved)) {
    if (IsFolder(moved)) return true;
    host.ShowMessage("\"moved\" exists as a file in " + folder + "; nothing was moved.", kIconStop);
    return false;
  }
  const Status status = MakeFolder(moved);
  if (status.ok()) return true;
  host.ShowMessage("Cannot create " + moved + ": " + status.message(), kIconStop);
  return false;
}

// The summary line of a run that disposed of at least one file.
std::string SummaryLine(const CleaningState& state) {
  std::string_view prefix;
  if (state.ApplyChanges) {
    prefix = state.MoveFiles ? "Moved files : " : "Deleted files : ";
  } else {
    prefix = state.MoveFiles ? "Theoretically moved files : " : "Theoretically deleted files : ";
  }
  char digits[16];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, state.DisposedCount);
  std::string line(prefix);
  line.append(digits, error == std::errc() ? end : digits);
  return line;
}

}  // namespace

RunResult RunCleaning(const RunSettings& settings, CleaningHost& host) {
  RunResult result;
  // Before anything else: a real run never works in a protected folder, and every run holds the folder's
  // lock to its end, a test run too since it rewrites the log.
  FolderLock lock;
  if (const FolderEntry entry = EnterJobFolder(settings.RomFolder, !settings.TestMode, lock);
      entry.outcome != FolderEntry::Outcome::kEntered) {
    host.ShowMessage(entry.message, kIconExclamation);
    result.outcome =
        entry.outcome == FolderEntry::Outcome::kProtected ? RunResult::Outcome::kRefused : RunResult::Outcome::kLocked;
    return result;
  }

  CleaningState state;
  state.ApplyChanges = !settings.TestMode;
  state.MoveFiles = settings.MoveFiles;
  state.KeepTranslations = settings.KeepTranslations;
  state.IgnoreExtensions = settings.IgnoreExtensions;

  if (!state.MoveFiles && state.ApplyChanges && !host.Confirm("You will delete files. Continue ?")) {
    result.outcome = RunResult::Outcome::kNotConfirmed;
    return result;
  }

  state.RomFolder = settings.RomFolder;
  state.moved_folder = JoinPath(state.RomFolder, "moved");
  if (state.MoveFiles && state.ApplyChanges && !PrepareMovedFolder(state.RomFolder, state.moved_folder, host)) {
    result.outcome = RunResult::Outcome::kSetupFailed;
    return result;
  }
  // Temporaries that an interrupted earlier move left in "moved" go before this run moves anything.
  if (state.MoveFiles && state.ApplyChanges) RemoveLeftoverTemporaries(state.moved_folder);

  state.ExclusionPatterns = SplitListText(settings.ExclusionText);
  state.KeepPatterns = SplitListText(settings.KeepText);
  if (state.KeepTranslations) {
    state.WantedTranslations = SplitListText(settings.TranslationText);
    state.TranslationCounts.assign(state.WantedTranslations.size(), -1);
    state.TranslationCandidates.resize(state.WantedTranslations.size());
  }

  switch (settings.ZoneMode) {
    case ZoneMode::kAllSelectedZones:
    case ZoneMode::kVerifiedFirst:
    case ZoneMode::kFirstSelectedZone:
    case ZoneMode::kAllZones:
      state.ZoneMode = settings.ZoneMode;
      break;
    default:
      host.ShowMessage("Erreur", kIconNone);
      result.outcome = RunResult::Outcome::kNoZoneMode;
      return result;
  }
  // In kAllZones the selected zones play no part: an empty zone, which every name holds, stands for them.
  std::vector<std::string> zones = SplitListText(settings.ZoneText);
  if (state.ZoneMode == ZoneMode::kAllZones) zones.emplace_back();
  state.SetZoneList(std::move(zones));

  // One snapshot of the folder serves both the progress bar and the scan. It is taken before the log is
  // created, so a log left by an earlier run is part of it and the new one is not.
  Status listing_status;
  const std::vector<std::string> listing = ListOrdinaryFiles(state.RomFolder, &listing_status);
  if (!listing_status.ok()) {
    host.ShowMessage("Cannot read " + state.RomFolder + ": " + listing_status.message(), kIconExclamation);
    result.outcome = RunResult::Outcome::kSetupFailed;
    return result;
  }
  if (listing.empty()) {
    host.ShowMessage("Empty directory", kIconExclamation);
    result.outcome = RunResult::Outcome::kEmptyFolder;
    return result;
  }
  const double progress_maximum = 2.0 + static_cast<double>(listing.size());
  host.SetProgress(0, progress_maximum, 0);
  host.SetResultText("");

  state.DisposedCount = 0;
  const std::string log_path = JoinPath(state.RomFolder, "logfile.txt");
  const Status log_status = state.Log.Create(log_path);
  if (!log_status.ok()) {
    host.ShowMessage("Cannot create the log file " + log_path + ": " + log_status.message(), kIconStop);
    result.outcome = RunResult::Outcome::kSetupFailed;
    return result;
  }
  result.log_path = log_path;

  ScanFolder(state, listing, host, progress_maximum, 0);

  if (state.DisposedCount < 1) {
    result.summary = "0 file deleted";
  } else {
    state.Log.WriteLine(kHyphenLine);
    result.summary = SummaryLine(state);
  }
  state.Log.WriteLine(result.summary);
  host.SetResultText(result.summary);
  const Status close_status = state.Log.Close();
  if (!close_status.ok()) {
    host.ShowMessage("Cannot write the log file " + log_path + ": " + close_status.message(), kIconStop);
  }
  if (settings.OpenLog) host.OpenLog(log_path);
  host.SetProgress(0, progress_maximum, 0);

  result.outcome = RunResult::Outcome::kCompleted;
  result.DisposedCount = state.DisposedCount;
  result.failed_count = state.FailedCount;
  return result;
}

}  // namespace varnel
