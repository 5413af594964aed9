#include "settings/state_file.h"

#include <cstdlib>

#include "common/well_known_names.h"
#include "platform/file_ops.h"
#include "platform/replace_file.h"
#include "platform/text_file.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/windows/win_text.h"
#endif

namespace varnel {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The length of the valid UTF-8 sequence that starts `text`, 0 when none does (a stray continuation byte, an
// overlong form, a surrogate, a code point past U+10FFFF, a sequence cut short).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(0);
  if (first < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    if (first == 0xE0) low = 0xA0;
    if (first == 0xED) high = 0x9F;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    if (first == 0xF0) low = 0x90;
    if (first == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Creates the folders above `file` that do not exist yet.
Status MakeFoldersAbove(const std::string& file) {
  std::size_t end = file.size();
  while (end > 0 && !IsPathSeparator(file[end - 1])) --end;
  while (end > 1 && IsPathSeparator(file[end - 1])) --end;
  if (end <= 1) return Status::Ok();
  const std::string folder = file.substr(0, end);
  if (IsFolder(folder)) return Status::Ok();
  if (Status above = MakeFoldersAbove(folder); !above.ok()) return above;
  const Status made = MakeFolder(folder);
  return made.ok() || IsFolder(folder) ? Status::Ok() : made;  // made meanwhile by another window
}

#ifdef _WIN32
std::string Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value == nullptr ? std::string() : WideToUtf8(value);
}
#endif

}  // namespace

std::string StateFilePath() {
#ifdef _WIN32
  std::string local = Environment(L"LOCALAPPDATA");
  if (local.empty()) {
    const std::string profile = Environment(L"USERPROFILE");
    if (profile.empty()) return {};
    local = profile + "\\AppData\\Local";
  }
  return local + "\\" + kStateFolderName + "\\" + kStateFileName;
#else
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    return std::string(state) + "/" + kStateFolderName + "/" + kStateFileName;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.local/state/" + kStateFolderName + "/" + kStateFileName;
#endif
}

std::string EscapeStateValue(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = Utf8SequenceLength(bytes.substr(i));
    if (byte == '\\') {
      text += "\\\\";
    } else if (length == 0 || byte < 0x20 || byte == 0x7F) {
      text += "\\x";
      text += kHexDigits[byte >> 4];
      text += kHexDigits[byte & 0xF];
    } else {
      text.append(bytes.substr(i, length));
      i += length;
      continue;
    }
    ++i;
  }
  return text;
}

std::string UnescapeStateValue(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      bytes += '\\';
      ++i;
    } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && HexValue(text[i + 2]) >= 0 &&
               HexValue(text[i + 3]) >= 0) {
      bytes += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 3;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

std::optional<std::string> StateFile::Get(std::string_view key) const {
  const auto found = values_.find(key);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

void StateFile::Set(std::string_view key, std::string_view value) { values_[std::string(key)] = value; }

std::string StateFile::Text() const {
  std::string text;
  for (const auto& [key, value] : values_) {
    text += key;
    text += '=';
    text += EscapeStateValue(value);
    text += '\n';
  }
  return text;
}

StateFile StateFile::Parse(std::string_view text) {
  StateFile state;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals == 0 || equals == std::string_view::npos) continue;
    state.values_[std::string(line.substr(0, equals))] = UnescapeStateValue(line.substr(equals + 1));
  }
  return state;
}

Status LoadStateFile(const std::string& path, StateFile* state) {
  *state = StateFile();
  if (!PathExists(path)) return Status::Ok();
  if (Status regular = CheckRegularFile(path); !regular.ok()) return regular;
  std::string text;
  if (Status read = ReadWholeFile(path, &text); !read.ok()) return read;
  *state = StateFile::Parse(text);
  return Status::Ok();
}

Status UpdateStateFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& values) {
  if (path.empty()) return Status::Error("no folder for the state file is known");
  StateFile state;
  if (Status loaded = LoadStateFile(path, &state); !loaded.ok()) return loaded;
  for (const auto& [key, value] : values) state.Set(key, value);
  if (Status folders = MakeFoldersAbove(path); !folders.ok()) return folders;
  return ReplaceWholeFile(path, state.Text());
}

}  // namespace varnel
