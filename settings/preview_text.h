#ifndef VARNEL_SETTINGS_PREVIEW_TEXT_H_
#define VARNEL_SETTINGS_PREVIEW_TEXT_H_

#include <cstddef>
#include <string>

#include "engine/cleaning_plan.h"

namespace varnel {

// The language of the preview window's words.
enum class PreviewLanguage { kEnglish, kFrench };

// The fixed texts of the preview window in one language, UTF-8.
struct PreviewTexts {
  const char* file_column;
  const char* decision_column;
  const char* reason_column;
  const char* filter_label;
  const char* only_going;
  const char* refresh;
  const char* apply;
  const char* out_of_date;
};
const PreviewTexts& PreviewTextsIn(PreviewLanguage language);

// The window's title: "Preview: <folder>" ("Aperçu : <folder>"), `folder` as the user reads it.
std::string PreviewTitle(const std::string& folder, PreviewLanguage language);
// "<F> files, <G> games: <K> kept, <D> going" for `plan`.
std::string PreviewCounts(const CleaningPlan& plan, PreviewLanguage language);
// "kept" or "going".
std::string DecisionText(FileVerdict verdict, PreviewLanguage language);
// Why `file` (an element of plan.files) stays or goes, naming the dump kept in its stead or the list item that
// matched by their text in the plan.
std::string ReasonText(const CleaningPlan& plan, const PlannedFile& file, PreviewLanguage language);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_PREVIEW_TEXT_H_
