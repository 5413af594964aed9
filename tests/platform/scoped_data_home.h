#ifndef VARNEL_TESTS_PLATFORM_SCOPED_DATA_HOME_H_
#define VARNEL_TESTS_PLATFORM_SCOPED_DATA_HOME_H_

#ifndef _WIN32

#include <cstdlib>
#include <optional>
#include <string>

namespace varnel {

// Points $XDG_DATA_HOME, and with it the home trash, at `folder` for as long as it lives.
class ScopedDataHome {
 public:
  explicit ScopedDataHome(const std::string& folder) {
    if (const char* old = std::getenv("XDG_DATA_HOME")) old_ = old;
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
  }
  ScopedDataHome(const ScopedDataHome&) = delete;
  ScopedDataHome& operator=(const ScopedDataHome&) = delete;
  ~ScopedDataHome() { old_ ? setenv("XDG_DATA_HOME", old_->c_str(), 1) : unsetenv("XDG_DATA_HOME"); }

 private:
  std::optional<std::string> old_;
};

}  // namespace varnel

#endif  // !_WIN32

#endif  // VARNEL_TESTS_PLATFORM_SCOPED_DATA_HOME_H_
