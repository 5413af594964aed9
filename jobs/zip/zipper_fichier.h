#ifndef VARNEL_JOBS_ZIP_ZIPPER_FICHIER_H_
#define VARNEL_JOBS_ZIP_ZIPPER_FICHIER_H_

#include <chrono>
#include <string>

#include "jobs/zip/process_error.h"
#include "jobs/zip/runner.h"

namespace varnel {

// Zips `file_name` of `folder` into <folder>/ZippedRoms/<base>.zip by running `archiver` once, hidden, and
// waiting for its end (LancerProcess, then AttendreFinProcess with `timeout` and `events`). The child's
// handles are released whatever happens; a child still running on an error is killed.
ProcessRun ZipperFichier(const std::string& archiver, const std::string& folder, const std::string& file_name,
                         std::chrono::milliseconds timeout = kArchiverTimeout, const WaitEvents& events = {});

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_ZIPPER_FICHIER_H_
