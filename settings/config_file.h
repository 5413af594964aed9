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

// The reason a readable configuration file is refused for.
inline constexpr char kShortConfigFile[] = "it has fewer than three lines";

// The four list settings as the configuration file keeps them. `translations` is written as a fourth line
// only when `keep_translations` is set and the text is not empty.
struct ConfigValues {
  std::string zones;
  std::string kept;
  std::string excluded;
  std::string translations;
  bool keep_translations = false;
};

// The settings of a fresh account, shared by the cleaning window and varnel-cli: the default texts of the
// three list boxes, translations off and empty.
ConfigValues DefaultConfigValues();

// The configuration file's path: "c:\varnel_config.txt" on Windows; elsewhere varnel_config.txt in the
// user's configuration folder ($XDG_CONFIG_HOME, else ~/.config).
std::string ConfigFilePath();

// The message shown after a save to `path`: "C:\varnel_config.txt saved" on Windows, "<path> saved" elsewhere.
std::string ConfigSavedMessage(const std::string& path);

// Splits file contents into lines: a line ends at CR LF, at a lone CR or at a lone LF (CR LF is one line
// end). Reading stops at the end of the contents or after four lines; text after the last line end is a line
// of its own only when it is not empty.
std::vector<std::string> SplitConfigLines(std::string_view contents);

// Reads up to four lines of the file at `path` by those rules into `lines`. Fails with the system's reason
// when the file cannot be read, with kNotARegularFile for a FIFO or a device (never waited on), both with
// `lines` empty; and with kShortConfigFile when it gives fewer than three lines (`lines` then holds those).
Status ReadConfigLines(const std::string& path, std::vector<std::string>* lines);

// The values of the file at `path`: lines 1 to 3, and a fourth line turns translations on with its codes.
// When ReadConfigLines fails, its failure, and `values` holds DefaultConfigValues().
Status LoadConfigValues(const std::string& path, ConfigValues* values);

// Writes the three or four lines, each ended by CR LF, creating the file or replacing it whole through a
// temporary file (ReplaceWholeFile): a failed save leaves the old file as it was, a symbolic link stays a
// link. Line breaks (CR, LF) left inside the texts are removed first: they would shift every later value on
// the next load. A failure is the failure to "save" `path`.
Status WriteConfigFile(const std::string& path, const ConfigValues& values);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_CONFIG_FILE_H_
