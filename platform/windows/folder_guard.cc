#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "platform/windows/win_text.h"

namespace varnel {
namespace {

std::string Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return WideToUtf8(value);
}

}  // namespace

std::vector<std::string> ProtectedFolderPaths() {
  std::vector<std::string> paths;
  const std::string drive = Environment(L"SystemDrive");
  if (!drive.empty()) {
    paths.push_back(drive + "\\");
    paths.push_back(drive + "\\Users");
  }
  for (const wchar_t* name : {L"USERPROFILE", L"SystemRoot", L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramData"}) {
    if (std::string value = Environment(name); !value.empty()) paths.push_back(std::move(value));
  }
  return paths;
}

}  // namespace varnel
