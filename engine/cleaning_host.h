#ifndef VARNEL_ENGINE_CLEANING_HOST_H_
#define VARNEL_ENGINE_CLEANING_HOST_H_

#include <string>

namespace varnel {

// Message box icons by their Windows values.
inline constexpr int kIconNone = 0;
inline constexpr int kIconStop = 16;
inline constexpr int kIconExclamation = 48;
inline constexpr int kIconInformation = 64;

// The only way a cleaning run reaches the user. The cleaning window implements it with message boxes, its
// progress bar and its result label; the command-line tool with the terminal; tests with a recorder.
class CleaningHost {
 public:
  virtual ~CleaningHost() = default;

  // Asks `question` (one or more lines) with the buttons Yes and No, No the default, no icon, under the
  // program's title; true only for Yes.
  virtual bool Confirm(const std::string& question) = 0;
  // Shows `text` with an OK button and the icon value `icon` (kIconNone, kIconStop, ...).
  virtual void ShowMessage(const std::string& text, int icon) = 0;
  // Sets the progress bar. Called once per listed name (test run) or per file carried out: must stay cheap.
  virtual void SetProgress(double minimum, double maximum, double value) = 0;
  // Sets the result text (the bold label under the progress bar).
  virtual void SetResultText(const std::string& text) = 0;
  // Opens the log at `path` for the user to read, without waiting.
  virtual void OpenLog(const std::string& path) = 0;
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_CLEANING_HOST_H_
