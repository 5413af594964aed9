#include "jobs/alpha/alpha_job.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/well_known_names.h"
#include "history/run_recorder.h"
#include "jobs/alpha/letter_folder.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/folder_guard.h"
#include "platform/folder_handle.h"
#include "platform/folder_lock.h"
#include "platform/listing.h"
#include "platform/status.h"
#include "platform/sub_folders.h"

namespace varnel {
namespace {

using LetterFolderPaths = std::array<std::string, kLetterFolderCount>;

// The path of the file `name` in the letter folder `index`, relative to the job's folder and "/"-separated, as
// the history keeps it; the letter folder's own path for an empty name.
std::string LetterPath(std::size_t index, std::string_view name) {
  std::string path(kAlphaFoldersName);
  path.append("/").append(LetterFolderNames()[index]);
  if (!name.empty()) path.append("/").append(name);
  return path;
}

// For each letter folder, true when it is on another device than `rom_folder`: a move there is a copy.
std::array<bool, kLetterFolderCount> OnOtherDevices(const std::string& rom_folder, const LetterFolderPaths& paths) {
  std::array<bool, kLetterFolderCount> elsewhere{};
  FolderIdentity folder;
  if (!IdentifyFolder(rom_folder, &folder).ok()) return elsewhere;
  for (std::size_t i = 0; i < kLetterFolderCount; ++i) {
    FolderIdentity letter;
    elsewhere[i] = IdentifyFolder(paths[i], &letter).ok() && letter.device != folder.device;
  }
  return elsewhere;
}

// Makes sure "AlphaFolders" and its 27 letter folders are there, each a folder of its own, creating the
// absent ones, fills `paths` with the letter folders' paths and *created with the folders made, relative to
// `rom_folder`. Returns the message for the user when a folder's name is taken (by a file or a link) or a folder
// cannot be created, and an empty text when every folder is ready. Every name is checked before the first
// folder is created, so a name taken leaves the folder untouched.
std::string PrepareLetterFolders(const std::string& rom_folder, LetterFolderPaths& paths,
                                 std::vector<std::string>* created) {
  const std::string alpha_folders = JoinPath(rom_folder, kAlphaFoldersName);
  const auto problem = [](std::string_view name, const std::string& folder, FolderObstacle obstacle,
                          const Status& status) {
    return EnsureFolderMessage(name, folder, obstacle, status, "moved");
  };

  if (const FolderObstacle obstacle = FolderObstacleAt(alpha_folders); obstacle != FolderObstacle::kNone) {
    return problem(kAlphaFoldersName, rom_folder, obstacle, Status::Ok());
  }
  for (std::size_t i = 0; i < kLetterFolderCount; ++i) {
    paths[i] = JoinPath(alpha_folders, LetterFolderNames()[i]);
    if (const FolderObstacle obstacle = FolderObstacleAt(paths[i]); obstacle != FolderObstacle::kNone) {
      return problem(LetterFolderNames()[i], alpha_folders, obstacle, Status::Ok());
    }
  }

  FolderObstacle obstacle = FolderObstacle::kNone;
  if (!PathExists(alpha_folders)) created->emplace_back(kAlphaFoldersName);
  if (const Status made = EnsureFolder(alpha_folders, &obstacle); !made.ok()) {
    return problem(kAlphaFoldersName, rom_folder, obstacle, made);
  }
  for (std::size_t i = 0; i < kLetterFolderCount; ++i) {
    if (!PathExists(paths[i])) created->push_back(LetterPath(i, {}));
    if (const Status made = EnsureFolder(paths[i], &obstacle); !made.ok()) {
      return problem(LetterFolderNames()[i], alpha_folders, obstacle, made);
    }
  }
  return {};
}

AlphaResult Stop(AlphaResult::Outcome outcome, std::string message, MessageIcon icon, AlphaHost& host) {
  AlphaResult result;
  result.outcome = outcome;
  result.message = std::move(message);
  host.ShowMessage(result.message, icon);
  return result;
}

}  // namespace

AlphaResult RunAlphaFolders(const std::string& rom_folder, AlphaHost& host, const HistoryPlace& history) {
  // Before anything else: never in a protected folder, and the folder's lock is held to the end.
  FolderLock lock;
  if (FolderEntry entry = EnterJobFolder(rom_folder, /*changes_files=*/true, &lock);
      entry.outcome != FolderEntry::Outcome::kEntered) {
    const AlphaResult::Outcome outcome = entry.outcome == FolderEntry::Outcome::kProtected
                                             ? AlphaResult::Outcome::kRefused
                                             : AlphaResult::Outcome::kLocked;
    return Stop(outcome, std::move(entry.message), MessageIcon::kExclamation, host);
  }

  std::vector<std::string> names;
  if (const Status listed = ListOrdinaryFiles(rom_folder, &names); !listed.ok()) {
    return Stop(AlphaResult::Outcome::kListingFailed, listed.ToString(), MessageIcon::kStop, host);
  }
  if (names.empty())
    return Stop(AlphaResult::Outcome::kEmptyFolder, "Empty directory", MessageIcon::kExclamation, host);

  // Two steps more than the files: the bar fills only once the job has ended.
  const double maximum = 2.0 + static_cast<double>(names.size());
  host.SetProgress(0.0, maximum, 0.0);

  LetterFolderPaths letter_paths;
  std::vector<std::string> created;
  if (std::string problem = PrepareLetterFolders(rom_folder, letter_paths, &created); !problem.empty()) {
    return Stop(AlphaResult::Outcome::kFoldersFailed, std::move(problem), MessageIcon::kStop, host);
  }
  // Temporaries that an interrupted earlier move left go before this run moves anything. One that cannot go
  // stays harmless: this run creates its own under new names and never replaces a file.
  for (const std::string& path : letter_paths) RemoveLeftoverTemporaries(path).IgnoreError();

  RunRecorder recorder;
  if (const Status started = recorder.Start(history, JobKind::kAlpha, rom_folder, RecordedSettings()); !started.ok()) {
    return Stop(AlphaResult::Outcome::kHistoryFailed, HistoryStartMessage(history, started, "moved"),
                MessageIcon::kStop, host);
  }
  for (const std::string& folder : created) recorder.CreatedFolder(folder);
  const std::array<bool, kLetterFolderCount> elsewhere = OnOtherDevices(rom_folder, letter_paths);
  // Each file goes by its name in a folder opened once, never by a path resolved again for each file.
  FolderHandle folder;
  folder.Open(rom_folder);
  std::array<FolderHandle, kLetterFolderCount> letters;
  for (std::size_t i = 0; i < kLetterFolderCount; ++i) letters[i].Open(letter_paths[i]);

  // One snapshot serves both the count and the moves: it holds files only, so neither the new folders nor
  // the moved files come back.
  AlphaResult result;
  result.outcome = AlphaResult::Outcome::kCompleted;
  result.history_id = recorder.id();
  double value = 0.0;
  std::vector<std::size_t> intents(names.size());
  const auto intend = [&](std::size_t i) {
    const std::string& name = names[i];
    if (name == kLogFileName) return;  // the cleaning run's log stays; "LOGFILE.TXT" is an ordinary file
    FileIdentity identity;
    const bool known = folder.IdentifyFile(name, &identity).ok();
    intents[i] = recorder.Intent(name, FileAction::kMove, LetterPath(LetterFolderIndex(name), name),
                                 known ? &identity : nullptr);
  };
  const auto move = [&](std::size_t i) {
    const std::string& name = names[i];
    if (name != kLogFileName) {
      const std::size_t letter = LetterFolderIndex(name);
      const Status moved = folder.MoveWithoutReplace(name, letters[letter], name);
      if (moved.ok()) {
        ++result.moved_count;
        FileIdentity copy;  // a move to another device is a copy, another inode
        const bool copied = elsewhere[letter] && letters[letter].IdentifyFile(name, &copy).ok();
        recorder.Done(intents[i], copied ? &copy : nullptr);
      } else {
        result.failures.push_back({name, moved.message()});
        recorder.Failed(intents[i], moved.message());
      }
    }
    value += 1.0;
    host.SetProgress(0.0, maximum, value);
    return true;
  };
  if (const Status written = CarryOutInBatches(recorder, names.size(), intend, move); !written.ok()) {
    return Stop(AlphaResult::Outcome::kHistoryFailed,
                written.ToString() + ". The job stopped after " + std::to_string(result.moved_count) + " files.",
                MessageIcon::kStop, host);
  }
  // Not put on disk: the intents are, and a power cut would leave moves that an undo finds on disk.
  if (const Status finished =
          recorder.Finish(result.moved_count, static_cast<int>(result.failures.size()), /*sync=*/false);
      !finished.ok()) {
    return Stop(AlphaResult::Outcome::kHistoryFailed, finished.ToString(), MessageIcon::kStop, host);
  }

  host.SetProgress(0.0, maximum, maximum);  // a job that got to its end shows a full bar
  result.message = AlphaEndMessage(result.moved_count, result.failures);
  host.ShowMessage(result.message, MessageIcon::kInformation);
  return result;
}

}  // namespace varnel
