#ifndef VARNEL_ENGINE_ROM_TITLE_H_
#define VARNEL_ENGINE_ROM_TITLE_H_

#include <string>
#include <string_view>

namespace varnel {

// The title of the lower-cased file name `name`: the name without "[!]", without its round-bracket groups
// (except those holding " of ", such as "(disk 1 of 2)"), without its square-bracket groups, each group taking
// the one blank before it, and without its extension when `ignore_extensions` is set. Equal titles are
// dumps of the same game. An opening bracket without a closing one stays, with what follows, and ends its
// pass; a title without "." keeps its whole text even when `ignore_extensions` is set.
std::string RomTitle(std::string_view name, bool ignore_extensions);

// RomTitle into `*title`, reusing its storage: the scan calls it once per file.
void AssignRomTitle(std::string_view name, bool ignore_extensions, std::string* title);

// The title of `name`, the lower-cased `listed`, with the case of `listed`: the bytes RomTitle(name) keeps, taken
// from `listed`. Where case would change which groups the rule takes out, the title of `name` itself.
void AssignListedTitle(std::string_view listed, std::string_view name, bool ignore_extensions, std::string* title);

}  // namespace varnel

#endif  // VARNEL_ENGINE_ROM_TITLE_H_
