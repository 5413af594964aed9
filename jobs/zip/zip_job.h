#ifndef VARNEL_JOBS_ZIP_ZIP_JOB_H_
#define VARNEL_JOBS_ZIP_ZIP_JOB_H_

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "history/end_message.h"
#include "history/history_folder.h"
#include "jobs/zip/process_error.h"
#include "jobs/zip/runner.h"
#include "jobs/zip/zip_host.h"

namespace varnel {

// What one zip job works on.
struct ZipJobSettings {
  std::string folder;    // the folder whose files are zipped, as the user gave it
  std::string archiver;  // the archiver's path, as FindArchiver gives it
  // How long the archiver may go without a sign of life before it counts as hung.
  std::chrono::milliseconds hang_limit = kArchiverHangLimit;
  // Where the job records its run.
  HistoryPlace history = HistoryPlace::Default();
};

// What the job does with one listed file, decided from the names before any archiver runs.
enum class ZipStep {
  kZip,            // its archive is written
  kSkip,           // its archive existed before the job: left as it is
  kSameArchiveAs,  // an earlier listed file gives the same archive name: not zipped
};

// What the zip job does with one listed file.
struct PlannedZip {
  std::string name;     // the listed file
  std::string archive;  // its archive's name in ZippedRoms
  ZipStep step = ZipStep::kZip;
};

// The plan of a job over `names` (in listing order): the first file of each archive name is zipped, or
// skipped when `archive_exists` says that archive is there already; every later file of that archive name is
// kSameArchiveAs, whether or not the archive exists. Archive names are compared as the file system does
// (Windows: without regard to case).
std::vector<PlannedZip> PlanZipJob(const std::vector<std::string>& names,
                                   const std::function<bool(const std::string& archive)>& archive_exists);

// A listed file that has no new archive, with why ("another file has the same archive name", "7z ended with
// code 2", the system's reason).
using ZipFailure = FileFailure;

// How a zip job ended.
enum class ZipJobEnd {
  kFinished,             // every listed file was handled; the end message was shown
  kEmptyFolder,          // no file to zip: "Empty directory", nothing changed
  kLocked,               // another job holds the folder, or its lock could not be taken: a message, nothing changed
  kNotStarted,           // the folder could not be read or "ZippedRoms" could not be made a folder; no archiver ran
  kRunnerError,          // the process runner failed at a file; the job stopped there
  kUnsupportedArchiver,  // the archiver refused the command line at its first run; the job stopped there
  kStopped,              // stopped on request; no message (the caller tells what was zipped)
  kHistoryFailed,        // the history could not be written: a message; no archiver ran after that
};

struct ZipJobResult {
  ZipJobEnd end = ZipJobEnd::kFinished;
  int zipped = 0;                  // files whose archive now stands under its final name
  int skipped = 0;                 // files whose archive existed before the job
  std::vector<ZipFailure> failed;  // files not zipped, in listing order
  ProcessError error;              // the runner's failure for kRunnerError
};

// Zips every ordinary file of settings.folder into an archive of its own in the sub-folder "ZippedRoms"
// (created when missing), one archiver run per file in listing order, following PlanZipJob. Holds the folder's
// lock from start to end, and removes the temporaries an interrupted job left in "ZippedRoms" before it
// starts. The run is recorded in settings.history: each batch of intents (the file and its archive) is on disk
// before the archiver runs for them, and each archive written is recorded as it is. Reports through `host`: the
// progress bar goes to Max = 2 + N with Value + 1 per file, full once the last file is done, and the job ends with one
// message (see ZipJobEnd).
ZipJobResult RunZipJob(const ZipJobSettings& settings, ZipHost& host);

// "<zipped> files zipped".
std::string ZippedLine(int zipped);
// "<M> files not zipped: " and the first five files as "name (reason)" separated by ", ", then ", ..." when
// there are more.
std::string NotZippedLine(const std::vector<ZipFailure>& failed);
// The end message: ZippedLine; then "<K> files skipped: their archive already exists" when files were
// skipped; then NotZippedLine when some files were not zipped; one line each.
std::string ZipEndMessage(const ZipJobResult& result);
// "Stopped: <zipped> files zipped."
std::string ZipStoppedMessage(int zipped);
// "Error <number>: <description>".
std::string RunnerErrorMessage(const ProcessError& error);

// The message of an archiver that refuses the switches the job passes.
inline constexpr char kUnsupportedArchiverMessage[] =
    "This 7z does not understand the switches Varnel needs: use 7-Zip 18.00 or newer.";

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_ZIP_JOB_H_
