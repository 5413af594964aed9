#include "engine/rom_title.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/lower_case.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace varnel {
namespace {

constexpr std::string_view kMarkerLead = "\xC2\xA4";  // the currency sign, which leads every marker

// Removes every occurrence of `text` in `name` that starts at or after `from`, left to right, without
// overlaps, in place.
void RemoveAll(std::string& name, std::size_t from, std::string_view text) {
  std::size_t found = name.find(text, from);
  if (found == std::string::npos) return;
  std::size_t write = found;
  while (found != std::string::npos) {
    const std::size_t read = found + text.size();
    found = name.find(text, read);
    const std::size_t end = found == std::string::npos ? name.size() : found;
    std::copy(name.begin() + read, name.begin() + end, name.begin() + write);
    write += end - read;
  }
  name.resize(write);
}

// RemoveAll for a bracket group whose first occurrence starts at `start` and whose opening bracket is at
// `open_offset` in it: further occurrences are looked for only where that bracket is, which is quicker than
// a search for the whole group in names full of blanks.
void RemoveGroup(std::string& name, std::size_t start, std::string_view group, std::size_t open_offset) {
  const char open = group[open_offset];
  std::size_t write = start;
  std::size_t read = start + group.size();  // the first occurrence is skipped
  std::size_t search = read;
  while (true) {
    const std::size_t bracket = name.find(open, search + open_offset);
    if (bracket == std::string::npos) break;
    const std::size_t found = bracket - open_offset;
    if (name.compare(found, group.size(), group) != 0) {
      search = found + 1;
      continue;
    }
    std::copy(name.begin() + read, name.begin() + found, name.begin() + write);
    write += found - read;
    read = found + group.size();
    search = read;
  }
  std::copy(name.begin() + read, name.end(), name.begin() + write);
  write += name.size() - read;
  name.resize(write);
}

// Replaces every occurrence of `text` in `name` that starts at or after `from` by `replacement`.
void ReplaceAll(std::string& name, std::size_t from, std::string_view text, std::string_view replacement) {
  std::size_t found = name.find(text, from);
  if (found == std::string::npos) return;
  std::string result(name, 0, found);
  std::size_t read = found;
  while (found != std::string::npos) {
    result.append(name, read, found - read);
    result.append(replacement);
    read = found + text.size();
    found = name.find(text, read);
  }
  result.append(name, read, std::string::npos);
  name = std::move(result);
}

// A round-bracket group that must stay is hidden from the search for further groups: "(" becomes the
// marker "¤1" and ")" the marker "¤2".
std::string ProtectedGroup(std::string_view group) {
  std::string result;
  result.reserve(group.size() + 8);
  for (const char c : group) {
    if (c == '(') {
      result.append(kMarkerLead).push_back('1');
    } else if (c == ')') {
      result.append(kMarkerLead).push_back('2');
    } else {
      result.push_back(c);
    }
  }
  return result;
}

// One pass over the groups opened by `open` and closed by `close`, the first one first, each taking the
// blank before it unless it starts the name. Groups holding " of " stay (protected) when `keep_of_groups`.
void BracketPass(std::string& name, char open, char close, bool keep_of_groups) {
  std::string group;
  std::size_t from = 0;
  while (true) {
    const std::size_t p = name.find(open, from);
    if (p == std::string::npos) return;
    const std::size_t q = name.find(close, p);
    if (q == std::string::npos) return;  // an unclosed bracket stays, with what follows
    const std::size_t start = (p > 0 && name[p - 1] == ' ') ? p - 1 : p;
    group.assign(name, start, q + 1 - start);
    // Every occurrence of the group starts at or after `start`, since `p` holds the first opening bracket.
    if (keep_of_groups && group.find(" of ") != std::string::npos) {
      ReplaceAll(name, start, group, ProtectedGroup(group));
    } else {
      RemoveGroup(name, start, group, p - start);
    }
    // Nothing before `start` holds an opening bracket any more.
    from = start;
  }
}

// Turns the markers "¤1" to "¤4" back into "(", ")", "[" and "]", those of the name passed in as well.
void RestoreMarkers(std::string& name) {
  std::size_t found = name.find(kMarkerLead);
  if (found == std::string::npos) return;
  std::size_t write = found;
  std::size_t read = found;
  while (read < name.size()) {
    if (name.compare(read, kMarkerLead.size(), kMarkerLead) == 0 && read + 2 < name.size() && name[read + 2] >= '1' &&
        name[read + 2] <= '4') {
      name[write++] = "()[]"[name[read + 2] - '1'];
      read += 3;
    } else {
      name[write++] = name[read++];
    }
  }
  name.resize(write);
}

constexpr bool IsBracketOrMarkerByte(unsigned char b) {
  return b == '(' || b == ')' || b == '[' || b == ']' || b == static_cast<unsigned char>(kMarkerLead[1]);
}

// Bit i set when byte `from` + i of `name` (i < 16, within the name) is a bracket or the second byte of the
// marker sign.
inline std::uint32_t BracketBits(std::string_view name, std::size_t from) {
  const std::size_t count = std::min<std::size_t>(16, name.size() - from);
#if defined(__SSE2__) || defined(_M_X64)
  if (count == 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(name.data() + from));
    __m128i hits = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('('));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(')')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('[')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(']')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(kMarkerLead[1])));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
  }
#endif
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (IsBracketOrMarkerByte(static_cast<unsigned char>(name[from + i]))) bits |= std::uint32_t{1} << i;
  }
  return bits;
}

