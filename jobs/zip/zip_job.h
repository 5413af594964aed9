#ifndef VARNEL_JOBS_ZIP_ZIP_JOB_H_
#define VARNEL_JOBS_ZIP_ZIP_JOB_H_

#include <chrono>
#include <string>
#include <vector>

#include "jobs/zip/process_error.h"
#include "jobs/zip/runner.h"
#include "jobs/zip/zip_host.h"

namespace varnel {

// What one zip job works on.
struct ZipJobSettings {
  std::string folder;                                    // the folder whose files are zipped, used as it is
  std::string archiver;                                  // the archiver's path, as FindArchiver gives it
  std::chrono::milliseconds timeout = kArchiverTimeout;  // per file
};

// How a zip job ended.
enum class ZipJobEnd {
  kFinished,     // every listed file was handed to the archiver; the end message was shown
  kEmptyFolder,  // no file to zip: "Empty directory", nothing changed
  kNotStarted,   // the folder could not be read or "ZippedRoms" could not be made a folder; no archiver ran
  kRunnerError,  // the process runner failed at a file; the job stopped there
  kStopped,      // stopped on request; no message
};

struct ZipJobResult {
  ZipJobEnd end = ZipJobEnd::kFinished;
  int zipped = 0;                   // files whose archiver ended with code 0
  std::vector<std::string> failed;  // files whose archiver ended with another code, in listing order
  ProcessError error;               // the runner's failure for kRunnerError
};

// Zips every ordinary file of settings.folder, one archiver run per file in listing order, into the
// sub-folder "ZippedRoms" (created when missing), reporting through `host`: the progress bar goes to
// Max = 2 + N with Value + 1 per file, and the job ends with one message (see ZipJobEnd).
ZipJobResult RunZipJob(const ZipJobSettings& settings, ZipHost& host);

// "<zipped> files zipped".
std::string ZippedLine(int zipped);
// "<M> files not zipped: " and the first five names separated by ", ", then ", ..." when there are more.
std::string NotZippedLine(const std::vector<std::string>& failed);
// The end message: ZippedLine, and NotZippedLine on a second line when some files failed.
std::string ZipEndMessage(int zipped, const std::vector<std::string>& failed);
// "Error <number>: <description>".
std::string RunnerErrorMessage(const ProcessError& error);

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_ZIP_JOB_H_
