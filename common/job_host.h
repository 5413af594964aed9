#ifndef VARNEL_COMMON_JOB_HOST_H_
#define VARNEL_COMMON_JOB_HOST_H_

#include <string>

namespace varnel {

// The icon of a message box; the values are those of the Windows message box flags.
enum class MessageIcon { kNone = 0, kStop = 16, kExclamation = 48, kInformation = 64 };

// What every job needs from whoever shows it to the user: the windows implement it with message boxes and a
// progress bar, the command-line tool with the terminal, tests with a recorder. Each job's own host extends it
// (CleaningHost, AlphaHost, ZipHost).
class JobHost {
 public:
  virtual ~JobHost() = default;

  // Shows `text` (one or more lines) with an OK button and `icon`, under the program's title.
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
  // Sets the progress bar. Called once per listed name or per file: must stay cheap.
  virtual void SetProgress(double minimum, double maximum, double value) = 0;
};

}  // namespace varnel

#endif  // VARNEL_COMMON_JOB_HOST_H_
