#include "engine/zone_choice.h"

#include "engine/file_disposal.h"

namespace varnel {
namespace {

constexpr std::string_view kNoZoneTag = "sans zone";

bool Contains(std::string_view name, std::string_view text) { return name.find(text) != std::string_view::npos; }

// kVerifiedFirst: one dump per game. A "[!]" dump of any selected zone wins; else the first plain dump,
// zones in priority order; else the first dump of the group.
void ChooseVerifiedFirst(RuleState& state, std::span<const Dump> group) {
  std::vector<std::uint64_t>& held = state.zones_held;
  held.clear();
  for (const Dump& dump : group) held.push_back(state.zone_matcher.ZonesIn(dump.name));
  const Dump* verified = nullptr;
  const Dump* plain = nullptr;
  for (std::size_t z = 0; z < state.ZoneList.size() && verified == nullptr; ++z) {
    for (std::size_t k = 0; k < group.size(); ++k) {
      const Dump& dump = group[k];
      if (!state.zone_matcher.Holds(dump.name, held[k], z)) continue;
      if (Contains(dump.name, "[!]")) {
        verified = &dump;
        break;
      }
      if (plain == nullptr && PlainDump(dump.name, state.ZoneList[z])) plain = &dump;
    }
  }
  const Dump* winner = verified != nullptr ? verified : plain != nullptr ? plain : &group.front();
  const DisposalReason reason = verified != nullptr ? DisposalReason::kVerifiedFound
                                : plain != nullptr  ? DisposalReason::kPlainFound
                                                    : DisposalReason::kFirstKept;
  for (const Dump& dump : group) {
    if (&dump != winner) DisposeRomFile(state, dump, winner, reason);
  }
}

// kAllSelectedZones and kFirstSelectedZone: the dumps go into one column per selected zone (the first zone
// each holds) and a last column for the dumps without any round-bracket group; a dump of no selected zone
// goes at once. Then each column keeps its best dump (kAllSelectedZones), or only the first column that
// holds a dump keeps one and the others go as of a later zone (kFirstSelectedZone).
void ChooseBySelectedZones(RuleState& state, std::span<const Dump> group) {
  const std::size_t zone_count = state.ZoneList.size();
  std::vector<std::vector<Dump>>& columns = state.ZoneBuckets;
  if (columns.size() < zone_count + 1) columns.resize(zone_count + 1);
  for (std::size_t c = 0; c <= zone_count; ++c) columns[c].clear();

  for (const Dump& dump : group) {
    const std::size_t column = state.zone_matcher.FirstZoneIn(dump.name);
    if (column == zone_count && Contains(dump.name, "(")) {
      DisposeRomFile(state, dump, nullptr, DisposalReason::kUnselectedZone);
      continue;
    }
    columns[column].push_back(dump);
  }

  Dump kept;
  bool zone_already_kept = false;
  for (std::size_t c = 0; c <= zone_count; ++c) {
    const std::vector<Dump>& column = columns[c];
    if (column.empty()) continue;
    if (state.ZoneMode == ZoneMode::kFirstSelectedZone && zone_already_kept) {
      for (const Dump& dump : column) DisposeRomFile(state, dump, &kept, DisposalReason::kPrioritaryFound);
      continue;
    }
    const std::string_view zone = c < zone_count ? std::string_view(state.ZoneList[c]) : std::string_view();
    kept = *BestDumpRule(state, column, zone);
    zone_already_kept = true;
  }
}

// kAllZones: one dump per stretch of consecutive dumps that share a RunTag.
void ChooseByRuns(RuleState& state, std::span<const Dump> group) {
  std::size_t start = 0;
  while (start < group.size()) {
    const std::string_view tag = RunTag(group[start].name);
    std::size_t end = start + 1;
    while (end < group.size() && RunTag(group[end].name) == tag) ++end;
    BestDumpRule(state, group.subspan(start, end - start), tag);
    start = end;
  }
}

}  // namespace

std::string_view RunTag(std::string_view name) {
  const std::size_t open = name.find('(');
  if (open == std::string_view::npos) return kNoZoneTag;
  const std::size_t close = name.find(')', open);
  if (close == std::string_view::npos) return kNoZoneTag;
  return name.substr(open, close + 1 - open);
}

bool PlainDump(std::string_view name, std::string_view zone) {
  // Taking out the occurrences of the zone cannot make a new "(" or "[": look for one outside them.
  std::size_t at = 0;
  while (true) {
    std::size_t bracket = at;
    while (bracket < name.size() && name[bracket] != '(' && name[bracket] != '[') ++bracket;
    if (bracket == name.size()) return true;
    if (zone.empty()) return false;
    // The occurrences of the zone, left to right without overlaps, up to the bracket.
    std::size_t found = name.find(zone, at);
    while (found != std::string_view::npos && found + zone.size() <= bracket)
      found = name.find(zone, found + zone.size());
    if (found == std::string_view::npos || found > bracket) return false;
    at = found + zone.size();  // the bracket lies inside this occurrence
  }
}

const Dump* BestDumpRule(RuleState& state, std::span<const Dump> dumps, std::string_view zone) {
  if (dumps.empty()) return nullptr;
  const Dump* winner = nullptr;
  DisposalReason reason = DisposalReason::kFirstKept;
  for (const Dump& dump : dumps) {
    if (Contains(dump.name, "[!]")) {
      winner = &dump;
      reason = DisposalReason::kVerifiedFound;
      break;
    }
  }
  if (winner == nullptr) {
    for (const Dump& dump : dumps) {
      if (PlainDump(dump.name, zone)) {
        winner = &dump;
        reason = DisposalReason::kPlainFound;
        break;
      }
    }
  }
  if (winner == nullptr) winner = &dumps.front();
  for (const Dump& dump : dumps) {
    if (&dump != winner) DisposeRomFile(state, dump, winner, reason);
  }
  return winner;
}

void ChooseZoneDumps(RuleState& state, std::span<const Dump> group) {
  if (group.empty()) return;
  switch (state.ZoneMode) {
    case ZoneMode::kVerifiedFirst:
      ChooseVerifiedFirst(state, group);
      break;
    case ZoneMode::kAllSelectedZones:
    case ZoneMode::kFirstSelectedZone:
      ChooseBySelectedZones(state, group);
      break;
    case ZoneMode::kAllZones:
      ChooseByRuns(state, group);
      break;
    case ZoneMode::kNone:
      break;
  }
}

}  // namespace varnel
