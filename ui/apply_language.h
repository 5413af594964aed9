#ifndef VARNEL_UI_APPLY_LANGUAGE_H_
#define VARNEL_UI_APPLY_LANGUAGE_H_

#include <cstdint>

namespace varnel {

class FormShell;

// Sets every caption and tool tip of the caption table on the four windows in the language `LanguageId`
// (1 French, 2 English), in the table's order: a window that is not loaded is loaded (hidden) first, so the
// job windows load in the order Form1, Form2, Form3 and their own load handlers run before their texts are
// set. Then the folder lists' own texts, and Message7zAbsent last. Any other `LanguageId` changes nothing at all.
void ApplyLanguage(int16_t LanguageId, FormShell& shell);

}  // namespace varnel

#endif  // VARNEL_UI_APPLY_LANGUAGE_H_
