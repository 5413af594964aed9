// The manual page and the shell completions of varnel-cli, checked against the subcommands and options that the
// built program lists in its help, so that neither falls behind the program.

#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../engine/engine_test_support.h"
#include "cli/clean_options.h"
#include "cli/exit_codes.h"
#include "gtest/gtest.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Quote(const std::string& text) { return "'" + std::regex_replace(text, std::regex("'"), "'\\''") + "'"; }

// The standard output of the shell command `command`; a failed command fails the test.
std::string Output(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
  return output;
}

// The entries of the help section `title` ("Options:", "Subcommands:"): the first word of each line that starts
// it, with the option names of a word like "-h,--help" apart.
Names HelpEntries(const std::string& help, const std::string& title) {
  Names entries;
  std::istringstream lines(help);
  std::string line;
  while (std::getline(lines, line) && line != title) {
  }
  while (std::getline(lines, line) && !line.empty()) {
    if (line.size() < 3 || line[0] != ' ' || line[1] != ' ' || line[2] == ' ') continue;  // a description goes on
    std::istringstream names(line.substr(2, line.find(' ', 2) - 2));
    for (std::string name; std::getline(names, name, ',');) entries.insert(name);
  }
  return entries;
}

std::string Help(const std::string& subcommand) {
  return Output(Quote(VARNEL_CLI_PATH) + (subcommand.empty() ? "" : " " + subcommand) + " --help");
}

// What the bash completion offers for the command line `words`, the last being the word completed, run in
// `folder`.
Names BashCompletion(const std::vector<std::string>& words, const fs::path& folder) {
  std::string command = "cd " + Quote(folder.string()) +
                        " && bash -c 'source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); "
                        "_varnel_cli; printf \"%s\\n\" \"${COMPREPLY[@]}\"' bash " +
                        Quote(VARNEL_CLI_SOURCE_DIR "/varnel-cli.bash-completion");
  for (const std::string& word : words) command += " " + Quote(word);
  std::istringstream lines(Output(command));
  Names offered;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) offered.insert(line);
  }
  return offered;
}

class CliDocsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    subcommands_ = HelpEntries(Help(""), "Subcommands:");
    ASSERT_EQ(subcommands_, (Names{"alpha", "clean", "history", "undo", "zip"}));
    top_options_ = HelpEntries(Help(""), "Options:");
    ASSERT_EQ(top_options_, (Names{"-h", "--help", "--version"}));
  }

  Names subcommands_, top_options_;
};

TEST_F(CliDocsTest, TheManualPageNamesEverySubcommandOptionAndExitCode) {
  const std::string page = ReadFile(VARNEL_CLI_SOURCE_DIR "/varnel-cli.1.scd");
  ASSERT_FALSE(page.empty());
  // The text of the section `title` ("# OPTIONS OF CLEAN"), to the next section; empty when there is none.
  const auto section = [&page](const std::string& title) {
    const std::size_t start = page.find("\n" + title + "\n");
    return start == std::string::npos ? std::string() : page.substr(start, page.find("\n# ", start + 1) - start);
  };
  const auto expect_bold = [](const std::string& text, const std::string& name, const std::string& where) {
    EXPECT_NE(text.find("*" + name + "*"), std::string::npos) << name << " in " << where;
  };
  for (const std::string& option : top_options_) expect_bold(section("# OPTIONS"), option, "# OPTIONS");
  for (const std::string& subcommand : subcommands_) {
    expect_bold(section("# SUBCOMMANDS"), subcommand, "# SUBCOMMANDS");
    std::string title = "# OPTIONS OF " + subcommand;
    for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const std::string& option : HelpEntries(Help(subcommand), "Options:")) {
      if (!top_options_.contains(option)) expect_bold(section(title), option, title);
    }
  }
  for (const int code : {kExitDone, kExitFailed, kExitUsage, kExitSignalBase}) {
    expect_bold(section("# EXIT STATUS"), std::to_string(code), "# EXIT STATUS");
  }
  EXPECT_NE(page.find(kConfigFileVariable), std::string::npos);
}

