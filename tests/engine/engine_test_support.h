#ifndef VARNEL_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H_
#define VARNEL_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H_

#include <deque>
#include <string>

#include "engine/rule_state.h"
#include "gtest/gtest.h"
#include "tests/support/recording_hosts.h"
#include "tests/support/temp_folder.h"

namespace varnel {

// Whether the test folder's file system tells names apart by case (Linux does; Windows does not).
#ifdef _WIN32
inline constexpr bool kNamesTellCaseApart = false;
#else
inline constexpr bool kNamesTellCaseApart = true;
#endif

// The log text of `lines` separated by "|": each line followed by CR LF.
inline std::string LogOf(const std::string& lines) {
  std::string text;
  std::size_t start = 0;
  for (std::size_t bar; (bar = lines.find('|', start)) != std::string::npos; start = bar + 1) {
    text += lines.substr(start, bar - start) + "\r\n";
  }
  return lines.empty() ? text : text + lines.substr(start) + "\r\n";
}

// The rules' state of a run, for the rules that settle a group or the translation candidates directly.
class EngineStateTest : public ::testing::Test {
 protected:
  // A dump whose listed and lower-cased names are both `name`, kept alive by the fixture.
  Dump Keep(const std::string& name) {
    state_.plan.listing.push_back(name);
    state_.plan.files.emplace_back();
    return Dump{state_.plan.listing.size() - 1, names_.emplace_back(name)};
  }
  // The log lines decided so far.
  std::string Log() const { return state_.plan.log_text; }

  RuleState state_;
  std::deque<std::string> names_;
};

}  // namespace varnel

#endif  // VARNEL_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H_
