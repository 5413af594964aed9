#include "settings/config_file.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>

#include "common/well_known_names.h"
#include "platform/replace_file.h"
#include "platform/text_file.h"

namespace varnel {

namespace {

constexpr std::size_t kMaxLines = 4;

std::string WithoutLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

// True for a FIFO, a socket or a device, which a read could wait on for ever. A folder is left to the read,
// which fails with the system's reason.
bool IsSpecialFile(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
#endif
}

}  // namespace

std::string ConfigFilePath() {
#ifdef _WIN32
  return std::string("c:\\") + kConfigFileName;
#else
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    return std::string(xdg) + "/" + kConfigFileName;
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config/" + kConfigFileName;
#endif
}

std::string ConfigSavedMessage(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return std::string("C:\\") + kConfigFileName + " saved";
#else
  return path + " saved";
#endif
}

ConfigValues DefaultConfigValues() {
  ConfigValues values;
  values.zones = kDefaultZoneText;
  values.kept = kDefaultKeepText;
  values.excluded = kDefaultExclusionText;
  return values;
}

std::vector<std::string> SplitConfigLines(std::string_view contents) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (lines.size() < kMaxLines && pos < contents.size()) {
    const std::size_t end = contents.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.emplace_back(contents.substr(pos));
      break;
    }
    lines.emplace_back(contents.substr(pos, end - pos));
    pos = contents.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
  }
  return lines;
}

Status ReadConfigLines(const std::string& path, std::vector<std::string>* lines) {
  lines->clear();
  if (IsSpecialFile(path)) return Status::Error(kNotARegularFile);
  std::string contents;
  if (Status status = ReadWholeFile(path, &contents); !status.ok()) return status;
  *lines = SplitConfigLines(contents);
  return lines->size() >= 3 ? Status::Ok() : Status::Error(kShortConfigFile);
}

Status LoadConfigValues(const std::string& path, ConfigValues* values) {
  std::vector<std::string> lines;
  const Status status = ReadConfigLines(path, &lines);
  if (!status.ok()) {
    *values = DefaultConfigValues();
    return status;
  }
  *values = ConfigValues();
  values->zones = lines[0];
  values->kept = lines[1];
  values->excluded = lines[2];
  if (lines.size() >= 4) {
    values->translations = lines[3];
    values->keep_translations = true;
  }
  return status;
}

Status WriteConfigFile(const std::string& path, const ConfigValues& values) {
  std::string contents;
  for (const std::string* text : {&values.zones, &values.kept, &values.excluded}) {
    contents += WithoutLineBreaks(*text);
    contents += "\r\n";
  }
  const std::string translations = WithoutLineBreaks(values.translations);
  if (values.keep_translations && !translations.empty()) {
    contents += translations;
    contents += "\r\n";
  }
  return ReplaceWholeFile(path, contents).About("save", path);
}

}  // namespace varnel
