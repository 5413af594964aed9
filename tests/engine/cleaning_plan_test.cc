// The plan's word on every listed file (its game, its verdict, the dump kept in its stead, the list item that
// matched), the planning of a folder alone, and the carrying out of a plan shown earlier.

#include "engine/cleaning_plan.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/cleaning_run.h"
#include "gtest/gtest.h"
#include "history/history_folder.h"
#include "history/run_history.h"
#include "platform/listing.h"
#include "platform/lower_case.h"
#include "tests/engine/engine_test_support.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// What a row of the plan reads as, names instead of indices.
struct Row {
  std::string name;
  std::string title;  // of the file's group
  FileVerdict verdict;
  int reason;          // 0 unless going
  std::string winner;  // "" for none
  std::string item;    // the keep or exclusion item that matched; "" for none

  bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name << " | " << row.title << " | " << static_cast<int>(row.verdict) << " " << row.reason << " | "
       << row.winner << " | " << row.item;
}

std::vector<Row> RowsOf(const CleaningPlan& plan) {
  std::vector<Row> rows;
  for (std::uint32_t i = 0; i < plan.listing.size(); ++i) {
    const PlannedFile& file = plan.files[i];
    std::string item;
    if (file.item != kNoIndex) {
      item = (file.verdict == FileVerdict::kKeptByList ? plan.keep_items : plan.exclusion_items)[file.item];
    }
    rows.push_back({plan.listing[i], plan.groups[file.group].title, file.verdict,
                    file.verdict == FileVerdict::kGoing ? static_cast<int>(file.reason) : 0,
                    file.winner == kNoIndex ? "" : plan.listing[file.winner], item});
  }
  return rows;
}

// The groups as "<title>: <name>, <name>...", in the plan's order.
std::vector<std::string> GroupsOf(const CleaningPlan& plan) {
  std::vector<std::string> groups;
  for (const PlannedGroup& group : plan.groups) {
    std::string text = group.title + ":";
    for (std::uint32_t m = group.first; m < group.first + group.count; ++m) text += " " + plan.listing[plan.members[m]];
    groups.push_back(text);
  }
  return groups;
}

std::vector<std::string> Listed(std::vector<std::string> names) {
  SortListedNames(&names);
  return names;
}

constexpr FileVerdict kKept = FileVerdict::kKept, kByList = FileVerdict::kKeptByList,
                      kTranslation = FileVerdict::kBestTranslation, kGoing = FileVerdict::kGoing;

