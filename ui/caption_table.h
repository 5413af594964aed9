#ifndef VARNEL_UI_CAPTION_TABLE_H_
#define VARNEL_UI_CAPTION_TABLE_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/kit/folder_list_texts.h"

namespace varnel {

// The two languages of the interface.
enum class Language { kFrench, kEnglish };

// The language of a `LanguageId`: 1 French, 2 English; nothing for any other value.
std::optional<Language> LanguageOf(int16_t LanguageId);

// The window a caption row belongs to; the values are those of FormId.
enum class CaptionForm { kMainForm = 0, kForm1 = 1, kForm2 = 2, kForm3 = 3, kHistoryForm = 4 };

// What a row sets: the caption (a window's title, a frame's title, a button's or a label's text), the tool
// tip, or the caption of a list's column.
enum class CaptionProperty { kCaption, kToolTip, kColumn };

// Where a row's text comes from: its own two columns, or one column of the zone legend.
enum class CaptionSource { kText, kLegendColumn1, kLegendColumn2 };

// One language-dependent text of the interface. UTF-8 throughout.
struct CaptionRow {
  CaptionForm form;
  std::string_view control;  // the control's object name; empty for the window itself
  CaptionProperty property;
  std::string_view english;
  std::string_view french;
  CaptionSource source = CaptionSource::kText;
  int column = 0;  // the column of a kColumn row, from 0
};

inline constexpr std::size_t kCaptionRowCount = 53;
inline constexpr std::size_t kLegendEntryCount = 18;

// Every caption and tool tip of the five windows, in the order they are set.
extern const std::array<CaptionRow, kCaptionRowCount> kCaptionRows;

// One entry of the zone legend ("(A) Australia").
struct LegendEntry {
  std::string_view english;
  std::string_view french;
};

// The zone legend: entries 1 to 9 form the first column, 10 to 18 the second.
extern const std::array<LegendEntry, kLegendEntryCount> kLegendEntries;

// The folder list's own texts in `language`; ApplyLanguage sets them after the rows.
FolderListTexts FolderListCaptionsIn(Language language);

// The text `row` sets in `language`; a legend column is its nine entries, each followed by CR LF.
std::string CaptionText(const CaptionRow& row, Language language);

}  // namespace varnel

#endif  // VARNEL_UI_CAPTION_TABLE_H_
