#include "settings/config_file.h"

#include <cstdlib>

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

}  // namespace

std::string ConfigFilePath() {
#ifdef _WIN32
  return "c:\\varnel_config.txt";
#else
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    return std::string(xdg) + "/varnel_config.txt";
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config/varnel_config.txt";
#endif
}

std::string ConfigSavedMessage(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return "C:\\varnel_config.txt saved";
#else
  return path + " saved";
#endif
}

std::vector<std::string> SplitConfigLines(std::string_view contents) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (lines.size() < kMaxLines && pos < contents.size()) {
    const std::size_t cr = contents.find('\r', pos);
    if (cr == std::string_view::npos) {
      lines.emplace_back(contents.substr(pos));
      break;
    }
    lines.emplace_back(contents.substr(pos, cr - pos));
    pos = cr + 1;
    if (pos < contents.size() && contents[pos] == '\n') ++pos;
  }
  return lines;
}

Status ReadConfigLines(const std::string& path, std::vector<std::string>* lines) {
  std::string contents;
  Status status = ReadWholeFile(path, &contents);
  if (!status.ok()) {
    lines->clear();
    return status;
  }
  *lines = SplitConfigLines(contents);
  return Status::Ok();
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
  return WriteWholeFile(path, contents);
}

}  // namespace varnel
