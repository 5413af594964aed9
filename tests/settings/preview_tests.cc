#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/cleaning_plan.h"
#include "gtest/gtest.h"
#include "settings/preview_rows.h"
#include "settings/preview_text.h"

namespace varnel {
namespace {

constexpr PreviewLanguage kEn = PreviewLanguage::kEnglish;
constexpr PreviewLanguage kFr = PreviewLanguage::kFrench;

PlannedFile Going(std::uint32_t group, DisposalReason reason, std::uint32_t winner = kNoIndex,
                  std::uint32_t item = kNoIndex) {
  return {group, FileVerdict::kGoing, reason, winner, item};
}
PlannedFile Kept(std::uint32_t group, FileVerdict verdict = FileVerdict::kKept, std::uint32_t item = kNoIndex) {
  return {group, verdict, DisposalReason::kExcluded, kNoIndex, item};
}

// Three games as a run would group them, their files in listing order; one of them goes in each.
CleaningPlan ThreeGames() {
  CleaningPlan plan;
  plan.listing = {"Zelda (U).nes",     "Zelda (E).nes",   "alpha (J).nes",
                  "Alpha (U) [!].nes", "Metroid (U).nes", "Metroid [T+Fre].nes"};
  plan.files = {Kept(0), Going(0, DisposalReason::kPrioritaryFound, 0), Going(1, DisposalReason::kUnselectedZone),
                Kept(1), Kept(2, FileVerdict::kKeptByList, 0),          Going(2, DisposalReason::kExcluded)};
  plan.groups = {{"Zelda", 0, 2}, {"alpha", 2, 2}, {"Metroid", 4, 2}};
  plan.members = {0, 1, 2, 3, 4, 5};
  plan.keep_items = {"metroid"};
  plan.disposals.resize(3);
  return plan;
}

// The rows as "title:listed,listed|title:...".
std::string Shown(const CleaningPlan& plan, const PreviewRows& rows) {
  std::string text;
  for (const PreviewRows::Game& game : rows.games) {
    if (!text.empty()) text += '|';
    text += plan.groups[game.group].title + ':';
    for (std::uint32_t i = game.first; i < game.first + game.count; ++i)
      text += (i == game.first ? "" : ",") + std::to_string(rows.files[i]);
  }
  return text;
}

TEST(PreviewTextTest, EveryReadingInBothLanguages) {
  CleaningPlan plan;
  plan.listing = {"Game (U) [!].nes", "Jeu d'\xc3\xa9t\xc3\xa9 (F).nes"};
  plan.keep_items = {"(u)"};
  plan.exclusion_items = {"(beta", "[b"};
  const std::tuple<PlannedFile, const char*, const char*> cases[] = {
      {Going(0, DisposalReason::kVerifiedFound, 0), "a verified dump was kept: Game (U) [!].nes",
       "un dump vérifié est gardé : Game (U) [!].nes"},
      {Going(0, DisposalReason::kPlainFound, 1), "a plain dump was kept: Jeu d'été (F).nes",
       "un dump sans marque est gardé : Jeu d'été (F).nes"},
      {Going(0, DisposalReason::kFirstKept, 0), "the first dump was kept: Game (U) [!].nes",
       "le premier dump est gardé : Game (U) [!].nes"},
      {Going(0, DisposalReason::kPrioritaryFound, 0), "worse zone than Game (U) [!].nes",
       "zone moins prioritaire que Game (U) [!].nes"},
      {Going(0, DisposalReason::kUnselectedZone), "zone not selected", "zone non choisie"},
      {Going(0, DisposalReason::kExcluded, kNoIndex, 1), "excluded by '[b'", "exclu par « [b »"},
      {Going(0, DisposalReason::kExcluded), "translated, translations not kept", "traduit, traductions non gardées"},
      {Going(0, DisposalReason::kTranslationUnwanted), "translation not wanted", "traduction non voulue"},
      {Going(0, DisposalReason::kBetterTranslation, 1), "translation replaced by Jeu d'été (F).nes",
       "traduction remplacée par Jeu d'été (F).nes"},
      {Kept(0), "kept", "gardé"},
      {Kept(0, FileVerdict::kKeptByList, 0), "kept by '(u)'", "gardé par « (u) »"},
      {Kept(0, FileVerdict::kBestTranslation), "best translation", "meilleure traduction"},
  };
  for (const auto& [file, english, french] : cases) {
    EXPECT_EQ(ReasonText(plan, file, kEn), english);
    EXPECT_EQ(ReasonText(plan, file, kFr), french);
    const bool going = file.verdict == FileVerdict::kGoing;
    EXPECT_EQ(DecisionText(file.verdict, kEn), going ? "going" : "kept");
    EXPECT_EQ(DecisionText(file.verdict, kFr), going ? "écarté" : "gardé");
  }
}

TEST(PreviewTextTest, TitleAndCounts) {
  const CleaningPlan plan = ThreeGames();
  EXPECT_EQ(PreviewCounts(plan, kEn), "6 files, 3 games: 3 kept, 3 going");
  EXPECT_EQ(PreviewCounts(plan, kFr), "6 fichiers, 3 jeux : 3 gardés, 3 écartés");
  EXPECT_EQ(PreviewCounts(CleaningPlan(), kEn), "0 files, 0 games: 0 kept, 0 going");
  EXPECT_EQ(PreviewTitle("/home/me/roms", kEn), "Preview: /home/me/roms");
  EXPECT_EQ(PreviewTitle("C:\\roms", kFr), "Aperçu : C:\\roms");
  EXPECT_STREQ(PreviewTextsIn(kFr).only_going, "N'afficher que les fichiers écartés");
  EXPECT_STREQ(PreviewTextsIn(kEn).out_of_date, "The settings or the folder changed: refresh the preview.");
}

TEST(ArrangeRowsTest, FiltersAndSorts) {
  const CleaningPlan plan = ThreeGames();
  const std::tuple<const char*, PreviewView, const char*> cases[] = {
      {"the plan's order", {}, "Zelda:0,1|alpha:2,3|Metroid:4,5"},
      {"a filter of either case", {"(u)"}, "Zelda:0|alpha:3|Metroid:4"},
      {"a filter nothing holds", {"(k)"}, ""},
      {"only what goes", {"", true}, "Zelda:1|alpha:2|Metroid:5"},
      {"both", {"ZELDA", true}, "Zelda:1"},
      {"by name", {"", false, 0}, "alpha:2,3|Metroid:4,5|Zelda:1,0"},
      {"by name, descending", {"", false, 0, true}, "Zelda:0,1|Metroid:5,4|alpha:3,2"},
      {"by decision", {"", false, 1}, "Zelda:0,1|alpha:3,2|Metroid:4,5"},
      {"by decision, descending", {"", false, 1, true}, "Zelda:1,0|alpha:2,3|Metroid:5,4"},
      {"by reason", {"", false, 2}, "Zelda:0,1|alpha:3,2|Metroid:4,5"},
      {"by name, filtered", {"(", true, 0}, "alpha:2|Zelda:1"},
  };
  for (const auto& [what, view, expected] : cases) EXPECT_EQ(Shown(plan, ArrangeRows(plan, view)), expected) << what;
}

TEST(ArrangeRowsTest, ReasonSortKeepsOneReadingTogether) {
  CleaningPlan plan;
  plan.listing = {"A (U).nes", "A (E).nes", "A (J).nes", "A (F).nes", "A (G).nes"};
  plan.files = {Kept(0), Going(0, DisposalReason::kUnselectedZone), Going(0, DisposalReason::kPrioritaryFound, 0),
                Going(0, DisposalReason::kUnselectedZone), Going(0, DisposalReason::kPrioritaryFound, 3)};
  plan.groups = {{"A", 0, 5}};
  plan.members = {0, 1, 2, 3, 4};
  EXPECT_EQ(Shown(plan, ArrangeRows(plan, {"", false, 2})), "A:0,4,2,1,3");  // the winner's name orders reading 4
}

TEST(SamePlanInputsTest, OnlyWhatThePlanReadsCounts) {
  const std::tuple<const char*, std::function<void(RunSettings&)>, bool> cases[] = {
      {"nothing", [](RunSettings&) {}, true},
      {"Test", [](RunSettings& s) { s.TestMode = !s.TestMode; }, true},
      {"Move", [](RunSettings& s) { s.MoveFiles = true; }, true},
      {"Trash", [](RunSettings& s) { s.TrashFiles = true; }, true},
      {"Open logfile", [](RunSettings& s) { s.OpenLog = !s.OpenLog; }, true},
      {"folder", [](RunSettings& s) { s.RomFolder += "2"; }, false},
      {"zones", [](RunSettings& s) { s.ZoneText = "(u)"; }, false},
      {"kept", [](RunSettings& s) { s.KeepText = "x"; }, false},
      {"excluded", [](RunSettings& s) { s.ExclusionText = "x"; }, false},
      {"translation box", [](RunSettings& s) { s.KeepTranslations = true; }, false},
      {"translations", [](RunSettings& s) { s.TranslationText = "fre"; }, false},
      {"zone mode", [](RunSettings& s) { s.ZoneMode = ZoneMode::kAllZones; }, false},
      {"multi-extension", [](RunSettings& s) { s.IgnoreExtensions = true; }, false},
  };
  RunSettings shown;
  shown.RomFolder = "/roms";
  shown.ZoneText = "(f),(e)";
  for (const auto& [what, change, same] : cases) {
    RunSettings now = shown;
    change(now);
    EXPECT_EQ(SamePlanInputs(shown, now), same) << what;
  }
}

}  // namespace
}  // namespace varnel
