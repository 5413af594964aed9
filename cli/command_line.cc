#include "cli/command_line.h"

#include <string_view>

namespace varnel {

std::vector<std::string> ArgumentsForParser(int argc, const char* const* argv) {
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
