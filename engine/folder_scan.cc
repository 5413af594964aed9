#include "engine/folder_scan.h"

#include <string>
#include <string_view>
#include <utility>

#include "engine/file_disposal.h"
#include "engine/pattern_lists.h"
#include "engine/rom_title.h"
#include "engine/translation_choice.h"
#include "engine/zone_choice.h"
#include "platform/lower_case.h"

namespace varnel {
namespace {

bool Contains(std::string_view name, std::string_view text) { return name.find(text) != std::string_view::npos; }

// `listed` in lower case into `*name`, reusing its storage. A plain ASCII name only needs A-Z lowered (a
// loop the compiler vectorises); any other name goes through LowerCase, which also knows the Latin-1 capitals.
void AssignLowerCase(std::string_view listed, std::string* name) {
  name->resize(listed.size());
  char* const out = name->data();
  unsigned char high_bits = 0;
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const auto c = static_cast<unsigned char>(listed[i]);
    high_bits |= c;
    out[i] = static_cast<char>(static_cast<unsigned char>(c - 'A') < 26 ? c + ('a' - 'A') : c);
  }
  if ((high_bits & 0x80) != 0) *name = LowerCase(listed);
}

// True when `name` holds "[t-" or "[t+", read once for both.
bool HasTranslationMark(std::string_view name) {
  for (std::size_t at = name.find('['); at != std::string_view::npos; at = name.find('[', at + 1)) {
    if (at + 2 < name.size() && name[at + 1] == 't' && (name[at + 2] == '-' || name[at + 2] == '+')) return true;
  }
  return false;
}

// The index of the first wanted language whose code follows "[t+" or "[t-" in `name`, or -1.
int WantedLanguage(const std::vector<std::string>& marks, std::string_view name) {
  for (std::size_t i = 0; i < marks.size(); i += 2) {
    if (Contains(name, marks[i]) || Contains(name, marks[i + 1])) return static_cast<int>(i / 2);
  }
  return -1;
}

// Settles the closed group of the dumps whose lower-cased names are the first of state.group_names and whose
// listing indices are `indices`.
void CloseGroup(RuleState& state, const std::vector<std::size_t>& indices) {
  if (indices.empty()) return;
  if (state.KeepTranslations) ChooseTranslations(state);
  std::vector<Dump>& group = state.group;
  group.clear();
  for (std::size_t i = 0; i < indices.size(); ++i) group.push_back(Dump{indices[i], state.group_names[i]});
  if (group.size() >= 2) {
    ChooseZoneDumps(state, group);
    return;
  }
  // A lone dump stays, unless a selected-zone mode finds a round-bracket group in it and no selected zone.
  if (state.ZoneMode != ZoneMode::kAllSelectedZones && state.ZoneMode != ZoneMode::kFirstSelectedZone) return;
  const Dump& dump = group.front();
  if (state.zone_matcher.FirstZoneIn(dump.name) < state.ZoneList.size()) return;
  if (Contains(dump.name, "(")) DisposeRomFile(state, dump, nullptr, DisposalReason::kUnselectedZone);
}

// Puts the listed files in the plan's groups as the scan meets them (PlannedGroup): a dump with the run's group,
// any other file with the open group of its title, or the group made last when it has that title and no dump yet
// (a translation listed before the dumps of its game), else in a new group. Titles are lower case here; the
// spans of a file's title, when given, save reading its name again for the title of a group it starts.
class Grouper {
 public:
  Grouper(CleaningPlan* plan, bool ignore_extensions) : plan_(plan), ignore_extensions_(ignore_extensions) {}

  // The dump `dump`, titled `title`, joins the run's open group, or starts a new one when `starts_run_group`.
  void Dump(const varnel::Dump& dump, std::string_view title, const TitleSpans* spans, bool starts_run_group) {
    if (starts_run_group) {
      if (last_group_ == kNoIndex || last_has_dump_ || last_title_ != title) NewGroup(dump, title, spans);
      run_group_ = last_group_;
      last_has_dump_ = true;
    }
    plan_->files[dump.listed].group = run_group_;
  }
  // The file `file`, titled `title`, which joins no run's group; `run_title` is the title of the run's open group.
  void Other(const varnel::Dump& file, std::string_view title, const TitleSpans* spans, std::string_view run_title) {
    std::uint32_t group = kNoIndex;
    if (run_group_ != kNoIndex && run_title == title) {
      group = run_group_;
    } else if (last_group_ != kNoIndex && last_title_ == title) {
      group = last_group_;
    } else {
      NewGroup(file, title, spans);
      group = last_group_;
    }
    plan_->files[file.listed].group = group;
  }
  // Lays the members out group after group, in listing order within each.
  void Finish() {
    std::vector<PlannedGroup>& groups = plan_->groups;
    for (const PlannedFile& file : plan_->files) ++groups[file.group].count;
    std::uint32_t first = 0;
    for (PlannedGroup& group : groups) {
      group.first = first;
      first += group.count;
    }
    std::vector<std::uint32_t>& members = plan_->members;
    members.resize(plan_->files.size());
    std::vector<std::uint32_t> filled(groups.size(), 0);
    for (std::uint32_t i = 0; i < plan_->files.size(); ++i) {
      const std::uint32_t group = plan_->files[i].group;
      members[groups[group].first + filled[group]++] = i;
    }
  }

