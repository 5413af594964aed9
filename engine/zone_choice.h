#ifndef VARNEL_ENGINE_ZONE_CHOICE_H_
#define VARNEL_ENGINE_ZONE_CHOICE_H_

#include <span>
#include <string_view>

#include "engine/rule_state.h"

namespace varnel {

// The zone tag of a name for ZoneMode kAllZones: its first round-bracket group, brackets included, or
// "sans zone" when it has none (or its first "(" is never closed).
std::string_view RunTag(std::string_view name);

// True when `name`, once every occurrence of `zone` is taken out (nothing when `zone` is empty), holds
// neither "(" nor "[": the dump carries no tag besides its zone.
bool PlainDump(std::string_view name, std::string_view zone);

// Keeps one dump of `dumps`: the first holding "[!]", else the first PlainDump for `zone`, else the first;
// disposes of every other one, in order, naming the one kept. Returns the one kept (an element of `dumps`), or
// nullptr when `dumps` is empty.
const Dump* BestDumpRule(RuleState& state, std::span<const Dump> dumps, std::string_view zone);

// Decides a closed group of two or more dumps of one game (listing order) by state.ZoneMode: keeps the
// wanted dumps and disposes of every other one, in the order of their log lines.
void ChooseZoneDumps(RuleState& state, std::span<const Dump> group);

}  // namespace varnel

#endif  // VARNEL_ENGINE_ZONE_CHOICE_H_
