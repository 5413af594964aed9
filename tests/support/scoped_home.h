#ifndef VARNEL_TESTS_SUPPORT_SCOPED_HOME_H_
#define VARNEL_TESTS_SUPPORT_SCOPED_HOME_H_

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

#include <filesystem>
#include <optional>
#include <string>

namespace varnel {

// Points the home folder the guards read ($HOME; %USERPROFILE% on Windows) at `folder` for as long as it
// lives.
class ScopedHome {
 public:
  explicit ScopedHome(const std::string& folder) {
#ifdef _WIN32
    std::wstring old(32768, L'\0');
    const DWORD length = GetEnvironmentVariableW(kName, old.data(), static_cast<DWORD>(old.size()));
    if (length > 0 && length < old.size()) old_ = old.substr(0, length);
    SetEnvironmentVariableW(kName, std::filesystem::path(folder).wstring().c_str());
#else
    if (const char* old = std::getenv(kName)) old_ = old;
    setenv(kName, folder.c_str(), 1);
#endif
  }
  ~ScopedHome() {
#ifdef _WIN32
    SetEnvironmentVariableW(kName, old_ ? old_->c_str() : nullptr);
#else
    old_ ? setenv(kName, old_->c_str(), 1) : unsetenv(kName);
#endif
  }
  ScopedHome(const ScopedHome&) = delete;
  ScopedHome& operator=(const ScopedHome&) = delete;

 private:
#ifdef _WIN32
  static constexpr const wchar_t* kName = L"USERPROFILE";
  std::optional<std::wstring> old_;
#else
  static constexpr const char* kName = "HOME";
  std::optional<std::string> old_;
#endif
};

#ifndef _WIN32
// Points $XDG_DATA_HOME, and with it the home trash, at `folder` for as long as it lives.
class ScopedDataHome {
 public:
  explicit ScopedDataHome(const std::string& folder) {
    if (const char* old = std::getenv("XDG_DATA_HOME")) old_ = old;
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
  }
  ~ScopedDataHome() { old_ ? setenv("XDG_DATA_HOME", old_->c_str(), 1) : unsetenv("XDG_DATA_HOME"); }
  ScopedDataHome(const ScopedDataHome&) = delete;
  ScopedDataHome& operator=(const ScopedDataHome&) = delete;

 private:
  std::optional<std::string> old_;
};
#endif

}  // namespace varnel

#endif  // VARNEL_TESTS_SUPPORT_SCOPED_HOME_H_
