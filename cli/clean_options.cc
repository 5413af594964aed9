#include "cli/clean_options.h"

#include <cstdlib>
#include <vector>

namespace varnel {

std::string CliConfigFilePath() {
  if (const char* path = std::getenv(kConfigFileVariable); path != nullptr && path[0] != '\0') {
    return path;
  }
  return ConfigFilePath();
}

std::optional<ZoneMode> ZoneModeFromName(std::string_view name) {
  if (name == "all-selected" || name == "1") return ZoneMode::kAllSelectedZones;
  if (name == "verified-first" || name == "2") return ZoneMode::kVerifiedFirst;
  if (name == "first-selected" || name == "3") return ZoneMode::kFirstSelectedZone;
  if (name == "all-zones" || name == "4") return ZoneMode::kAllZones;
  return std::nullopt;
}

ConfigValues LoadWindowLists(const std::string& path) {
  ConfigValues values;
  std::vector<std::string> lines;
  if (!path.empty() && ReadConfigLines(path, &lines).ok() && lines.size() >= 3) {
    values.zones = lines[0];
    values.kept = lines[1];
    values.excluded = lines[2];
    if (lines.size() >= 4) {
      values.translations = lines[3];
      values.keep_translations = true;
    }
    return values;
  }
  // A missing or short file leaves the three mandatory boxes at their defaults and translations off.
  values.zones = kDefaultZoneText;
  values.kept = kDefaultKeepText;
  values.excluded = kDefaultExclusionText;
  return values;
}

RunSettings MakeRunSettings(const CleanOptions& options, const ConfigValues& window_lists) {
  RunSettings settings;
  settings.RomFolder = options.folder;
  settings.TestMode = !options.apply;
  settings.MoveFiles = options.move;
  settings.OpenLog = false;
  settings.IgnoreExtensions = options.multi_ext;
  settings.ZoneMode = options.mode;
  settings.ZoneText = options.zones.value_or(window_lists.zones);
  settings.KeepText = options.keep.value_or(window_lists.kept);
  settings.ExclusionText = options.exclude.value_or(window_lists.excluded);
  settings.TranslationText = options.translations.value_or(window_lists.translations);
  if (options.translations.has_value()) {
    settings.KeepTranslations = true;
  } else {
    settings.KeepTranslations = window_lists.keep_translations && !options.no_translations;
  }
  return settings;
}

}  // namespace varnel
