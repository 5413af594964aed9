#ifndef VARNEL_ENGINE_ROM_TITLE_H_
#define VARNEL_ENGINE_ROM_TITLE_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace varnel {

// The title of the lower-cased file name `name`: the name without "[!]", without its round-bracket groups
// (except those holding " of ", such as "(disk 1 of 2)"), without its square-bracket groups, each group taking
// the one blank before it, and without its extension when `ignore_extensions` is set. Equal titles are
// dumps of the same game. An opening bracket without a closing one stays, with what follows, and ends its
// pass; a title without "." keeps its whole text even when `ignore_extensions` is set.
std::string RomTitle(std::string_view name, bool ignore_extensions);

// Where the bytes of a name's title come from, when the quick reading of its brackets found them: the bytes
// [from, to) of the name for each span in order, cut to `size` bytes (the extension gone).
struct TitleSpans {
  struct Span {
    std::size_t from, to;
  };
  static constexpr std::size_t kMost = 17;
  bool known = false;
  std::size_t count = 0;
  std::size_t size = 0;
  std::array<Span, kMost> spans;  // the first `count` are set
};

// RomTitle into `*title`, reusing its storage: the scan calls it once per file. With `spans`, tells where the
// title's bytes come from when that is known.
void AssignRomTitle(std::string_view name, bool ignore_extensions, std::string* title, TitleSpans* spans = nullptr);

// The title of `name`, the lower-cased `listed`, with the case of `listed`: the bytes RomTitle(name) keeps, taken
// from `listed`. Where case would change which groups the rule takes out, the title of `name` itself. `spans`,
// when given, are those AssignRomTitle found for `name`.
void AssignListedTitle(std::string_view listed, std::string_view name, bool ignore_extensions, std::string* title,
                       const TitleSpans* spans = nullptr);

}  // namespace varnel

#endif  // VARNEL_ENGINE_ROM_TITLE_H_
