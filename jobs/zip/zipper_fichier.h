#ifndef VARNEL_JOBS_ZIP_ZIPPER_FICHIER_H_
#define VARNEL_JOBS_ZIP_ZIPPER_FICHIER_H_

#include <chrono>
#include <string>

#include "jobs/zip/process_error.h"
#include "jobs/zip/runner.h"

namespace varnel {

// How zipping one file ended.
struct ZippedFile {
  ProcessRun run;       // how the archiver's run ended; no run when the file was refused before it
  bool zipped = false;  // its archive stands complete under its final name
  std::string reason;   // why not, when neither the runner failed nor the run was stopped
};

// Zips `file_name` of `folder` (an absolute path) into <folder>/ZippedRoms/<base>.zip: the file must still
// be a regular file (following links); `archiver` writes a new temporary ".varnel-<pid>-<n>.tmp" there
// (LancerProcess, then AttendreFinProcess with `hang_limit` and `events`); only after exit code 0 and only
// when it holds more than an empty zip (22 bytes) is it flushed to disk and given the final name, never
// replacing anything. In every other case the temporary is removed. The child's handles are released
// whatever happens; a child still running on an error or a stop is killed with what it started.
ZippedFile ZipperFichier(const std::string& archiver, const std::string& folder, const std::string& file_name,
                         std::chrono::milliseconds hang_limit = kArchiverHangLimit, const WaitEvents& events = {});

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_ZIPPER_FICHIER_H_
