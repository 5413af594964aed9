#include "settings/state_file.h"

#include "common/well_known_names.h"
#include "platform/file_ops.h"
#include "platform/program_folder.h"
#include "platform/replace_file.h"
#include "platform/text_file.h"
#include "platform/utf8.h"

namespace varnel {

std::string StateFilePath() {
  const std::string folder = StateFolderPath();
  return folder.empty() ? folder : JoinPath(folder, kStateFileName);
}

std::string EscapeStateValue(std::string_view bytes) { return EscapeBytes(bytes, /*named_breaks=*/false); }

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
