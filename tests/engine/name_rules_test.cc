#include <clocale>
#include <fstream>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <vector>

#include "engine/list_rule.h"
#include "engine/pattern_lists.h"
#include "engine/rom_title.h"
#include "engine/version_rank.h"
#include "engine/zone_matcher.h"
#include "gtest/gtest.h"
#include "platform/lower_case.h"

namespace varnel {
namespace {

TEST(ListRuleTest, CutsLowerCasedTextAndMatchesSubstrings) {
  EXPECT_EQ(SplitListText(""), std::vector<std::string>{});
  EXPECT_EQ(SplitListText("(E), (U)"), (std::vector<std::string>{"(e)", " (u)"}));
  EXPECT_EQ(SplitListText(",(J),\r\n,"), (std::vector<std::string>{"", "(j)", "\r\n", ""}));
  EXPECT_FALSE(MatchesKeepList("game (u).zip", {}));
  EXPECT_FALSE(MatchesKeepList("game(u).zip", {" (u)"}));
  EXPECT_TRUE(MatchesKeepList("game (u).zip", {"(e)", ""}));  // an empty keep item only protects more
  EXPECT_FALSE(MatchesExclusionList("game (u).zip", {"", " ", "\t\r\n", "(beta)"}));  // blank items are passed over
  EXPECT_TRUE(MatchesExclusionList("game (beta).zip", {"", " ", "(beta)"}));
}

// The item of `items` that starts first in `name`, the first listed among those starting there; blank items
// passed over when `skip_blank`. PatternListMatcher::kNoItem when none occurs.
std::uint32_t FirstItemIn(const std::string& name, const std::vector<std::string>& items, bool skip_blank) {
  std::uint32_t found = PatternListMatcher::kNoItem;
  std::size_t found_at = std::string::npos;
  for (std::uint32_t i = 0; i < items.size(); ++i) {
    if (skip_blank && items[i].find_first_not_of(" \t\r\n") == std::string::npos) continue;
    const std::size_t at = name.find(items[i]);
    if (at != std::string::npos && (found_at == std::string::npos || at < found_at)) found = i, found_at = at;
  }
  return found;
}

// The one-pass matchers against the plain rules: random lists over random names, then the default exclusion
// list and the default zones over real names.
void ExpectMatchersAgree(const std::vector<std::string>& items, const std::vector<std::string>& names) {
  const PatternListMatcher keep(items, PatternListMatcher::Rule::kKeep);
  const PatternListMatcher exclusion(items, PatternListMatcher::Rule::kExclusion);
  const ZoneMatcher zones(&items);
  for (const std::string& name : names) {
    ASSERT_EQ(keep.Matches(name), MatchesKeepList(name, items)) << name;
    ASSERT_EQ(exclusion.Matches(name), MatchesExclusionList(name, items)) << name;
    ASSERT_EQ(keep.Find(name), FirstItemIn(name, items, false)) << name;
    ASSERT_EQ(exclusion.Find(name), FirstItemIn(name, items, true)) << name;
    const std::uint64_t held = zones.ZonesIn(name);
    std::size_t first = items.size();
    for (std::size_t z = items.size(); z-- > 0;) {
      const bool found = name.find(items[z]) != std::string::npos;
      if (found) first = z;
      ASSERT_EQ(zones.Holds(name, held, z), found) << name << " / " << items[z];
    }
    ASSERT_EQ(zones.FirstZoneIn(name), first) << name;
  }
}

// A name of up to `most` random pieces.
std::string RandomText(std::mt19937& random, const std::vector<std::string>& pieces, int most) {
  std::string text;
  for (int j = static_cast<int>(random() % (most + 1)); j > 0; --j) text += pieces[random() % pieces.size()];
  return text;
}

const std::string kMark = "\xC2\xA4";  // stands for a bracket of a group holding " of " while the others go

TEST(PatternListMatcherTest, AgreesWithThePlainRules) {
  const std::vector<std::string> pieces = {"(", ")", "[", "a", "e", " ", "\t", "(e)", "(u", "\xC3\xA9", "-in-1", "[t+"};
  std::mt19937 random(7);
  for (int list = 0; list < 400; ++list) {
    std::vector<std::string> items(random() % 6), names(50);
    for (std::string& item : items) item = RandomText(random, pieces, 2);
    for (std::string& name : names) name = RandomText(random, pieces, 10);
    ExpectMatchersAgree(items, names);
  }

  std::vector<std::string> names;
  std::ifstream list(VARNEL_TEST_DATA_DIR "/snes_names.txt");
  for (std::string line; std::getline(list, line);) names.push_back(LowerCase(line));
  ASSERT_GT(names.size(), 200u);
  ExpectMatchersAgree(SplitListText("(pd),(beta,(prototype),hack),(pal),[corrupt],beta),-in-1,[k-file],(cpm),[hm,[hf,"
                                    "(hacker),(unl)"),
                      names);
  ExpectMatchersAgree(SplitListText("(f),(e),(ue),(jue),(u),(ju),(j)"), names);
  ExpectMatchersAgree(SplitListText("(f),,(e),(hack)"), names);
}

TEST(RomTitleTest, TakesOutTagsAndKeepsDiskNumbering) {
  const struct {
    std::string name, title, title_without_extension;
  } cases[] = {
      {"some game (e) [!].zip", "some game.zip", "some game"},
      {"some game (disk 1 of 2) (ju).nes", "some game (disk 1 of 2).nes", "some game (disk 1 of 2)"},
      {"some game [disk 1 of 2] (e).zip", "some game.zip", "some game"},
      {"some game (1of2) (e).zip", "some game.zip", "some game"},
      {"some game(e).zip", "some game.zip", "some game"},
      {"some game [!](e).zip", "some game.zip", "some game"},
      {"(prototype) some game (e).zip", " some game.zip", " some game"},
      {"", "", ""},
      // A group at the start removes every copy of itself, also those that follow a blank.
      {"(e) game (e).zip", " game .zip", " game "},
      {"game (e)(u).zip", "game.zip", "game"},
      {"game (a of b) (a of b) (e).nes", "game (a of b) (a of b).nes", "game (a of b) (a of b)"},
      {"game " + kMark + "1x" + kMark + "2.nes", "game (x).nes", "game (x)"},
      {"game.v1 (e).zip", "game.v1.zip", "game.v1"},
      // Unclosed brackets stay with what follows; a title without "." keeps its whole text.
      {"game (e.zip", "game (e.zip", "game (e"},
      {"game (e [b1].zip", "game (e.zip", "game (e"},
      {"game [b1 (e).zip", "game [b1.zip", "game [b1"},
      {"game (e) [b1", "game [b1", "game [b1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RomTitle(c.name, false), c.title) << c.name;
    EXPECT_EQ(RomTitle(c.name, true), c.title_without_extension) << c.name;
  }
}

// The title rule written the plain way, one whole-name replacement per step, to check the quick one against.
std::string ReplaceEvery(std::string name, const std::string& text, const std::string& by) {
  for (std::size_t at = 0; (at = name.find(text, at)) != std::string::npos; at += by.size())
    name.replace(at, text.size(), by);
  return name;
}

std::string PlainRomTitle(std::string name, bool ignore_extensions) {
  name = ReplaceEvery(ReplaceEvery(name, " [!]", ""), "[!]", "");
  for (const char* brackets : {"()", "[]"}) {
    while (true) {
      const std::size_t p = name.find(brackets[0]);
      const std::size_t q = p == std::string::npos ? p : name.find(brackets[1], p);
      if (q == std::string::npos) break;
      const std::size_t start = (p > 0 && name[p - 1] == ' ') ? p - 1 : p;
      const std::string group = name.substr(start, q + 1 - start);
      const bool numbering = brackets[0] == '(' && group.find(" of ") != std::string::npos;
      name = ReplaceEvery(name, group,
                          numbering ? ReplaceEvery(ReplaceEvery(group, "(", kMark + "1"), ")", kMark + "2") : "");
    }
  }
  for (int i = 0; i < 4; ++i) name = ReplaceEvery(name, kMark + std::to_string(i + 1), std::string(1, "()[]"[i]));
  if (ignore_extensions && name.rfind('.') != std::string::npos) name.resize(name.rfind('.'));
  return name;
}

TEST(RomTitleTest, AgreesWithThePlainRuleOnRandomAndRealNames) {
  const std::vector<std::string> pieces = {
      "(",    ")",   "[",     "]",    " ",    "a",        "e",         " of ",           ".", "[!]", "(e)",
      " (e)", "(u)", " [b1]", "\xA4", "\xC2", "(1 of 2)", kMark + "1", "some long words"};
  std::mt19937 random(2024);
  for (int i = 0; i < 40000; ++i) {
    const std::string name = RandomText(random, pieces, 13);
    for (const bool ignore : {false, true}) ASSERT_EQ(RomTitle(name, ignore), PlainRomTitle(name, ignore)) << name;
  }
  std::ifstream list(VARNEL_TEST_DATA_DIR "/snes_names.txt");
  for (std::string line; std::getline(list, line);) {
    const std::string name = LowerCase(line);
    for (const bool ignore : {false, true}) ASSERT_EQ(RomTitle(name, ignore), PlainRomTitle(name, ignore)) << name;
  }
}

// The title of a listed name with its case: the title of the lower-cased name, in the name's letters.
TEST(RomTitleTest, ListedTitleKeepsTheCaseOfTheName) {
  const struct {
    std::string listed;
    bool ignore_extensions;
    std::string title;
  } cases[] = {
      {"Super Mario Bros. (E) [!].nes", false, "Super Mario Bros..nes"},
      {"Zelda II - The Adventure of Link (U).NES", true, "Zelda II - The Adventure of Link"},
      {"Game (Disk 1 Of 2) (E).nes", false, "Game (Disk 1 Of 2).nes"},  // " of " is looked for in lower case
      {"\xC3\x89T\xC3\x89 (F).nes", false, "\xC3\x89T\xC3\x89.nes"},
      {"Game (E) (e).nes", false, "Game.nes"},
      // The rule over the listed name would take out the numbering: the title stays in lower case.
      {"Game (Side A Of B) [b1] [b1].nes", false, "game (side a of b).nes"},
  };
  std::string title;
  for (const auto& c : cases) {
    AssignListedTitle(c.listed, LowerCase(c.listed), c.ignore_extensions, &title);
    EXPECT_EQ(title, c.title) << c.listed;
  }
  const std::vector<std::string> pieces = {
      "(", ")",   "[",   "]",   " ",        "A",    "e",        " of ",           " OF ",
      ".", "[!]", "(E)", "(e)", "\xC3\x89", "\xC3", "(1 Of 2)", "Some Long Words"};
  std::mt19937 random(11);
  for (int i = 0; i < 20000; ++i) {
    const std::string listed = RandomText(random, pieces, 12), name = LowerCase(listed);
    for (const bool ignore : {false, true}) {
      AssignListedTitle(listed, name, ignore, &title);
      ASSERT_EQ(LowerCase(title), RomTitle(name, ignore)) << listed;
    }
  }
}

void ExpectRanks() {
  const struct {
    std::string name, code, tag;
    float score;
  } cases[] = {
      {"some game (u) [t+fre1.02_team].zip", "fre", "t+fre1.02_team", 1.02f},
      {"some game (u) [t+fre].zip", "fre", "t+fre", 50},
      {"some game (u) [t+fre_1.1].zip", "fre", "t+fre_1.1", 50},
      {"some game (u) [t+fre_beta].zip", "fre", "t+fre_beta", -1},
      {"some game (u) [t+fre0.9 partial].zip", "fre", "t+fre0.9 partial", -1},
      {"some game (u) [t+fre_final].zip", "fre", "t+fre_final", 100},
      {"some game (u) [t-fre85%].zip", "fre", "t-fre85%", 85},
      {"some game (u) [t+fre%].zip", "fre", "t+fre%", -100},
      {"some game (u) [t+fre1000].zip", "fre", "t+fre1000", 1000},
      {"some game (u) [t+fre2001].zip", "fre", "t+fre2001", 50},
      {"some game (u) [t+fre1.2.3].zip", "fre", "t+fre1.2.3", -100},
      {"some game (u) [t+en1.5].zip", "en", "t+en1.5", 0.5f},
      {"some game [t+fre_beta_final].zip", "fre", "t+fre_beta_final", -1},
      {"freedom (u) [t+fre1.0].zip", "fre", "freedom (u) [t+fre1.0", 50},
      {"some game [t+fre1.1] (u) [t+fre1.2].zip", "fre", "t+fre1.1", 1.1f},
      {"some game [t+fre5000%].zip", "fre", "t+fre5000%", 5000},
      {"some game [t+fre.].zip", "fre", "t+fre.", -100},
      {"some game [t+fre99999999999999999999999999999999999999999999].zip", "fre",
       "t+fre99999999999999999999999999999999999999999999", 50},
      // A percentage with a point is a decimal; an unclosed tag runs to the end of the name.
      {"some game [t+fre85.5%].zip", "fre", "t+fre85.5%", 85.5f},
      {"some game (u) [t+fre1.5", "fre", "t+fre1.5", 1.5f},
      // A "]" between the "[" and the code: the tag does not hold the code, so there is no number.
      {"[a]fre1.5 [t+fre2.0].zip", "fre", "a", 50},
      // A percentage too large for a float is still a number, above every other.
      {"g [t+fre" + std::string(39, '9') + "%].zip", "fre", "t+fre" + std::string(39, '9') + "%",
       std::numeric_limits<float>::infinity()},
      // The number starts three characters, not bytes, after the start of the code.
      {"g [t+en\xc3\xa9"
       "5].zip",
       "en",
       "t+en\xc3\xa9"
       "5",
       5},
      {"g [t+en\xe9"
       "5].zip",
       "en",
       "t+en\xe9"
       "5",
       5},  // a Latin-1 byte is one character
  };
  for (const auto& c : cases) {
    std::string tag = "stale";
    EXPECT_EQ(VersionRank(c.name, c.code, &tag), c.score) << c.name;
    EXPECT_EQ(tag, c.tag) << c.name;
  }
}

TEST(VersionRankTest, ScoresTheNumberAfterTheCode) { ExpectRanks(); }

// A locale whose decimal point is ",", as a French desktop has.
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(VersionRankTest, IgnoresTheGlobalLocale) {
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  ExpectRanks();
  std::locale::global(previous);
}

TEST(VersionRankTest, IgnoresAFrenchCLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) GTEST_SKIP() << "fr_FR.UTF-8 is not installed";
  ExpectRanks();
  std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
}  // namespace varnel
