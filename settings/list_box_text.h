#ifndef VARNEL_SETTINGS_LIST_BOX_TEXT_H_
#define VARNEL_SETTINGS_LIST_BOX_TEXT_H_

#include <string>
#include <string_view>

namespace varnel {

// The text of the Kept or Excluded box as a comma-separated list: each line break typed in the box (CR LF,
// CR or LF; a run of them counts once, so a blank line adds nothing) stands for a comma. A break next to a
// comma, or at the start or end of the text, adds no item: "castlevania\nlegend of zelda\n" gives
// "castlevania,legend of zelda". Everything else, blanks included, stays as it was typed.
std::string LineBreaksAsCommas(std::string_view text);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_LIST_BOX_TEXT_H_
