#include "engine/file_disposal.h"

#include "platform/lower_case.h"

namespace varnel {
namespace {

constexpr std::string_view kArrow = "\t --> ";

// Moves or deletes the file on disk; a failure carries the system's reason. The folders are opened at the
// first call, so that each file goes by its name instead of a path the system resolves again.
Status CarryOut(CleaningState& state, const Dump& file) {
  if (!state.disposal_folders_open) {
    state.rom_folder_handle.Open(state.RomFolder);
    if (state.MoveFiles) state.moved_folder_handle.Open(state.moved_folder);
    state.disposal_folders_open = true;
  }
  state.listed_name.assign(file.listed);
  if (!state.MoveFiles) return state.rom_folder_handle.RemoveFile(state.listed_name);
  return state.rom_folder_handle.MoveWithoutReplace(state.listed_name, state.moved_folder_handle, state.listed_name);
}

}  // namespace

void DisposeRomFile(CleaningState& state, const Dump& file, std::string_view other_name, int reason) {
  // The run's own log is never moved, deleted, logged or counted.
  constexpr std::string_view kLogName = "logfile.txt";
  if (file.name.size() == kLogName.size() && LowerCase(file.name) == kLogName) return;

  std::string& line = state.log_line;
  line.assign(file.name);
  if (state.ApplyChanges) {
    const Status status = CarryOut(state, file);
    if (!status.ok()) {
      line.append(kArrow).append("Error: ").append(status.message());
      state.Log.WriteLine(line);
      ++state.FailedCount;
      return;
    }
  }

  line.append(kArrow);
  bool has_line = true;
  switch (reason) {
    case kVerifiedFound:
    case kPlainFound:
      line.append(other_name).append(" found");
      break;
    case kFirstKept:
      line.append(other_name).append(" kept");
      break;
    case kPrioritaryFound:
      line.append(other_name).append(" found (prioritary)");
      break;
    case kUnselectedZone:
      line.append("Unselected Zone");
      break;
    case kExcluded:
      line.append("Excluded file");
      break;
    case kTranslationUnwanted:
      line.append("Translation not wanted");
      break;
    case kBetterTranslation:
      line.append(other_name).append(" has a better translation");
      break;
    default:
      has_line = false;
      break;
  }
  if (has_line) state.Log.WriteLine(line);
  ++state.DisposedCount;
}

}  // namespace varnel
