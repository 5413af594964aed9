#ifndef VARNEL_SETTINGS_PREVIEW_ROWS_H_
#define VARNEL_SETTINGS_PREVIEW_ROWS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/cleaning_plan.h"
#include "engine/run_settings.h"

namespace varnel {

// The columns of the preview: the listed name (a game's title on its row), kept or going, and why.
enum class PreviewColumn : int { kFile = 0, kDecision = 1, kReason = 2 };
inline constexpr int kPreviewColumnCount = 3;

// What the preview shows of a plan and in which order.
struct PreviewView {
  std::string filter;       // only the files whose listed name holds it, letters of either case alike
  bool only_going = false;  // only the files that go
  int sort_column = -1;     // a PreviewColumn, or -1 for the plan's own order
  bool descending = false;
};

// The rows of a plan as the preview shows them: games, each with its files. Indices only, into the plan.
struct PreviewRows {
  struct Game {
    std::uint32_t group;  // index in CleaningPlan::groups
    std::uint32_t first;  // its files are files[first, first + count)
    std::uint32_t count;
  };
  std::vector<Game> games;           // the games that show at least one file
  std::vector<std::uint32_t> files;  // listed indices, game after game
};

// Picks and orders the rows of `plan` for `view`. A game shows while one of its files does. Sorted by the file
// column, games follow their titles and files their names; by the decision column, the files that stay come
// before those that go; by the reason column, the files of one reading (and one other dump or list item) come
// together. Games keep the plan's order unless sorted by the file column; ties keep the listing order.
PreviewRows ArrangeRows(const CleaningPlan& plan, const PreviewView& view);

// True when a plan made with `a` decides what one made with `b` would, from the same folder: the same folder,
// lists, translation choice, zone mode and multi-extension choice. Test, Move, Trash and Open logfile do not count.
bool SamePlanInputs(const RunSettings& a, const RunSettings& b);

}  // namespace varnel

#endif  // VARNEL_SETTINGS_PREVIEW_ROWS_H_
