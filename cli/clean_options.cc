#include "cli/clean_options.h"

#include <cerrno>
#include <cstdlib>

#include "platform/file_ops.h"

namespace varnel {

CliConfigFile ChooseCliConfigFile(const std::optional<std::string>& config_option) {
  if (config_option.has_value()) return {*config_option, false};
  if (const char* path = std::getenv(kConfigFileVariable); path != nullptr && path[0] != '\0') return {path, false};
  return {ConfigFilePath(), true};
}

std::optional<ZoneMode> ZoneModeFromName(std::string_view name) {
  if (name == "all-selected" || name == "1") return ZoneMode::kAllSelectedZones;
  if (name == "verified-first" || name == "2") return ZoneMode::kVerifiedFirst;
  if (name == "first-selected" || name == "3") return ZoneMode::kFirstSelectedZone;
  if (name == "all-zones" || name == "4") return ZoneMode::kAllZones;
  return std::nullopt;
}

Status LoadWindowLists(const CliConfigFile& file, ConfigValues* values) {
  const Status status = LoadConfigValues(file.path, values);
  if (status.ok()) return status;
  // Only the default name held by nothing at all is a fresh account; a dangling link there is not.
  if (file.is_default && status.code() == ENOENT && !PathExists(file.path)) return Status::Ok();
  return Status::Error("Problem with config file " + file.path + ": " + status.message(), status.code());
}

RunSettings MakeRunSettings(const CleanOptions& options, const ConfigValues& window_lists) {
  RunSettings settings;
  settings.RomFolder = options.folder;
  settings.TestMode = !options.apply;
  settings.MoveFiles = options.move;
  settings.TrashFiles = options.trash;
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
