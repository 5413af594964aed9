#ifndef VARNEL_JOBS_ALPHA_ALPHA_HOST_H_
#define VARNEL_JOBS_ALPHA_ALPHA_HOST_H_

#include <string>

#include "engine/cleaning_host.h"  // the icon values kIconStop, kIconExclamation, kIconInformation

namespace varnel {

// The only way the alphabetical job reaches the user. The alphabetical window implements it with message
// boxes and its progress bar, the command-line tool with the terminal, tests with a recorder.
class AlphaHost {
 public:
  virtual ~AlphaHost() = default;

  // Shows `text` with an OK button and the icon value `icon` (kIconStop, kIconExclamation, kIconInformation).
  virtual void ShowMessage(const std::string& text, int icon) = 0;
  // Sets the progress bar. Called once per listed file: must stay cheap.
  virtual void SetProgress(double minimum, double maximum, double value) = 0;
};

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_ALPHA_HOST_H_
