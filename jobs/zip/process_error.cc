#include "jobs/zip/process_error.h"

#include <array>
#include <charconv>

namespace varnel {

ProcessError SystemError(int number, const char* source) {
  std::array<char, 16> digits;
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
  return {number, source, "Erreur systeme N° " + std::string(digits.data(), end)};
}

ProcessError TimeoutError() { return {259, "AttendreFinProcess", "Timeout sur l'attente de la fin d'un process"}; }

}  // namespace varnel
