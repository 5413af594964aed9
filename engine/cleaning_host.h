#ifndef VARNEL_ENGINE_CLEANING_HOST_H_
#define VARNEL_ENGINE_CLEANING_HOST_H_

#include <string>

#include "common/job_host.h"

namespace varnel {

// The only way a cleaning run reaches the user. The cleaning window implements it with message boxes, its
// progress bar and its result label; the command-line tool with the terminal; tests with a recorder.
class CleaningHost : public JobHost {
 public:
  // Asks `question` (one or more lines) with the buttons Yes and No, No the default, no icon, under the
  // program's title; true only for Yes.
  virtual bool Confirm(const std::string& question) = 0;
  // Sets the result text (the bold label under the progress bar).
  virtual void SetResultText(const std::string& text) = 0;
  // Opens the log at `path` for the user to read, without waiting.
  virtual void OpenLog(const std::string& path) = 0;
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_CLEANING_HOST_H_