TEST_F(CliDocsTest, TheZshCompletionNamesEverySubcommandAndOption) {
  const std::string script = ReadFile(VARNEL_CLI_SOURCE_DIR "/varnel-cli.zsh-completion");
  ASSERT_EQ(script.rfind("#compdef varnel-cli\n", 0), 0u);
  for (const std::string& subcommand : subcommands_) {
    const std::size_t block = script.find("      " + subcommand + ")\n");
    ASSERT_NE(block, std::string::npos) << subcommand;
    const std::string rest = script.substr(block, script.find(";;", block) - block);
    for (const std::string& option : HelpEntries(Help(subcommand), "Options:")) {
      EXPECT_NE(rest.find(option), std::string::npos) << option << " of " << subcommand;
    }
  }
}

TEST_F(CliDocsTest, TheBashCompletionOffersWhatEachPlaceTakes) {
  const TempFolder temp;
  const fs::path here = temp.path();
  // "7*" is offered as it is, never as a pattern that would bring in the file "7z-alt".
  for (const char* folder : {"roms", "my roms", "-odd", "7*"}) fs::create_directory(here / folder);
  // Two runs in a history of the test's own, and a file that is no run.
  const TempFolder state;
  fs::create_directories(state / "varnel/history");
  for (const char* file : {"20261206-182034.jsonl", "20261206-182034-2.jsonl", "notes.txt"}) {
    std::ofstream(fs::path(state / "varnel/history") / file) << "";
  }
  setenv("XDG_STATE_HOME", state.path().c_str(), 1);
  const Names ids = {"20261206-182034", "20261206-182034-2"};
  std::ofstream(here / "7z-alt") << "";
  const Names folders = {"roms", "my roms", "-odd", "7*"};

  Names first = subcommands_;
  first.insert({"--help", "--version"});
  Names modes;
  for (const char* name : {"verified-first", "all-selected", "first-selected", "all-zones", "1", "2", "3", "4"}) {
    ASSERT_TRUE(ZoneModeFromName(name).has_value()) << name;
    modes.insert(name);
  }
  struct Case {
    std::vector<std::string> words;
    Names offered;
  };
  const std::vector<Case> cases = {
      {{"varnel-cli", ""}, first},
      {{"varnel-cli", "cl"}, {"clean"}},
      {{"varnel-cli", "clean", "--mode", ""}, modes},
      {{"varnel-cli", "clean", "--mode", "=", "first"}, {"first-selected"}},  // "--mode=first"
      {{"varnel-cli", "clean", "--zones", ""}, {}},                           // a text of the user's own
      {{"varnel-cli", "clean", "--plan", "="}, {"text", "json"}},             // "--plan="
      {{"varnel-cli", "clean", "--plan", "r"}, {"roms"}},                     // "--plan" takes no word after it
      {{"varnel-cli", "clean", "--zones", "zip", "--mu"}, {"--multi-ext"}},   // "zip" is the zones' text
      {{"varnel-cli", "clean", "--config", "7z"}, {"7z-alt"}},
      {{"varnel-cli", "clean", "7"}, {"7*"}},
      {{"varnel-cli", "clean", ""}, folders},
      {{"varnel-cli", "clean", "my"}, {"my roms"}},
      {{"varnel-cli", "clean", "--", "-"}, {"-odd"}},  // after "--" a folder, even one that looks like an option
      {{"varnel-cli", "zip", "--archiver", ""}, {"roms", "my roms", "-odd", "7*", "7z-alt"}},
      {{"varnel-cli", "undo", ""}, ids},
      {{"varnel-cli", "history", ""}, ids},
      {{"varnel-cli", "history", "--forget", "20261206-182034-"}, {"20261206-182034-2"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BashCompletion(c.words, here), c.offered) << ::testing::PrintToString(c.words);
  }
  // Every option of a subcommand, and nothing else, where an option may come.
  for (const std::string& subcommand : subcommands_) {
    EXPECT_EQ(BashCompletion({"varnel-cli", subcommand, "-"}, here), HelpEntries(Help(subcommand), "Options:"))
        << subcommand;
  }
}

}  // namespace
}  // namespace varnel