// The title of a name whose brackets are plain, built in one pass: every group closes before the next bracket
// opens, no closing bracket stands alone, no group directly follows another, no group's text comes twice and
// the second byte of the marker sign does not occur. In such a name each pass below takes every group out
// exactly once with the blank before it (a "[!]" among them), and a round group holding " of " stays as it
// is. The spans of the name it keeps go in `*spans` when given. False, with `*title` and `*spans` unspecified,
// for any other name: the passes handle it.
bool PlainBracketsTitle(std::string_view name, std::string* title, TitleSpans* spans) {
  struct Group {
    std::size_t open;   // the opening bracket
    std::size_t close;  // the closing bracket
  };
  constexpr std::size_t kMaxGroups = 16;
  std::array<Group, kMaxGroups> groups;
  std::size_t group_count = 0;
  char awaited = 0;  // the closing bracket of the open group, or 0 outside any group
  for (std::size_t from = 0; from < name.size(); from += 16) {
    for (std::uint32_t bits = BracketBits(name, from); bits != 0; bits &= bits - 1) {
      const std::size_t i = from + static_cast<std::size_t>(std::countr_zero(bits));
      const char c = name[i];
      if (c == '(' || c == '[') {
        if (awaited != 0 || group_count == kMaxGroups) return false;
        if (i > 0 && (name[i - 1] == ')' || name[i - 1] == ']')) return false;
        awaited = c == '(' ? ')' : ']';
        groups[group_count].open = i;
      } else if (c == awaited) {
        groups[group_count++].close = i;
        awaited = 0;
      } else {
        return false;  // a closing bracket alone, or the marker byte
      }
    }
  }
  if (awaited != 0) return false;

  const auto text_of = [&](const Group& g) { return name.substr(g.open, g.close + 1 - g.open); };
  for (std::size_t g = 1; g < group_count; ++g) {
    const std::string_view text = text_of(groups[g]);
    for (std::size_t h = 0; h < g; ++h) {
      const std::string_view earlier = text_of(groups[h]);
      // Most groups differ in size or in their first letter; only the others are compared whole.
      if (text.size() == earlier.size() && text[1] == earlier[1] && text == earlier) return false;
    }
  }

  std::string& result = *title;
  result.resize(name.size());
  char* const out = result.data();
  std::size_t written = 0;
  std::size_t read = 0;
  for (std::size_t g = 0; g < group_count; ++g) {
    const std::string_view text = text_of(groups[g]);
    constexpr std::string_view kOf = " of ";
    if (text.front() == '(' && text.size() > kOf.size() + 1 && text.find(kOf) != std::string_view::npos) continue;
    const std::size_t open = groups[g].open;
    const std::size_t start = (open > 0 && name[open - 1] == ' ') ? open - 1 : open;
    std::memcpy(out + written, name.data() + read, start - read);
    written += start - read;
    if (spans != nullptr) spans->spans[spans->count++] = {read, start};
    read = groups[g].close + 1;
  }
  std::memcpy(out + written, name.data() + read, name.size() - read);
  written += name.size() - read;
  if (spans != nullptr) spans->spans[spans->count++] = {read, name.size()};
  result.resize(written);
  return true;
}

void StripExtension(std::string* title) {
  const std::size_t dot = title->rfind('.');
  if (dot != std::string::npos) title->resize(dot);
}

}  // namespace

void AssignRomTitle(std::string_view name, bool ignore_extensions, std::string* title, TitleSpans* spans) {
  std::string& result = *title;
  if (spans != nullptr) spans->count = 0;
  const bool plain = PlainBracketsTitle(name, &result, spans);
  if (spans != nullptr) spans->known = plain;
  if (!plain) {
    result.assign(name);
    if (result.empty()) return;
    if (result.find("[!]") != std::string::npos) {
      RemoveAll(result, 0, " [!]");
      RemoveAll(result, 0, "[!]");
    }
    BracketPass(result, '(', ')', /*keep_of_groups=*/true);
    BracketPass(result, '[', ']', /*keep_of_groups=*/false);
    RestoreMarkers(result);
  }
  if (ignore_extensions) StripExtension(&result);
  if (spans != nullptr) spans->size = result.size();
}

void AssignListedTitle(std::string_view listed, std::string_view name, bool ignore_extensions, std::string* title,
                       const TitleSpans* spans) {
  // The known spans of `name`, taken from `listed`: one allocation, one copy per span.
  const auto from_spans = [&](const TitleSpans& known) {
    std::size_t total = 0;
    for (std::size_t s = 0; s < known.count; ++s) total += known.spans[s].to - known.spans[s].from;
    title->resize(total);
    char* out = title->data();
    for (std::size_t s = 0; s < known.count; ++s) {
      std::memcpy(out, listed.data() + known.spans[s].from, known.spans[s].to - known.spans[s].from);
      out += known.spans[s].to - known.spans[s].from;
    }
    title->resize(known.size);
  };
  if (listed.size() != name.size()) {
    AssignRomTitle(name, ignore_extensions, title);  // not the lower-cased listed name: no case to keep
    return;
  }
  if (spans != nullptr && spans->known) return from_spans(*spans);
  TitleSpans own;
  std::string lower;
  AssignRomTitle(name, ignore_extensions, &lower, &own);
  if (own.known) return from_spans(own);
  // The passes over the listed name itself find the same groups unless case tells two of them apart (or hides a
  // " of "): then the title stays in lower case.
  AssignRomTitle(listed, ignore_extensions, title);
  if (LowerCase(*title) != lower) *title = lower;
}

std::string RomTitle(std::string_view name, bool ignore_extensions) {
  std::string title;
  AssignRomTitle(name, ignore_extensions, &title);
  return title;
}

}  // namespace varnel