TEST(CleaningPlanTest, EveryFileHasItsGameVerdictWinnerAndItem) {
  RunSettings settings;
  settings.ZoneMode = ZoneMode::kVerifiedFirst;
  settings.ZoneText = "(E),(U)";
  settings.KeepTranslations = true;
  settings.TranslationText = "fre";
  settings.KeepText = "(Hack),(PD)";
  settings.ExclusionText = " ,[b,(Beta)";
  const CleaningPlan plan = PlanCleaning(
      settings, Listed({"Alpha (E) [T+Fre1.0].nes", "Alpha (E).nes", "Alpha (U) [T+Fre0.9].nes", "Alpha (U).nes",
                        "Alpha (U) (Beta) [b1].nes", "Beta Game (PD).nes", "Gamma (E) [!].nes", "Gamma (J).nes",
                        "Delta (J) [T+Ger].nes", "Delta (J).nes", "Zed (E).nes", "Zed - X.nes", "Zed [a1].nes",
                        "Omega (U) (Hack).nes", "Omega (E).nes", "Omega (U).nes", "logfile.txt"}));
  EXPECT_EQ(RowsOf(plan), (std::vector<Row>{
                              // The translation listed before the dumps of its game is shown with them.
                              {"Alpha (E) [T+Fre1.0].nes", "Alpha.nes", kTranslation, 0, "", ""},
                              {"Alpha (E).nes", "Alpha.nes", kKept, 0, "", ""},
                              // The item starting first in the name is the one named.
                              {"Alpha (U) (Beta) [b1].nes", "Alpha.nes", kGoing, 6, "", "(beta)"},
                              {"Alpha (U) [T+Fre0.9].nes", "Alpha.nes", kGoing, 8, "Alpha (E) [T+Fre1.0].nes", ""},
                              {"Alpha (U).nes", "Alpha.nes", kGoing, 2, "Alpha (E).nes", ""},
                              {"Beta Game (PD).nes", "Beta Game.nes", kByList, 0, "", "(pd)"},
                              {"Delta (J) [T+Ger].nes", "Delta.nes", kGoing, 7, "", ""},
                              {"Delta (J).nes", "Delta.nes", kKept, 0, "", ""},
                              {"Gamma (E) [!].nes", "Gamma.nes", kKept, 0, "", ""},
                              {"Gamma (J).nes", "Gamma.nes", kGoing, 1, "Gamma (E) [!].nes", ""},
                              {"logfile.txt", "logfile.txt", kKept, 0, "", ""},
                              {"Omega (E).nes", "Omega.nes", kKept, 0, "", ""},
                              {"Omega (U) (Hack).nes", "Omega.nes", kByList, 0, "", "(hack)"},
                              {"Omega (U).nes", "Omega.nes", kGoing, 2, "Omega (E).nes", ""},
                              // One title, two games: a name of another title comes between them.
                              {"Zed (E).nes", "Zed.nes", kKept, 0, "", ""},
                              {"Zed - X.nes", "Zed - X.nes", kKept, 0, "", ""},
                              {"Zed [a1].nes", "Zed.nes", kKept, 0, "", ""},
                          }));
  EXPECT_EQ(GroupsOf(plan), (std::vector<std::string>{
                                "Alpha.nes: Alpha (E) [T+Fre1.0].nes Alpha (E).nes Alpha (U) (Beta) [b1].nes "
                                "Alpha (U) [T+Fre0.9].nes Alpha (U).nes",
                                "Beta Game.nes: Beta Game (PD).nes", "Delta.nes: Delta (J) [T+Ger].nes Delta (J).nes",
                                "Gamma.nes: Gamma (E) [!].nes Gamma (J).nes", "logfile.txt: logfile.txt",
                                "Omega.nes: Omega (E).nes Omega (U) (Hack).nes Omega (U).nes", "Zed.nes: Zed (E).nes",
                                "Zed - X.nes: Zed - X.nes", "Zed.nes: Zed [a1].nes"}));
  EXPECT_EQ(plan.KeptCount(), 11u);
}

TEST(CleaningPlanTest, TranslationsNotKeptAndAnEmptyKeepItem) {
  RunSettings settings;
  settings.ZoneMode = ZoneMode::kAllSelectedZones;
  settings.ZoneText = "(e)";
  settings.IgnoreExtensions = true;
  settings.ExclusionText = "[b";
  const std::vector<std::string> names =
      Listed({"Kid (E) [T+Fre].nes", "Kid (E).nes", "Kid (E).unf", "Kid (J).nes", "Kid (E) [b1].nes"});
  EXPECT_EQ(RowsOf(PlanCleaning(settings, names)),
            (std::vector<Row>{
                {"Kid (E) [b1].nes", "Kid", kGoing, 6, "", "[b"},
                {"Kid (E) [T+Fre].nes", "Kid", kGoing, 6, "", ""},  // translated, translations not kept: no item
                {"Kid (E).nes", "Kid", kKept, 0, "", ""},
                {"Kid (E).unf", "Kid", kGoing, 2, "Kid (E).nes", ""},
                {"Kid (J).nes", "Kid", kGoing, 5, "", ""},
            }));
  settings.KeepText = "(j),,(e)";  // the empty item holds every name; "(e)" starting later is not named
  const CleaningPlan kept = PlanCleaning(settings, names);
  for (const PlannedFile& file : kept.files) {
    EXPECT_EQ(file.verdict, kByList);
    EXPECT_EQ(kept.keep_items[file.item], "") << file.item;
  }
  EXPECT_TRUE(kept.disposals.empty() && kept.log_text.empty());
}

// The digest of a text: FNV-1a, 64 bits.
std::uint64_t Digest(const std::string& text) {
  std::uint64_t hash = 1469598103934665603ull;
  for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

std::vector<std::string> NamesOf(const std::string& path) {
  std::vector<std::string> names;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.find('/') == std::string::npos) names.push_back(line);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  SortListedNames(&names);
  return names;
}

