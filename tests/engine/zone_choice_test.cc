#include "engine/zone_choice.h"

#include <ostream>
#include <string>
#include <vector>

#include "engine/list_rule.h"
#include "gtest/gtest.h"
#include "tests/engine/engine_test_support.h"

namespace varnel {
namespace {

struct ZoneCase {
  const char* label;
  ZoneMode mode;
  const char* zones;
  std::string group;  // names in listing order, separated by "|"
  std::string log;    // expected log lines, separated by "|"
};
void PrintTo(const ZoneCase& c, std::ostream* os) { *os << c.label; }

class ZoneChoiceTest : public EngineStateTest, public ::testing::WithParamInterface<ZoneCase> {};

TEST_P(ZoneChoiceTest, DisposesOfTheUnwantedDumpsInOrder) {
  const ZoneCase& c = GetParam();
  state_.ZoneMode = c.mode;
  std::vector<std::string> zones = SplitListText(c.zones);
  if (c.mode == ZoneMode::kAllZones) zones.emplace_back();
  state_.SetZoneList(zones);
  std::vector<Dump> group;
  for (std::size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
    bar = c.group.find('|', start);
    group.push_back(Keep(c.group.substr(start, bar - start)));
  }
  ChooseZoneDumps(state_, group);
  EXPECT_EQ(Log(), LogOf(c.log));
}

const std::string kMixed = "g (e).z|g (e) [b1].z|g (j).z|g (u) [!].z|g.z";
const std::string kBad = [] {
  std::string names;
  for (int i = 0; i < 299; ++i) names += "b (e) [b" + std::to_string(i) + "].z|";
  return names;
}();
const std::string kBadLines = [] {
  std::string lines;
  for (int i = 0; i < 299; ++i) lines += "b (e) [b" + std::to_string(i) + "].z\t --> b (e) [!].z found|";
  return lines;
}();
// Seventy zones "(z0)" to "(z69)": the matcher keeps the first 64 as bits and must still find the others.
const std::string kSeventyZones = [] {
  std::string zones;
  for (int z = 0; z < 70; ++z) zones += (z == 0 ? "(z" : ",(z") + std::to_string(z) + ")";
  return zones;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, ZoneChoiceTest,
    ::testing::Values(
        ZoneCase{"VerifiedOfLowerZoneBeatsPlain", ZoneMode::kVerifiedFirst, "(u),(e)", "v (u).z|v (e) [!].z",
                 "v (u).z\t --> v (e) [!].z found"},
        ZoneCase{"PlainOfHigherZoneWins", ZoneMode::kVerifiedFirst, "(u),(e)", "p (e).z|p (u) [b1].z|p (u).z|p [!].z",
                 "p (e).z\t --> p (u).z found|p (u) [b1].z\t --> p (u).z found|p [!].z\t --> p (u).z found"},
        ZoneCase{"NoSelectedZoneKeepsTheFirst", ZoneMode::kVerifiedFirst, "(e),(u)", "n (j) [b1].z|n (j).z|n (k) [!].z",
                 "n (j).z\t --> n (j) [b1].z kept|n (k) [!].z\t --> n (j) [b1].z kept"},
        ZoneCase{"AllSelectedZones", ZoneMode::kAllSelectedZones, "(e),(u)", kMixed,
                 "g (j).z\t --> Unselected Zone|g (e) [b1].z\t --> g (e).z found"},
        ZoneCase{"FirstSelectedZone", ZoneMode::kFirstSelectedZone, "(e),(u)", kMixed,
                 "g (j).z\t --> Unselected Zone|g (e) [b1].z\t --> g (e).z found|"
                 "g (u) [!].z\t --> g (e).z found (prioritary)|g.z\t --> g (e).z found (prioritary)"},
        ZoneCase{"TaggedColumnKeepsItsFirst", ZoneMode::kFirstSelectedZone, "(e),(u)",
                 "c (e) [a1].z|c (u) [b1].z|c (e) [b1].z|c (u).z",
                 "c (e) [b1].z\t --> c (e) [a1].z kept|c (u) [b1].z\t --> c (e) [a1].z found (prioritary)|"
                 "c (u).z\t --> c (e) [a1].z found (prioritary)"},
        ZoneCase{"UntaggedColumnOnly", ZoneMode::kFirstSelectedZone, "(e)", "t [b1].z|t.z", "t [b1].z\t --> t.z found"},
        ZoneCase{"AllZonesKeepsOnePerRun", ZoneMode::kAllZones, "(e)", "x (e) [b1].z|x (e).z|x (u).z|x (e) [a1].z",
                 "x (e) [b1].z\t --> x (e).z found"},
        ZoneCase{"AllZonesUnclosedAndUntaggedShareARun", ZoneMode::kAllZones, "", "y (e.z|y.z|y (u) [!].z|y (u) [a1].z",
                 "y (e.z\t --> y.z found|y (u) [a1].z\t --> y (u) [!].z found"},
        // Several "[!]" dumps: the first of the first zone that has one stays, in each mode.
        ZoneCase{"VerifiedFirstKeepsTheFirstVerified", ZoneMode::kVerifiedFirst, "(u),(e)",
                 "w (e) [!].z|w (u) [!].z|w (u) [a1][!].z",
                 "w (e) [!].z\t --> w (u) [!].z found|w (u) [a1][!].z\t --> w (u) [!].z found"},
        ZoneCase{"ColumnKeepsItsFirstVerified", ZoneMode::kAllSelectedZones, "(u)", "w (u) [!].z|w (u) [a1][!].z",
                 "w (u) [a1][!].z\t --> w (u) [!].z found"},
        ZoneCase{"VerifiedFirstPastTheSixtyFourthZone", ZoneMode::kVerifiedFirst, kSeventyZones.c_str(),
                 "f (z68) [!].z|f (z66).z|f (z1) [b1].z",
                 "f (z66).z\t --> f (z68) [!].z found|f (z1) [b1].z\t --> f (z68) [!].z found"},
        ZoneCase{"FirstSelectedZonePastTheSixtyFourthZone", ZoneMode::kFirstSelectedZone, kSeventyZones.c_str(),
                 "f (z69).z|f (z66) [b1].z|f (z70).z",
                 "f (z70).z\t --> Unselected Zone|f (z69).z\t --> f (z66) [b1].z found (prioritary)"},
        ZoneCase{"GroupsLargerThanTheOldTables", ZoneMode::kVerifiedFirst, "(e)", kBad + "b (e) [!].z",
                 kBadLines.substr(0, kBadLines.size() - 1)}),
    [](const ::testing::TestParamInfo<ZoneCase>& info) { return std::string(info.param.label); });

TEST(ZoneTagTest, RunTagAndPlainDump) {
  EXPECT_EQ(RunTag("g (e) (beta).z"), "(e)");
  EXPECT_EQ(RunTag("g [b1] (u).z"), "(u)");
  EXPECT_EQ(RunTag("g (e.z"), "sans zone");
  EXPECT_TRUE(PlainDump("g (e) (e).z", "(e)"));
  EXPECT_FALSE(PlainDump("g (e) [b1].z", "(e)"));
  EXPECT_FALSE(PlainDump("g (e).z", ""));
  EXPECT_TRUE(PlainDump("g.z", ""));
}

}  // namespace
}  // namespace varnel
