#ifndef VARNEL_UI_APPLY_LANGUAGE_H_
#define VARNEL_UI_APPLY_LANGUAGE_H_

#include <cstdint>

#include "ui/caption_table.h"
#include "ui/kit/form_shell.h"

namespace varnel {

// Sets every caption and tool tip of the caption table on the four windows in the language `LanguageId`
// (1 French, 2 English), in the table's order: a window that is not loaded is loaded (hidden) first, so the
// job windows load in the order Form1, Form2, Form3 and their own load handlers run before their texts are
// set. Then the folder lists' own texts, and Message7zAbsent last. The shell keeps `LanguageId` as the current
// language. Any other `LanguageId` changes nothing at all. A window title shows a line break as a blank.
void ApplyLanguage(int16_t LanguageId, FormShell& shell);

// Sets the captions, tool tips and folder list texts of the window `id` alone in `language`.
void ApplyCaptions(FormId id, Language language, FormShell& shell);

// From now on each window `shell` loads takes the language applied last (none before ApplyLanguage), so that a
// job window closed with its close box comes back in the language of the others.
void FollowLanguage(FormShell& shell);

}  // namespace varnel

#endif  // VARNEL_UI_APPLY_LANGUAGE_H_
