#include "jobs/zip/zipper_fichier.h"

#include "jobs/zip/archiver_command.h"

namespace varnel {

ProcessRun ZipperFichier(const std::string& archiver, const std::string& folder, const std::string& file_name,
                         std::chrono::milliseconds timeout, const WaitEvents& events) {
  ChildProcess child;  // its handles are closed when it goes out of scope
  ProcessRun run;
  run.error = LancerProcess(ArchiverCommand(archiver, folder, file_name), &child);
  if (!run.error.ok()) return run;
  return AttendreFinProcess(&child, timeout, events);
}

}  // namespace varnel
