#ifndef VARNEL_JOBS_ALPHA_ALPHA_HOST_H_
#define VARNEL_JOBS_ALPHA_ALPHA_HOST_H_

#include "common/job_host.h"

namespace varnel {

// The only way the alphabetical job reaches the user: the shared contract alone (a message at the end, progress
// once per listed file). The alphabetical window implements it with message boxes and its progress bar, the
// command-line tool with the terminal, tests with a recorder.
class AlphaHost : public JobHost {};

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_ALPHA_HOST_H_