 private:
  void NewGroup(const varnel::Dump& first, std::string_view title, const TitleSpans* spans) {
    last_group_ = static_cast<std::uint32_t>(plan_->groups.size());
    PlannedGroup& group = plan_->groups.emplace_back();
    AssignListedTitle(plan_->listing[first.listed], first.name, ignore_extensions_, &group.title, spans);
    last_title_.assign(title);
    last_has_dump_ = false;
  }

  CleaningPlan* const plan_;
  const bool ignore_extensions_;
  std::uint32_t run_group_ = kNoIndex;   // the group of the run's open group
  std::uint32_t last_group_ = kNoIndex;  // the group made last
  std::string last_title_;               // its title
  bool last_has_dump_ = false;           // whether a dump of a run's group is in it
};

}  // namespace

void ScanFolder(RuleState& state, const std::function<void()>& on_pass) {
  const std::vector<std::string>& listing = state.plan.listing;
  // "[t+<code>" and "[t-<code>" for each wanted language, in list order.
  std::vector<std::string> marks;
  for (const std::string& code : state.WantedTranslations) {
    marks.push_back("[t+" + code);
    marks.push_back("[t-" + code);
  }

  const PatternListMatcher keep(state.KeepPatterns, PatternListMatcher::Rule::kKeep);
  const PatternListMatcher exclusion(state.ExclusionPatterns, PatternListMatcher::Rule::kExclusion);

  // The current group: the listing indices of its dumps; their lower-cased names fill the first entries of
  // state.group_names, whose strings are reused from one group to the next.
  std::vector<std::size_t> group;
  std::string previous_title;  // RomTitle of the last name that joined the group; "" at the start
  std::string title;
  TitleSpans spans;  // those of `title`
  // The plan's word on each file, its game and its verdict, only when it is asked for.
  const bool describe = state.describe_files;
  TitleSpans* const spans_wanted = describe ? &spans : nullptr;
  std::vector<PlannedFile>& files = state.plan.files;
  Grouper grouper(&state.plan, state.IgnoreExtensions);
  // DisposeRomFile marks a file going; the log file, which never goes, gets no item.
  const auto mark = [&](std::size_t i, FileVerdict verdict, std::uint32_t item) {
    if (!describe || (verdict == FileVerdict::kGoing && files[i].verdict != FileVerdict::kGoing)) return;
    files[i].verdict = verdict;
    files[i].item = item;
  };
  // A file that joins no group is shown with the open group of its title.
  const auto other = [&](const Dump& file) {
    if (!describe) return;
    AssignRomTitle(file.name, state.IgnoreExtensions, &title, &spans);
    grouper.Other(file, title, &spans, previous_title);
  };
  for (std::size_t i = 0; i < listing.size(); ++i) {
    if (on_pass) on_pass();
    // The name is lower-cased straight into the entry after the group's, where it stays if it joins a group.
    if (state.group_names.size() == group.size()) state.group_names.emplace_back();
    std::string& name = state.group_names[group.size()];
    AssignLowerCase(listing[i], &name);
    const Dump dump{i, name};

    if (const std::uint32_t item = keep.Find(name); item != PatternListMatcher::kNoItem) {
      mark(i, FileVerdict::kKeptByList, item);
      other(dump);
      continue;
    }
    if (const std::uint32_t item = exclusion.Find(name); item != PatternListMatcher::kNoItem) {
      DisposeRomFile(state, dump, nullptr, DisposalReason::kExcluded);
      mark(i, FileVerdict::kGoing, item);
      other(dump);
      continue;
    }
    if (HasTranslationMark(name)) {
      if (!state.KeepTranslations) {
        DisposeRomFile(state, dump, nullptr, DisposalReason::kExcluded);
        other(dump);
        continue;
      }
      const int language = WantedLanguage(marks, name);
      if (language < 0) {
        DisposeRomFile(state, dump, nullptr, DisposalReason::kTranslationUnwanted);
        other(dump);
      } else {
        const std::string& candidate_title =
            RecordTranslationCandidate(state, static_cast<std::size_t>(language), dump);
        // Kept until a better translation of its game and language is found.
        mark(i, FileVerdict::kBestTranslation, kNoIndex);
        if (describe) grouper.Other(dump, candidate_title, nullptr, previous_title);
      }
      continue;  // a translated dump never joins a group
    }

    AssignRomTitle(name, state.IgnoreExtensions, &title, spans_wanted);
    const bool starts_group = group.empty() || title != previous_title;
    if (starts_group && !group.empty()) {
      CloseGroup(state, group);
      std::swap(state.group_names.front(), state.group_names[group.size()]);  // the name starts the new group
      group.clear();
    }
    if (describe) grouper.Dump(Dump{i, state.group_names[group.size()]}, title, &spans, starts_group);
    group.push_back(i);
    previous_title.swap(title);
  }
  // The final pass closes the last group.
  if (on_pass) on_pass();
  CloseGroup(state, group);
  if (describe) grouper.Finish();
}

}  // namespace varnel
