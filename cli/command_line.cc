#include "cli/command_line.h"

#include <string_view>
#include <utility>

#ifdef _WIN32
#include <windows.h>
// windows.h must come first.
#include <shellapi.h>
#endif

namespace varnel {

namespace {

#ifdef _WIN32
// The process's arguments as UTF-8: argv holds them in the ANSI code page, which cannot carry every name.
std::vector<std::string> Utf8Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 0; i < count; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);  // the terminating NUL
    arguments.push_back(std::move(utf8));
  }
  LocalFree(wide);
  return arguments;
}
#endif

}  // namespace

std::vector<std::string> ArgumentsForParser(int argc, const char* const* argv) {
#ifdef _WIN32
  const std::vector<std::string> utf8 = Utf8Arguments();
  std::vector<const char*> pointers;
  for (const std::string& arg : utf8) pointers.push_back(arg.c_str());
  if (!pointers.empty()) {
    argc = static_cast<int>(pointers.size());
    argv = pointers.data();
  }
#endif
  int options_end = argc;  // a bare "--" ends the options: what follows is taken as it is
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--") {
      options_end = i;
      break;
    }
  }
  std::vector<std::string> reversed;
  for (int i = argc - 1; i > 0; --i) {
    const std::string_view arg = argv[i];
    const bool empty_assignment =
        i < options_end && arg.size() > 3 && arg.substr(0, 2) == "--" && arg.find('=') == arg.size() - 1;
    if (empty_assignment) {
      reversed.emplace_back();
      reversed.emplace_back(arg.substr(0, arg.size() - 1));
    } else {
      reversed.emplace_back(arg);
    }
  }
  return reversed;
}

}  // namespace varnel
