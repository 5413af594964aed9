#include "jobs/alpha/letter_folder.h"

namespace varnel {

const std::array<std::string_view, kLetterFolderCount>& LetterFolderNames() {
  static constexpr std::array<std::string_view, kLetterFolderCount> kNames = {
      "#", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
      "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
  return kNames;
}

std::size_t LetterFolderIndex(std::string_view name) {
  if (name.empty()) return 0;
  // Lower-casing only ever turns A-Z into a-z among the bytes below 128 and leaves the lead byte of every
  // other UTF-8 character at 128 or above, so the first byte alone decides: a-z or A-Z pick a letter.
  const unsigned char first = static_cast<unsigned char>(name.front());
  if (first >= 'a' && first <= 'z') return first - 'a' + 1;
  if (first >= 'A' && first <= 'Z') return first - 'A' + 1;
  return 0;
}

}  // namespace varnel
