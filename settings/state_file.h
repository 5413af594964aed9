#ifndef VARNEL_SETTINGS_STATE_FILE_H_
#define VARNEL_SETTINGS_STATE_FILE_H_

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace varnel {

// The program's own state between runs, kept apart from the configuration file: the folder each window was
// on, the language, and the options of the cleaning window that are not lists. The file holds one "key=value" line per
// value, keys in byte order. A value is bytes (a path need not be valid UTF-8): it is written as it is but for a
// backslash, written "\\", and for a control byte or a byte that is not part of valid UTF-8, written "\xHH", so that
// every byte comes back.

// The state file's path: varnel/state.ini in $XDG_STATE_HOME when that holds an absolute path, else in
// ~/.local/state; on Windows Varnel\state.ini in the local application data folder (%LOCALAPPDATA%). Empty
// when neither folder is known.
std::string StateFilePath();

// The values of a state file.
class StateFile {
 public:
  // The value of `key`; nothing when there is none.
  std::optional<std::string> Get(std::string_view key) const;
  // Sets `key` to `value`. A key is made of ASCII letters, digits, ".", "_" and "-".
  void Set(std::string_view key, std::string_view value);

  // The file's text for these values.
  std::string Text() const;
  // The values of a file's text; a line that is not "key=value" is passed over, a CR before a line's LF is
  // not part of it.
  static StateFile Parse(std::string_view text);

 private:
  std::map<std::string, std::string, std::less<>> values_;
};

// Reads the state file at `path` into *state. A missing file is an empty state and no failure. A file that
// cannot be read, or is not a regular file (never waited on), fails with the reason and leaves *state empty.
Status LoadStateFile(const std::string& path, StateFile* state);

// Sets `values` in the state file at `path` and keeps every other value it holds: reads the file, sets them
// and writes it whole through a temporary (ReplaceWholeFile), creating its folders first. A file that exists
// but cannot be read is left as it is, and the failure says why.
Status UpdateStateFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& values);

// `bytes` as the state file writes a value, and back. Unescaping leaves a backslash that starts no escape as
// it is.
std::string EscapeStateValue(std::string_view bytes);
std::string UnescapeStateValue(std::string_view text);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_STATE_FILE_H_