// The log text of a disposal, rebuilt from the plan's word on its file.
std::string LineOf(const CleaningPlan& plan, const PlannedDisposal& disposal) {
  const PlannedFile& file = plan.files[disposal.listed];
  const std::string other = file.winner == kNoIndex ? "" : LowerCase(plan.listing[file.winner]);
  std::string line = LowerCase(plan.listing[disposal.listed]) + "\t --> ";
  switch (file.reason) {
    case DisposalReason::kVerifiedFound:
    case DisposalReason::kPlainFound:
      return line + other + " found\r\n";
    case DisposalReason::kFirstKept:
      return line + other + " kept\r\n";
    case DisposalReason::kPrioritaryFound:
      return line + other + " found (prioritary)\r\n";
    case DisposalReason::kUnselectedZone:
      return line + "Unselected Zone\r\n";
    case DisposalReason::kExcluded:
      return line + "Excluded file\r\n";
    case DisposalReason::kTranslationUnwanted:
      return line + "Translation not wanted\r\n";
    case DisposalReason::kBetterTranslation:
      return line + other + " has a better translation\r\n";
  }
  return line;
}

// Real romsets in each zone mode: the log is byte for byte the one the run wrote before the plan told of every
// file (its size and digest, taken then), with or without that word, and every file's word agrees with its log
// line.
TEST(CleaningPlanTest, RealNamesKeepTheirLogAndEveryWordAgreesWithIt) {
  struct Expected {
    std::string list;
    std::size_t names;
    struct {
      std::size_t disposals, bytes;
      std::uint64_t digest;
    } modes[4];
  };
  const std::string data = VARNEL_TEST_DATA_DIR, romnames = VARNEL_ROMNAMES_DIR;
  const Expected lists[] = {
      {data + "/snes_names.txt",
       206,
       {{189, 16977, 0x777c7200e53e9fceull},
        {156, 14572, 0x4c17655cd911643dull},
        {196, 15680, 0x0482bacae290c818ull},
        {150, 14777, 0x942e98d8967fcb35ull}}},
      {data + "/sample_romset_names.txt",
       287,
       {{260, 18695, 0xbb4300aa43b4b898ull},
        {235, 17145, 0x47991595929d4422ull},
        {274, 18812, 0xd62ebfece3e541c2ull},
        {214, 16682, 0xf7baa8b50a4a0addull}}},
      {romnames + "/goodnes.txt",
       22094,
       {{19367, 1376099, 0x7df126d69f824dd8ull},
        {13848, 1033356, 0xabdbf56c3efd7f34ull},
        {20211, 1402028, 0x325b746518668e6eull},
        {11927, 1001036, 0x13ed75245b2ed9c5ull}}},
      {romnames + "/goodgba.txt",
       37145,
       {{26472, 2170631, 0x47c6974053440133ull},
        {24752, 2131650, 0x10f2d1677805ef78ull},
        {27975, 2286618, 0x088f8d71031e8011ull},
        {16430, 1767679, 0x0c91d242669aea76ull}}},
  };
  const ZoneMode modes[] = {ZoneMode::kAllSelectedZones, ZoneMode::kVerifiedFirst, ZoneMode::kFirstSelectedZone,
                            ZoneMode::kAllZones};
  int lists_read = 0;
  for (const Expected& list : lists) {
    if (!fs::exists(list.list)) continue;  // the romname lists beside the checkout may be missing
    ++lists_read;
    const std::vector<std::string> names = NamesOf(list.list);
    ASSERT_EQ(names.size(), list.names) << list.list;
    for (int m = 0; m < 4; ++m) {
      SCOPED_TRACE(list.list + ", mode " + std::to_string(m + 1));
      RunSettings settings;
      settings.ZoneMode = modes[m];
      settings.ZoneText = m % 2 == 0 ? "(E),(U),(J)" : "(f),(e),(ue),(jue),(u),(ju),(j)";
      settings.KeepTranslations = m != 2;
      settings.TranslationText = "Fre,eng";
      settings.ExclusionText = m == 3 ? "" : "(Beta),[b,(pd)";
      settings.KeepText = m == 1 ? "(hack)" : "";
      settings.IgnoreExtensions = m == 2;
      const CleaningPlan plan = PlanCleaning(settings, names);
      EXPECT_EQ(plan.disposals.size(), list.modes[m].disposals);
      EXPECT_EQ(plan.log_text.size(), list.modes[m].bytes);
      EXPECT_EQ(Digest(plan.log_text), list.modes[m].digest);
      // A run's own plan, without the word on each file, decides the same.
      const CleaningPlan bare = PlanCleaning(settings, names, nullptr, PlanDetail::kDecisions);
      EXPECT_EQ(bare.log_text, plan.log_text);
      EXPECT_TRUE(bare.files.empty() && bare.groups.empty() && bare.members.empty());

      std::size_t going = 0;
      for (const PlannedFile& file : plan.files) going += file.verdict == kGoing;
      EXPECT_EQ(going, plan.disposals.size());
      for (const PlannedDisposal& disposal : plan.disposals) {
        const PlannedFile& file = plan.files[disposal.listed];
        ASSERT_EQ(file.verdict, kGoing);
        ASSERT_EQ(file.reason, disposal.reason);
        ASSERT_EQ(LineOf(plan, disposal),
                  plan.log_text.substr(disposal.line_begin, disposal.line_end - disposal.line_begin));
        // The winner stays, and is a dump of the same game.
        if (file.winner != kNoIndex) {
          ASSERT_NE(plan.files[file.winner].verdict, kGoing) << plan.listing[disposal.listed];
          ASSERT_EQ(LowerCase(plan.groups[plan.files[file.winner].group].title),
                    LowerCase(plan.groups[file.group].title));
        }
      }
      // Every file is a member of its group, once.
      std::vector<int> seen(plan.listing.size(), 0);
      for (std::uint32_t g = 0; g < plan.groups.size(); ++g) {
        for (std::uint32_t k = 0; k < plan.groups[g].count; ++k) {
          const std::uint32_t listed = plan.members[plan.groups[g].first + k];
          ++seen[listed];
          ASSERT_EQ(plan.files[listed].group, g);
        }
      }
      EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(seen.size()));
    }
  }
  EXPECT_GE(lists_read, 2);
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

