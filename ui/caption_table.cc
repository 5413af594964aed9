#include "ui/caption_table.h"

namespace varnel {

namespace {

constexpr CaptionProperty kCaption = CaptionProperty::kCaption;
constexpr CaptionProperty kToolTip = CaptionProperty::kToolTip;
constexpr CaptionForm kMainForm = CaptionForm::kMainForm;
constexpr CaptionForm kForm1 = CaptionForm::kForm1;
constexpr CaptionForm kForm2 = CaptionForm::kForm2;
constexpr CaptionForm kForm3 = CaptionForm::kForm3;
constexpr CaptionForm kHistoryForm = CaptionForm::kHistoryForm;
constexpr CaptionProperty kColumn = CaptionProperty::kColumn;
constexpr CaptionSource kText = CaptionSource::kText;

// The English title of the cleaning job breaks its line with a lone line feed.
constexpr std::string_view kCleanEnglish = "I want to clean\nmy romset";
constexpr std::string_view kCleanFrench = "Je veux nettoyer mon romset";
constexpr std::string_view kAlphaEnglish = "I want to move my roms in alphabetical folders";
constexpr std::string_view kAlphaFrench = "Je veux répartir mes roms dans des répertoires alphabétiques";
constexpr std::string_view kZipEnglish = "I want to zip my roms";
constexpr std::string_view kZipFrench = "Je veux zipper mes roms";

}  // namespace

// clang-format off
// std::to_array: a row more or less than kCaptionRowCount fails the build, never leaves an empty row.
const std::array<CaptionRow, kCaptionRowCount> kCaptionRows = std::to_array<CaptionRow>({
    {kMainForm, "", kCaption, "Varnel by Tollimer v3", "Varnel par Tollimer v3"},
    {kMainForm, "Command4", kCaption, "Quit", "Quitter"},
    {kMainForm, "Command3", kCaption, kAlphaEnglish, kAlphaFrench},
    {kMainForm, "Command2", kCaption, kZipEnglish, kZipFrench},
    {kMainForm, "Command1", kCaption, kCleanEnglish, kCleanFrench},
    {kMainForm, "Command5", kCaption, "History", "Historique"},
    {kForm1, "", kCaption, kCleanEnglish, kCleanFrench},
    {kForm1, "Command1", kCaption, "Go", "Go"},
    {kForm1, "Test", kToolTip,
     "Process will be done completely without deleting or moving files. Generate log file if checkbox below is "
     "clicked.",
     "Lancer le process complet sans effacer ou déplacer les fichiers. Génère le fichier log si la case ci-dessous "
     "est cochée."},
    {kForm1, "Command2", kCaption, "Quit", "Quitter"},
    {kForm1, "Command5", kCaption, "Preview", "Aperçu"},
    {kForm1, "LogFile", kToolTip, "Open logfile with notepad at the end of the process.",
     "Ouvrir le fichier log à la fin du process avec notepad."},
    {kForm1, "Option2", kCaption, "Priority to [!] instead of zones", "Priorité au [!] au lieu des zones"},
    {kForm1, "Option1", kCaption, "Keep all selected zones", "Conserver toutes les zones choisies"},
    {kForm1, "Option3", kCaption, "Keep 1st met of selected zones", "Conserver la 1ère zone choisie rencontrée"},
    {kForm1, "Option4", kCaption, "Keep all zones", "Conserver toutes les zones"},
    {kForm1, "Moved", kToolTip, "Don't delete files but move them to \".\\moved\" folder",
     "Déplacer les fichiers vers le répertoire \".\\moved\" sans les supprimer"},
    {kForm1, "Multiext", kToolTip,
     "Consider that differents extensions (.zip, .nes, .unf) mustn't be considered as different files",
     "Considérer que les différentes extensions de fichiers (.zip, .nes, .unf) ne font pas des roms différentes"},
    {kForm1, "ListeTrads", kToolTip, "Write here the different translations you want to keep (ex : fre,dut,eng)",
     "Ecrivez ici les différentes traductions que vous souhaitez conserver (ex : fre,dut,eng)"},
    {kForm1, "TradsYN", kToolTip,
     "Check this box if you want to keep translated roms. If unchecked, all the translated roms will be "
     "deleted/moved.",
     "Cochez cette case si vous souhaitez conserver des roms traduites. Si non cochée, toutes les roms traduites "
     "seront effacées."},
    {kForm1, "Frame1", kCaption, "Configuration", "Configuration"},
    {kForm1, "Label2", kCaption, "Excluded :", "Exclues :"},
    {kForm1, "Label3", kCaption, "Test :", "Test :"},
    {kForm1, "Label4", kCaption, "Open logfile :", "Ouvrir le log :"},
    {kForm1, "Label6", kCaption, "Kept :", "Conservées :"},
    {kForm1, "Label1", kCaption, "", "", CaptionSource::kLegendColumn1},
    {kForm1, "Label7", kCaption, "", "", CaptionSource::kLegendColumn2},
    {kForm1, "Label8", kCaption, "Zones (write with priority sort, can be combined : (ju), (jue), etc.) :",
     "Zones (triées par priorité, peuvent être combinées : (ju), (jue), etc.) :"},
    {kForm1, "Label9", kCaption, "Move unkept files instead of delete", "Déplacer au lieu de supprimer"},
    {kForm1, "Label10", kCaption, "Multi extensions not different", "Multi extentions non différentes"},
    {kForm1, "Label11", kCaption, "Translation :", "Traduction :"},
    {kForm1, "Label12", kCaption, "Move unkept files to the trash", "Mettre les roms non gardées à la corbeille"},
    {kForm1, "Trash", kToolTip, "Don't delete files but move them to the trash, from where they can be restored",
     "Mettre les fichiers à la corbeille au lieu de les supprimer ; ils pourront y être restaurés"},
    {kForm2, "", kCaption, kAlphaEnglish, kAlphaFrench},
    {kForm2, "Picture1", kToolTip, "Alpha folders will be created in sub-folder \"AlphaFolders\".",
     "Les répertoires alphabétiques seront créés dans le sous-répertoire \"AlphaFolders\"."},
    {kForm2, "Command2", kCaption, "Quit", "Quitter"},
    {kForm2, "Command1", kCaption, "Go", "Go"},
    {kForm3, "", kCaption, kZipEnglish, kZipFrench},
    {kForm3, "Picture1", kToolTip, ".zip files will be created in sub-folder \"ZippedRoms\".",
     "Les fichiers zip seront créés dans le sous-répertoire \"ZippedRoms\"."},
    {kForm3, "Label1", kCaption, "Can be long, depending on the number of files.",
     "Peut prendre du temps, en fonction du nombre de fichiers."},
    {kForm3, "Command1", kCaption, "Go", "Go"},
    {kForm3, "Command2", kCaption, "Quit", "Quitter"},
    {kHistoryForm, "", kCaption, "History", "Historique"},
    {kHistoryForm, "List1", kColumn, "Date", "Date", kText, 0},
    {kHistoryForm, "List1", kColumn, "Job", "Tâche", kText, 1},
    {kHistoryForm, "List1", kColumn, "Folder", "Dossier", kText, 2},
    {kHistoryForm, "List1", kColumn, "Done", "Faits", kText, 3},
    {kHistoryForm, "List1", kColumn, "Failed", "Échecs", kText, 4},
    {kHistoryForm, "List2", kColumn, "File", "Fichier", kText, 0},
    {kHistoryForm, "List2", kColumn, "Action", "Action", kText, 1},
    {kHistoryForm, "List2", kColumn, "Result", "Résultat", kText, 2},
    {kHistoryForm, "Command1", kCaption, "Undo", "Annuler"},
    {kHistoryForm, "Command2", kCaption, "Quit", "Quitter"},
});

const std::array<LegendEntry, kLegendEntryCount> kLegendEntries = {{
    {"(A) Australia", "(A) Australie"},
    {"(E) Europe", "(E) Europe"},
    {"(F) France", "(F) France"},
    {"(FC) French Canadian", "(FC) Canada français"},
    {"(FN) Finland", "(FN) Finlande"},
    {"(G) Germany", "(G) Allemagne"},
    {"(GR) Greece", "(GR) Grèce"},
    {"(H) Holland", "(H) Pays-Bas"},
    {"(HK) Hong Kong", "(HK) Hong Kong"},
    {"(I) Italy", "(I) Italie"},
    {"(J) Japan", "(J) Japon"},
    {"(K) Korea", "(K) Corée"},
    {"(NL) Netherlands", "(NL) Pays-Bas"},
    {"(S) Spain", "(S) Espagne"},
    {"(SW) Sweden", "(SW) Suède"},
    {"(U) USA", "(U) USA"},
    {"(UK) England", "(UK) Royaume Uni"},
    {"(Unk) Unknown Country", "(Unk) Pays inconnu"},
}};
// clang-format on

std::optional<Language> LanguageOf(int16_t LanguageId) {
  if (LanguageId == 1) return Language::kFrench;
  if (LanguageId == 2) return Language::kEnglish;
  return std::nullopt;
}

FolderListTexts FolderListCaptionsIn(Language language) {
  if (language == Language::kFrench) return {"%1 n'existe plus : choisissez un dossier.", "Dossier introuvable."};
  return kEnglishFolderListTexts;
}

std::string CaptionText(const CaptionRow& row, Language language) {
  const bool french = language == Language::kFrench;
  if (row.source == CaptionSource::kText) return std::string(french ? row.french : row.english);
  const std::size_t first = row.source == CaptionSource::kLegendColumn1 ? 0 : kLegendEntryCount / 2;
  std::string legend;
  for (std::size_t i = first; i < first + kLegendEntryCount / 2; ++i) {
    legend += french ? kLegendEntries[i].french : kLegendEntries[i].english;
    legend += "\r\n";
  }
  return legend;
}

}  // namespace varnel
