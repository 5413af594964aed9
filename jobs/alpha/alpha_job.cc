#include "jobs/alpha/alpha_job.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/well_known_names.h"
#include "jobs/alpha/letter_folder.h"
#include "platform/file_ops.h"
#include "platform/folder_guard.h"
#include "platform/folder_lock.h"
#include "platform/listing.h"
#include "platform/status.h"

namespace varnel {
namespace {

using LetterFolderPaths = std::array<std::string, kLetterFolderCount>;

// Makes sure "AlphaFolders" and its 27 letter folders are there, each a folder of its own, creating the
// absent ones, and fills `paths` with the letter folders' paths. Returns the message for the user when a
// folder's name is taken (by a file or a link) or a folder cannot be created, and an empty text when every
// folder is ready. Every name is checked before the first folder is created, so a name taken leaves the
// folder untouched.
std::string PrepareLetterFolders(const std::string& rom_folder, LetterFolderPaths& paths) {
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
  if (const Status made = EnsureFolder(alpha_folders, &obstacle); !made.ok()) {
    return problem(kAlphaFoldersName, rom_folder, obstacle, made);
  }
  for (std::size_t i = 0; i < kLetterFolderCount; ++i) {
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

AlphaResult RunAlphaFolders(const std::string& rom_folder, AlphaHost& host) {
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
  if (std::string problem = PrepareLetterFolders(rom_folder, letter_paths); !problem.empty()) {
    return Stop(AlphaResult::Outcome::kFoldersFailed, std::move(problem), MessageIcon::kStop, host);
  }
  // Temporaries that an interrupted earlier move left go before this run moves anything. One that cannot go
  // stays harmless: this run creates its own under new names and never replaces a file.
  for (const std::string& path : letter_paths) RemoveLeftoverTemporaries(path).IgnoreError();

  // One snapshot serves both the count and the moves: it holds files only, so neither the new folders nor
  // the moved files come back.
  AlphaResult result;
  result.outcome = AlphaResult::Outcome::kCompleted;
  double value = 0.0;
  for (const std::string& name : names) {
    if (name != kLogFileName) {  // the cleaning run's log stays; "LOGFILE.TXT" is an ordinary file
      const std::string& letter_folder = letter_paths[LetterFolderIndex(name)];
      const Status moved = MoveWithoutReplace(JoinPath(rom_folder, name), JoinPath(letter_folder, name));
      if (moved.ok()) {
        ++result.moved_count;
      } else {
        result.failures.push_back({name, moved.message()});
      }
    }
    value += 1.0;
    host.SetProgress(0.0, maximum, value);
  }

  host.SetProgress(0.0, maximum, maximum);  // a job that got to its end shows a full bar
  result.message = AlphaEndMessage(result.moved_count, result.failures);
  host.ShowMessage(result.message, MessageIcon::kInformation);
  return result;
}

}  // namespace varnel
