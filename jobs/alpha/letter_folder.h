#ifndef VARNEL_JOBS_ALPHA_LETTER_FOLDER_H_
#define VARNEL_JOBS_ALPHA_LETTER_FOLDER_H_

#include <array>
#include <string_view>

namespace varnel {

// The letter folder of names that do not start with one of the 26 letters a-z.
inline constexpr std::string_view kNonLetterFolderName = "#";

// The 27 folders below "AlphaFolders" in the order they are created: "#", then "A" to "Z".
inline constexpr std::size_t kLetterFolderCount = 27;
const std::array<std::string_view, kLetterFolderCount>& LetterFolderNames();

// The index in LetterFolderNames() of the folder that receives the file `name`: 1-26 for "A"-"Z" when the
// lower-cased name starts with a letter a-z, 0 ("#") for everything else (digits, punctuation, accented
// letters, any other UTF-8 character, an empty name).
std::size_t LetterFolderIndex(std::string_view name);

}  // namespace varnel

#endif  // VARNEL_JOBS_ALPHA_LETTER_FOLDER_H_
