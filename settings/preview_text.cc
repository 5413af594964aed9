#include "settings/preview_text.h"

#include <string_view>

namespace varnel {

namespace {

constexpr PreviewTexts kEnglish = {"File",
                                   "Decision",
                                   "Reason",
                                   "Filter:",
                                   "Show only what goes",
                                   "Refresh",
                                   "Apply",
                                   "The settings or the folder changed: refresh the preview."};
constexpr PreviewTexts kFrench = {"Fichier",
                                  "Décision",
                                  "Raison",
                                  "Filtre :",
                                  "N'afficher que les fichiers écartés",
                                  "Actualiser",
                                  "Appliquer",
                                  "Les réglages ou le dossier ont changé : actualisez l'aperçu."};

// The words of one reading, with what follows them: the other dump as it is, or the item between quotes.
struct Reading {
  const char* english;
  const char* french;
};

std::string Say(const Reading& reading, PreviewLanguage language) {
  return language == PreviewLanguage::kFrench ? reading.french : reading.english;
}

// `reading` followed by the dump kept in the file's stead.
std::string WithOther(const Reading& reading, const CleaningPlan& plan, const PlannedFile& file,
                      PreviewLanguage language) {
  std::string text = Say(reading, language);
  if (file.winner < plan.listing.size()) text += plan.listing[file.winner];
  return text;
}

// `reading` followed by `item` between the language's quotes.
std::string WithItem(const Reading& reading, const std::vector<std::string>& items, std::uint32_t item,
                     PreviewLanguage language) {
  const std::string_view text = item < items.size() ? std::string_view(items[item]) : std::string_view();
  if (language == PreviewLanguage::kFrench) return std::string(reading.french) + "« " + std::string(text) + " »";
  return std::string(reading.english) + "'" + std::string(text) + "'";
}

}  // namespace

const PreviewTexts& PreviewTextsIn(PreviewLanguage language) {
  return language == PreviewLanguage::kFrench ? kFrench : kEnglish;
}

std::string PreviewTitle(const std::string& folder, PreviewLanguage language) {
  return (language == PreviewLanguage::kFrench ? "Aperçu : " : "Preview: ") + folder;
}

std::string PreviewCounts(const CleaningPlan& plan, PreviewLanguage language) {
  const std::string files = std::to_string(plan.listing.size());
  const std::string games = std::to_string(plan.groups.size());
  const std::string kept = std::to_string(plan.KeptCount());
  const std::string going = std::to_string(plan.disposals.size());
  if (language == PreviewLanguage::kFrench) {
    return files + " fichiers, " + games + " jeux : " + kept + " gardés, " + going + " écartés";
  }
  return files + " files, " + games + " games: " + kept + " kept, " + going + " going";
}

std::string DecisionText(FileVerdict verdict, PreviewLanguage language) {
  const bool french = language == PreviewLanguage::kFrench;
  if (verdict == FileVerdict::kGoing) return french ? "écarté" : "going";
  return french ? "gardé" : "kept";
}

std::string ReasonText(const CleaningPlan& plan, const PlannedFile& file, PreviewLanguage language) {
  switch (file.verdict) {
    case FileVerdict::kKept:
      return Say({"kept", "gardé"}, language);
    case FileVerdict::kKeptByList:
      return WithItem({"kept by ", "gardé par "}, plan.keep_items, file.item, language);
    case FileVerdict::kBestTranslation:
      return Say({"best translation", "meilleure traduction"}, language);
    case FileVerdict::kGoing:
      break;
  }
  switch (file.reason) {
    case DisposalReason::kVerifiedFound:
      return WithOther({"a verified dump was kept: ", "un dump vérifié est gardé : "}, plan, file, language);
    case DisposalReason::kPlainFound:
      return WithOther({"a plain dump was kept: ", "un dump sans marque est gardé : "}, plan, file, language);
    case DisposalReason::kFirstKept:
      return WithOther({"the first dump was kept: ", "le premier dump est gardé : "}, plan, file, language);
    case DisposalReason::kPrioritaryFound:
      return WithOther({"worse zone than ", "zone moins prioritaire que "}, plan, file, language);
    case DisposalReason::kUnselectedZone:
      return Say({"zone not selected", "zone non choisie"}, language);
    case DisposalReason::kExcluded:
      if (file.item == kNoIndex) {
        return Say({"translated, translations not kept", "traduit, traductions non gardées"}, language);
      }
      return WithItem({"excluded by ", "exclu par "}, plan.exclusion_items, file.item, language);
    case DisposalReason::kTranslationUnwanted:
      return Say({"translation not wanted", "traduction non voulue"}, language);
    case DisposalReason::kBetterTranslation:
      return WithOther({"translation replaced by ", "traduction remplacée par "}, plan, file, language);
  }
  return std::string();
}

}  // namespace varnel
