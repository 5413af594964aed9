#include "engine/translation_choice.h"

#include <string>
#include <vector>

#include "engine/list_rule.h"
#include "gtest/gtest.h"
#include "tests/engine/engine_test_support.h"

namespace varnel {
namespace {

class TranslationChoiceTest : public EngineStateTest {
 protected:
  void SetUp() override {
    EngineStateTest::SetUp();
    state_.KeepTranslations = true;
    state_.SetZoneList(SplitListText("(f),(e),(ue),(jue),(u),(ju),(j)"));
    state_.WantedTranslations = {"fre", "eng"};
    state_.TranslationCounts.assign(2, -1);
    state_.TranslationCandidates.resize(2);
  }
  void Record(std::size_t language, const std::vector<std::string>& names) {
    for (const std::string& name : names) RecordTranslationCandidate(state_, language, Keep(name));
  }
};

TEST_F(TranslationChoiceTest, KeepsTheBestCleanCandidatePerLanguage) {
  Record(0, {"some game (u) [t+fre1.0].zip", "some game (u) [t+fre1.1] [a1].zip", "some game (e) [t+fre1.1].zip",
             "some game (e) [t+fre_beta].zip"});
  Record(1, {"some game (j) [t+eng1.0].zip"});
  ChooseTranslations(state_);
  EXPECT_EQ(state_.TranslationCounts, (std::vector<int>{-1, -1}));
  ChooseTranslations(state_);  // nothing new: nothing more goes
  const std::string better = "\t --> some game (e) [t+fre1.1].zip has a better translation";
  EXPECT_EQ(Log(), LogOf("some game (u) [t+fre1.0].zip" + better + "|some game (u) [t+fre1.1] [a1].zip" + better +
                         "|some game (e) [t+fre_beta].zip" + better));
}

TEST_F(TranslationChoiceTest, TiesCleanlinessAndTitles) {
  // Equal clean scores: the later slot stays; one whose zone is not selected never displaces an equal score;
  // a lower one goes even when clean; a translation of another game never competes.
  Record(0, {"a (e) [t+fre1.0].zip", "a (u) [t+fre1.0].zip", "b (e) [t+fre0.1].zip", "a (k) [t+fre1.0].zip",
             "a (e) [t+fre0.5].zip"});
  ChooseTranslations(state_);
  const std::string better = "\t --> a (u) [t+fre1.0].zip has a better translation";
  EXPECT_EQ(Log(), LogOf("a (e) [t+fre1.0].zip" + better + "|a (k) [t+fre1.0].zip" + better + "|a (e) [t+fre0.5].zip" +
                         better));
}

TEST_F(TranslationChoiceTest, AHugePercentageRanksAboveTheOthers) {
  const std::string huge = "h (e) [t+fre" + std::string(39, '9') + "%].zip";
  Record(0, {"h (e) [t+fre85%].zip", huge});
  ChooseTranslations(state_);
  EXPECT_EQ(Log(), LogOf("h (e) [t+fre85%].zip\t --> " + huge + " has a better translation"));
}

}  // namespace
}  // namespace varnel
