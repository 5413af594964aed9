#ifndef VARNEL_SETTINGS_CONFIG_FILE_H_
#define VARNEL_SETTINGS_CONFIG_FILE_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace varnel {

// The texts the cleaning window starts with when no usable configuration file exists.
inline constexpr std::string_view kDefaultZoneText = "(f),(e),(ue),(jue),(u),(ju),(j)";
inline constexpr std::string_view kDefaultKeepText = "";
inline constexpr std::string_view kDefaultExclusionText =
    "(pd),(beta,(prototype),hack),(pal),[corrupt],beta),-in-1,[k-file],(cpm),[hm,[hf,(hacker),(unl)";

// The four list settings as the configuration file keeps them. `translations` is written as a fourth line
// only when `keep_translations` is set and the text is not empty.
struct ConfigValues {
  std::string zones;
  std::string kept;
  std::string excluded;
  std::string translations;
  bool keep_translations = false;
};

// The configuration file's path: "c:\varnel_config.txt" on Windows; elsewhere varnel_config.txt in the
// user's configuration folder ($XDG_CONFIG_HOME, else ~/.config).
std::string ConfigFilePath();

// The message shown after a save to `path`: "C:\varnel_config.txt saved" on Windows, "<path> saved" elsewhere.
std::string ConfigSavedMessage(const std::string& path);

// Splits file contents into lines by the reading rules: a line ends at CR or at CR LF (the LF is skipped);
// a lone LF does not end a line and stays in the text. Reading stops at the end of the contents or after
// four lines; text after the last CR is a line of its own only when it is not empty.
std::vector<std::string> SplitConfigLines(std::string_view contents);

// Reads up to four lines of the file at `path` by those rules. Fails when the file cannot be read; a
// readable file with fewer than three lines reads fine and gives fewer lines (the caller decides).
Status ReadConfigLines(const std::string& path, std::vector<std::string>* lines);

// Writes the three or four lines, each ended by CR LF, creating the file or replacing its content. Line
// breaks (CR, LF) inside the texts are removed first: they would shift every later value on the next load.
Status WriteConfigFile(const std::string& path, const ConfigValues& values);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_CONFIG_FILE_H_
