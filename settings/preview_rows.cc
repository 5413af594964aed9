#include "settings/preview_rows.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <tuple>

#include "platform/lower_case.h"

namespace varnel {

namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names in the order a reader expects: ASCII letters of either case alike, then byte by byte.
bool NameLess(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(FoldAscii(a[i])), y = static_cast<unsigned char>(FoldAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// What the reason column sorts files by: the reading, then the other dump or the list item it names.
std::tuple<int, int, std::string_view> ReasonKey(const CleaningPlan& plan, const PlannedFile& file) {
  std::string_view subject;
  if (file.winner < plan.listing.size()) subject = plan.listing[file.winner];
  const std::vector<std::string>& items =
      file.verdict == FileVerdict::kKeptByList ? plan.keep_items : plan.exclusion_items;
  if (file.item < items.size()) subject = items[file.item];
  const int reason = file.verdict == FileVerdict::kGoing ? static_cast<int>(file.reason) : 0;
  return {static_cast<int>(file.verdict), reason, subject};
}

// Sorts `files` (listed indices) by `column`; ties keep their order.
void SortFiles(const CleaningPlan& plan, int column, bool descending, std::vector<std::uint32_t>::iterator begin,
               std::vector<std::uint32_t>::iterator end) {
  const auto less = [&plan, column](std::uint32_t a, std::uint32_t b) {
    switch (static_cast<PreviewColumn>(column)) {
      case PreviewColumn::kFile:
        return NameLess(plan.listing[a], plan.listing[b]);
      case PreviewColumn::kDecision:
        return (plan.files[a].verdict == FileVerdict::kGoing) < (plan.files[b].verdict == FileVerdict::kGoing);
      case PreviewColumn::kReason: {
        const auto x = ReasonKey(plan, plan.files[a]), y = ReasonKey(plan, plan.files[b]);
        if (std::get<0>(x) != std::get<0>(y) || std::get<1>(x) != std::get<1>(y)) return x < y;
        return NameLess(std::get<2>(x), std::get<2>(y));
      }
    }
    return false;
  };
  if (descending) {
    std::stable_sort(begin, end, [&less](std::uint32_t a, std::uint32_t b) { return less(b, a); });
  } else {
    std::stable_sort(begin, end, less);
  }
}

}  // namespace

PreviewRows ArrangeRows(const CleaningPlan& plan, const PreviewView& view) {
  const bool sorted = view.sort_column >= 0 && view.sort_column < kPreviewColumnCount;
  std::vector<std::uint32_t> order(plan.groups.size());
  std::iota(order.begin(), order.end(), 0u);
  if (sorted && static_cast<PreviewColumn>(view.sort_column) == PreviewColumn::kFile) {
    std::stable_sort(order.begin(), order.end(), [&plan, &view](std::uint32_t a, std::uint32_t b) {
      const std::string_view x = plan.groups[a].title, y = plan.groups[b].title;
      return view.descending ? NameLess(y, x) : NameLess(x, y);
    });
  }

  const std::string needle = LowerCase(view.filter);
  PreviewRows rows;
  rows.files.reserve(view.filter.empty() && !view.only_going ? plan.members.size() : 0);
  for (const std::uint32_t g : order) {
    const PlannedGroup& group = plan.groups[g];
    const auto first = static_cast<std::uint32_t>(rows.files.size());
    for (std::uint32_t k = group.first; k < group.first + group.count; ++k) {
      const std::uint32_t listed = plan.members[k];
      if (view.only_going && plan.files[listed].verdict != FileVerdict::kGoing) continue;
      if (!needle.empty() && LowerCase(plan.listing[listed]).find(needle) == std::string::npos) continue;
      rows.files.push_back(listed);
    }
    const auto count = static_cast<std::uint32_t>(rows.files.size()) - first;
    if (count == 0) continue;
    if (sorted) SortFiles(plan, view.sort_column, view.descending, rows.files.begin() + first, rows.files.end());
    rows.games.push_back({g, first, count});
  }
  return rows;
}

bool SamePlanInputs(const RunSettings& a, const RunSettings& b) {
  return a.RomFolder == b.RomFolder && a.ZoneMode == b.ZoneMode && a.ZoneText == b.ZoneText &&
         a.KeepText == b.KeepText && a.ExclusionText == b.ExclusionText && a.KeepTranslations == b.KeepTranslations &&
         a.TranslationText == b.TranslationText && a.IgnoreExtensions == b.IgnoreExtensions;
}

}  // namespace varnel
