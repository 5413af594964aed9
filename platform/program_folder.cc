#include "platform/program_folder.h"

#include <cstdlib>

#include "common/well_known_names.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#else
#include <unistd.h>

#include <climits>
#endif

namespace varnel {

std::string ProgramFolder() {
  std::string path;
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  path = WideToUtf8(buffer);
  const std::size_t slash = path.find_last_of("\\/");
#else
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
  path.assign(buffer, static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
#endif
  if (slash == std::string::npos) return {};
  if (slash == 0) return path.substr(0, 1);  // the root folder keeps its separator
  return path.substr(0, slash);
}

#ifdef _WIN32
namespace {

std::string Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value == nullptr ? std::string() : WideToUtf8(value);
}

}  // namespace
#endif

std::string StateFolderPath() {
#ifdef _WIN32
  std::string local = Environment(L"LOCALAPPDATA");
  if (local.empty()) {
    const std::string profile = Environment(L"USERPROFILE");
    if (profile.empty()) return {};
    local = profile + "\\AppData\\Local";
  }
  return local + "\\" + kStateFolderName;
#else
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    return std::string(state) + "/" + kStateFolderName;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.local/state/" + kStateFolderName;
#endif
}

}  // namespace varnel
