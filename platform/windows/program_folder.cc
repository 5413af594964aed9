#include "platform/program_folder.h"

#include <windows.h>

#include "platform/windows/win_text.h"

namespace varnel {

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

}  // namespace varnel