RunSettings SettingsFor(const TempFolder& folder) {
  RunSettings settings;
  settings.RomFolder = folder.path();
  settings.OpenLog = false;
  settings.TestMode = false;
  settings.ZoneMode = ZoneMode::kVerifiedFirst;
  settings.ZoneText = "(e)";
  settings.ExclusionText = "(beta)";
  return settings;
}

TEST(PlanFolderTest, PlansWithoutTouchingTheFolder) {
  TempFolder folder, history;
  folder.TouchAll({"a (e).z", "a (j).z", "a (beta).z"});
  RunSettings settings = SettingsFor(folder);
  CleaningPlan plan;
  ASSERT_TRUE(PlanFolder(settings, &plan).ok());
  EXPECT_EQ(plan.disposals.size(), 2u);
  EXPECT_EQ(plan.files.size(), 3u);
  EXPECT_EQ(FilesIn(folder.path()), (std::set<std::string>{"a (beta).z", "a (e).z", "a (j).z"}));

  TempFolder empty;
  settings.RomFolder = empty.path();
  ASSERT_TRUE(PlanFolder(settings, &plan).ok());
  EXPECT_TRUE(plan.listing.empty() && plan.files.empty() && plan.groups.empty() && plan.members.empty());
  EXPECT_TRUE(FilesIn(empty.path()).empty());

  settings.RomFolder = folder.path();
  settings.ZoneMode = ZoneMode::kNone;
  const Status no_mode = PlanFolder(settings, &plan);
  EXPECT_EQ(no_mode.message(), kNoZoneModeMessage);
  EXPECT_TRUE(plan.listing.empty());
  settings.ZoneMode = ZoneMode::kVerifiedFirst;
  settings.RomFolder = folder / "missing";
  EXPECT_FALSE(PlanFolder(settings, &plan).ok());
}

