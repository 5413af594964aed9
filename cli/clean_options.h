#ifndef VARNEL_CLI_CLEAN_OPTIONS_H_
#define VARNEL_CLI_CLEAN_OPTIONS_H_

#include <optional>
#include <string>
#include <string_view>

#include "engine/run_settings.h"
#include "platform/status.h"
#include "settings/config_file.h"

namespace varnel {

// The command line of `varnel-cli clean`, one field per box of the cleaning window. A list option that was
// not given is std::nullopt; given with an empty text it is an empty box.
struct CleanOptions {
  std::string folder;
  std::optional<std::string> zones;
  std::optional<std::string> keep;
  std::optional<std::string> exclude;
  std::optional<std::string> translations;  // given: translated dumps are kept with these codes
  bool no_translations = false;
  varnel::ZoneMode mode = varnel::ZoneMode::kVerifiedFirst;
  bool apply = false;  // clears the Test box
  bool move = false;
  bool trash = false;  // puts unkept files in the desktop's trash; never with `move`
  bool multi_ext = false;
  bool yes = false;
  bool print_log = false;
  std::optional<std::string> config;  // --config FILE
  // --plan[=FORMAT]: print the plan instead of running it; "json", else "text" or "true" (the bare flag) for the
  // tab-separated lines; "" when not given.
  std::string plan;
};

// The environment variable that points varnel-cli at another configuration file. Meant for tests, so that
// they never read the user's own file.
inline constexpr const char* kConfigFileVariable = "VARNEL_CONFIG_FILE";

// The configuration file varnel-cli reads, and whether it may be missing.
struct CliConfigFile {
  std::string path;
  // True for the window's own file, found by default: missing, it stands for a fresh account.
  bool is_default = false;
};

// --config FILE when given, else $VARNEL_CONFIG_FILE when set and not empty, else the window's own file.
CliConfigFile ChooseCliConfigFile(const std::optional<std::string>& config_option);

// The zone mode named `name`: "all-selected", "verified-first", "first-selected", "all-zones", or the
// digits "1" to "4". std::nullopt for anything else.
std::optional<ZoneMode> ZoneModeFromName(std::string_view name);

// The four list settings the cleaning window starts with, from `file` by the window's reader: its values, or
// the defaults (translations off) when `file` is the default one and nothing has its name. Any other file
// that cannot be read or has fewer than three lines fails with "Problem with config file <path>: <reason>".
// Never writes the file.
Status LoadWindowLists(const CliConfigFile& file, ConfigValues* values);

// The settings of the run, as the window would have them after its load with `window_lists` and the edits
// that `options` stand for. The log is never opened for the user: the terminal shows the summary.
RunSettings MakeRunSettings(const CleanOptions& options, const ConfigValues& window_lists);

}  // namespace varnel

#endif  // VARNEL_CLI_CLEAN_OPTIONS_H_
