#include "jobs/zip/zip_job.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <optional>
#include <set>

#include "history/run_recorder.h"
#include "jobs/zip/archiver_command.h"
#include "jobs/zip/zipper_fichier.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/folder_guard.h"
#include "platform/listing.h"
#include "platform/lower_case.h"

namespace varnel {

namespace {

// The archiver's exit code for a command line it does not understand.
constexpr int kCommandLineError = 7;

std::string Decimal(int number) {
  std::array<char, 16> digits;
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
  return std::string(digits.data(), end);
}

// The key under which the file system tells names apart.
std::string NameKey(const std::string& name) {
#ifdef _WIN32
  return LowerCase(name);
#else
  return name;
#endif
}

// Makes sure <folder>/ZippedRoms is a folder of its own; on failure shows why and returns false.
bool PrepareArchiveFolder(const std::string& folder, ZipHost& host) {
  FolderObstacle obstacle = FolderObstacle::kNone;
  const Status status = EnsureFolder(JoinPath(folder, kArchiveFolderName), &obstacle);
  if (status.ok()) return true;
  host.ShowMessage(EnsureFolderMessage(kArchiveFolderName, folder, obstacle, status, "zipped"), MessageIcon::kStop);
  return false;
}

ZipJobResult Ended(ZipJobEnd end, ZipJobResult result = {}) {
  result.end = end;
  return result;
}

}  // namespace

std::vector<PlannedZip> PlanZipJob(const std::vector<std::string>& names,
                                   const std::function<bool(const std::string& archive)>& archive_exists) {
  std::vector<PlannedZip> plan;
  plan.reserve(names.size());
  std::set<std::string> archives;
  for (const std::string& name : names) {
    PlannedZip file{name, ZipArchiveName(name), ZipStep::kZip};
    if (!archives.insert(NameKey(file.archive)).second) {
      file.step = ZipStep::kSameArchiveAs;
    } else if (archive_exists(file.archive)) {
      file.step = ZipStep::kSkip;
    }
    plan.push_back(std::move(file));
  }
  return plan;
}

ZipJobResult RunZipJob(const ZipJobSettings& settings, ZipHost& host) {
  // Before anything else: the folder's lock, held to the end. Zipping changes no file of the folder, so
  // no folder is refused.
  FolderLock lock;
  if (const FolderEntry entry = EnterJobFolder(settings.folder, /*changes_files=*/false, &lock);
      entry.outcome != FolderEntry::Outcome::kEntered) {
    host.ShowMessage(entry.message, MessageIcon::kExclamation);
    return Ended(ZipJobEnd::kLocked);
  }
  // The job works on its own snapshot: the archives go into a sub-folder, so they never join it.
  std::vector<std::string> names;
  if (const Status listed = ListOrdinaryFiles(settings.folder, &names); !listed.ok()) {
    host.ShowMessage(listed.ToString(), MessageIcon::kStop);
    return Ended(ZipJobEnd::kNotStarted);
  }
  if (names.empty()) {
    host.ShowMessage("Empty directory", MessageIcon::kExclamation);
    return Ended(ZipJobEnd::kEmptyFolder);
  }

  const double maximum = 2.0 + static_cast<double>(names.size());
  double value = 0;
  host.SetProgress(0, maximum, value);
  const bool made_archive_folder = !PathExists(JoinPath(settings.folder, kArchiveFolderName));
  if (!PrepareArchiveFolder(settings.folder, host)) return Ended(ZipJobEnd::kNotStarted);
  // The archiver reads every argument that starts with "-" or "@" as a switch or a list file: each path it
  // gets starts with the absolute folder.
  const std::string folder = AbsolutePath(settings.folder);
  const std::string archive_folder = JoinPath(folder, kArchiveFolderName);
  // An interrupted job's temporaries go before this one writes any; one that cannot go stays harmless, as
  // this job creates its own under new names and never replaces a file.
  RemoveLeftoverTemporaries(archive_folder).IgnoreError();
  const std::vector<PlannedZip> plan = PlanZipJob(
      names, [&archive_folder](const std::string& archive) { return PathExists(JoinPath(archive_folder, archive)); });

  const WaitEvents events = [&host] {
    host.ProcessEvents();
    return !host.StopRequested();
  };
  RunRecorder recorder;
  if (const Status started = recorder.Start(settings.history, JobKind::kZip, folder,
                                            RecordedSettings().Text("archiver", settings.archiver));
      !started.ok()) {
    host.ShowMessage(HistoryStartMessage(settings.history, started, "zipped"), MessageIcon::kStop);
    return Ended(ZipJobEnd::kNotStarted);
  }
  if (made_archive_folder) recorder.CreatedFolder(kArchiveFolderName);

  ZipJobResult result;
  std::optional<ZipJobEnd> ended;  // set when the job ends before its last file
  bool archiver_ran = false;
  std::vector<std::size_t> intents(plan.size());
  const auto intend = [&](std::size_t i) {
    const PlannedZip& file = plan[i];
    if (file.step != ZipStep::kSkip) {
      intents[i] = recorder.Intent(file.name, FileAction::kZip, std::string(kArchiveFolderName) + "/" + file.archive);
    }
  };
  const auto zip_file = [&](std::size_t i) {
    const PlannedZip& file = plan[i];
    if (!events()) {
      ended = ZipJobEnd::kStopped;
      return false;
    }
    if (file.step == ZipStep::kSkip) {
      ++result.skipped;
    } else if (file.step == ZipStep::kSameArchiveAs) {
      result.failed.push_back({file.name, "another file has the same archive name"});
      recorder.Failed(intents[i], result.failed.back().reason);
    } else {
      const ZippedFile zip = ZipperFichier(settings.archiver, folder, file.name, settings.hang_limit, events);
      const bool first_run = !archiver_ran;
      archiver_ran = archiver_ran || zip.run.exit_code >= 0;
      if (zip.run.stopped) {
        ended = ZipJobEnd::kStopped;
        return false;
      }
      if (!zip.run.error.ok()) {
        host.ShowMessage(RunnerErrorMessage(zip.run.error), MessageIcon::kStop);
        result.error = zip.run.error;
        ended = ZipJobEnd::kRunnerError;
        return false;
      }
      if (first_run && zip.run.exit_code == kCommandLineError) {
        host.ShowMessage(kUnsupportedArchiverMessage, MessageIcon::kStop);
        ended = ZipJobEnd::kUnsupportedArchiver;
        return false;
      }
      if (zip.zipped) {
        ++result.zipped;
        // The archive is taken back only as it is now.
        FileIdentity archive;
        const bool known = IdentifyFile(JoinPath(archive_folder, file.archive), &archive).ok();
        recorder.Done(intents[i], known ? &archive : nullptr);
      } else {
        result.failed.push_back({file.name, zip.reason});
        recorder.Failed(intents[i], zip.reason);
      }
      // A job killed later still tells which archives it wrote; a write that fails shows at the next batch or
      // at the end.
      recorder.Write(/*sync=*/false).IgnoreError();
    }
    host.SetProgress(0, maximum, ++value);
    return true;
  };
  const Status written = CarryOutInBatches(recorder, plan.size(), intend, zip_file);
  // The new names on disk too. Each archive's data is already there and each file's outcome is told; a folder
  // the system cannot flush changes none of that.
  FlushFolder(archive_folder).IgnoreError();
  const Status finished = recorder.Finish(result.zipped, static_cast<int>(result.failed.size()));
  if (!written.ok() || !finished.ok()) {
    host.ShowMessage(
        (written.ok() ? finished : written).ToString() + ". The job stopped after " + ZippedLine(result.zipped) + ".",
        MessageIcon::kStop);
    return Ended(ZipJobEnd::kHistoryFailed, std::move(result));
  }
  if (ended) return Ended(*ended, std::move(result));
  host.SetProgress(0, maximum, maximum);  // a job that got to its end shows a full bar
  host.ShowMessage(ZipEndMessage(result), result.failed.empty() ? MessageIcon::kNone : MessageIcon::kExclamation);
  return result;
}

std::string ZippedLine(int zipped) { return Decimal(zipped) + " files zipped"; }

std::string NotZippedLine(const std::vector<ZipFailure>& failed) { return FailuresLine(failed, "files not zipped"); }

std::string ZipEndMessage(const ZipJobResult& result) {
  std::string message = ZippedLine(result.zipped);
  if (result.skipped > 0) {
    message.append("\n").append(Decimal(result.skipped)).append(" files skipped: their archive already exists");
  }
  if (!result.failed.empty()) message.append("\n").append(NotZippedLine(result.failed));
  return message;
}

std::string ZipStoppedMessage(int zipped) { return "Stopped: " + ZippedLine(zipped) + "."; }

std::string RunnerErrorMessage(const ProcessError& error) {
  return "Error " + Decimal(error.number) + ": " + error.description;
}

}  // namespace varnel