// The lists, the zone mode and the action change after the plan was shown: the shown decisions are carried out,
// by the action the settings now name, and recorded.
TEST(ApplyPlanTest, CarriesOutTheShownPlanWithTheActionOfNow) {
  TempFolder folder, history;
  folder.TouchAll({"a (e).z", "a (j).z", "a (beta).z", "b (e).z", "b (u).z"});
  RunSettings settings = SettingsFor(folder);
  CleaningPlan shown;
  ASSERT_TRUE(PlanFolder(settings, &shown).ok());
  ASSERT_EQ(shown.disposals.size(), 3u);  // a (beta), a (j), b (u)

  settings.ExclusionText = "";
  settings.KeepText = "(j)";
  settings.ZoneMode = ZoneMode::kAllZones;
  settings.MoveFiles = true;
  RecordingCleaningHost host;
  const RunResult result = ApplyPlan(shown, settings, host, HistoryPlace::In(history.path()));
  ASSERT_EQ(result.outcome, RunResult::Outcome::kCompleted) << host.Shown();
  EXPECT_EQ(result.summary, "Moved files : 3");
  EXPECT_EQ(FilesIn(folder.path()), (std::set<std::string>{"a (e).z", "b (e).z", "logfile.txt", "moved"}));
  EXPECT_EQ(FilesIn(folder / "moved"), (std::set<std::string>{"a (beta).z", "a (j).z", "b (u).z"}));
  EXPECT_EQ(folder.Read("logfile.txt"),
            shown.log_text + "---------------------------------------------------\r\nMoved files : 3\r\n");

  RecordedRun run;
  ASSERT_TRUE(ReadRun(history.path(), result.history_id, &run).ok());
  EXPECT_EQ(run.summary.job, JobKind::kCleanMove);
  ASSERT_EQ(run.files.size(), 3u);
  for (std::size_t i = 0; i < run.files.size(); ++i) {
    EXPECT_EQ(run.files[i].name, shown.ListedName(shown.disposals[i]));
    EXPECT_EQ(run.files[i].action, FileAction::kMove);
    EXPECT_EQ(run.files[i].result, RecordedFile::Result::kDone);
  }
}

// Any file added, removed or renamed since the plan was made: the plan is refused and nothing is touched, not even
// the log, and no run is recorded. The delete question is asked with the shown plan's count.
TEST(ApplyPlanTest, RefusesWhenTheFolderChangedAndAsksBeforeDeleting) {
  const struct {
    const char* label;
    void (*change)(const TempFolder&);
  } kChanges[] = {
      {"added", [](const TempFolder& f) { f.Touch("c (e).z"); }},
      {"removed", [](const TempFolder& f) { fs::remove(f / "a (j).z"); }},
      {"renamed", [](const TempFolder& f) { fs::rename(f / "a (j).z", f / "a (k).z"); }},
      {"log written", [](const TempFolder& f) { f.Touch("logfile.txt"); }},
  };
  for (const auto& c : kChanges) {
    SCOPED_TRACE(c.label);
    TempFolder folder, history;
    folder.TouchAll({"a (e).z", "a (j).z", "b (e).z"});
    const RunSettings settings = SettingsFor(folder);
    CleaningPlan shown;
    ASSERT_TRUE(PlanFolder(settings, &shown).ok());
    c.change(folder);
    const std::set<std::string> changed = FilesIn(folder.path());
    RecordingCleaningHost host;
    EXPECT_EQ(ApplyPlan(shown, settings, host, HistoryPlace::In(history.path())).outcome,
              RunResult::Outcome::kFolderChanged);
    EXPECT_EQ(host.calls, std::vector<std::string>{"[exclamation] " + std::string(kFolderChangedMessage)});
    EXPECT_EQ(FilesIn(folder.path()), changed);
    EXPECT_TRUE(FilesIn(history.path()).empty());
  }

  TempFolder folder, history;
  folder.TouchAll({"a (e).z", "a (j).z", "b (e).z", "b (j).z"});
  const RunSettings settings = SettingsFor(folder);
  CleaningPlan shown;
  ASSERT_TRUE(PlanFolder(settings, &shown).ok());
  RecordingCleaningHost host;
  host.confirm_answer = false;
  EXPECT_EQ(ApplyPlan(shown, settings, host, HistoryPlace::In(history.path())).outcome,
            RunResult::Outcome::kNotConfirmed);
  EXPECT_EQ(host.calls, std::vector<std::string>{"Confirm: You will delete files. Continue ?\n2 files will be deleted "
                                                 "from " +
                                                 folder.path() + "."});
  EXPECT_EQ(FilesIn(folder.path()).size(), 4u);
}

}  // namespace
}  // namespace varnel
