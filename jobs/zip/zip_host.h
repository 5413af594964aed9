#ifndef VARNEL_JOBS_ZIP_ZIP_HOST_H_
#define VARNEL_JOBS_ZIP_ZIP_HOST_H_

#include "common/job_host.h"

namespace varnel {

// The only way the zip job reaches the user. The zip window implements it with message boxes, its progress
// bar and the window's event loop; the command-line tool with the terminal; tests with a recorder.
class ZipHost : public JobHost {
 public:
  // Processes the window's pending events: called after each file and at least every 100 ms while an
  // archiver runs. Must stay cheap when nothing is pending.
  virtual void ProcessEvents() {}
  // True once the job must stop (the user asked for it, or the program is ending): asked after each
  // ProcessEvents(). A running archiver is then killed with what it started, its temporary archive removed,
  // and the job ends without a message.
  virtual bool StopRequested() { return false; }
};

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_ZIP_HOST_H_
