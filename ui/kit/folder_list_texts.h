#ifndef VARNEL_UI_KIT_FOLDER_LIST_TEXTS_H_
#define VARNEL_UI_KIT_FOLDER_LIST_TEXTS_H_

#include <string_view>

namespace varnel {

// The folder list's own texts (`Dir1` of the three job windows), UTF-8: what its path line reads when the chosen
// folder is gone ("%1" stands for the path), and the line's tip when a path typed there names no folder.
struct FolderListTexts {
  std::string_view gone;
  std::string_view no_such_folder;
};

// The English texts, which a folder list shows until the caption table gives it those of the language applied.
inline constexpr FolderListTexts kEnglishFolderListTexts = {"%1 is gone: choose a folder.", "No such folder."};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_FOLDER_LIST_TEXTS_H_
