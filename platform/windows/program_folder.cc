#include "platform/program_folder.h"

#include <windows.h>

#include <cstdlib>

#include "common/well_known_names.h"
#include "platform/windows/win_text.h"

namespace varnel {

namespace {

std::string Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value == nullptr ? std::string() : WideToUtf8(value);
}

}  // namespace

std::string ProgramFolder() {
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
  const std::string path = WideToUtf8(buffer);
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  if (slash == 0) return path.substr(0, 1);  // the root folder keeps its separator
  return path.substr(0, slash);
}

std::string StateFolderPath() {
  std::string local = Environment(L"LOCALAPPDATA");
  if (local.empty()) {
    const std::string profile = Environment(L"USERPROFILE");
    if (profile.empty()) return {};
    local = profile + "\\AppData\\Local";
  }
  return local + "\\" + kStateFolderName;
}

}  // namespace varnel
