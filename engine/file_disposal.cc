#include "engine/file_disposal.h"

#include "platform/file_ops.h"
#include "platform/lower_case.h"

namespace varnel {
namespace {

constexpr std::string_view kArrow = "\t --> ";

// Moves or deletes the file on disk; a failure carries the system's reason. The paths are built in reused
// buffers: JoinPath(folder, "") is the folder with its separator.
Status CarryOut(CleaningState& state, const Dump& file) {
  if (state.folder_prefix.empty()) {
    state.folder_prefix = JoinPath(state.RomFolder, "");
    state.moved_prefix = JoinPath(state.moved_folder, "");
  }
  state.source_path.assign(state.folder_prefix).append(file.listed);
  if (!state.MoveFiles) return RemoveFile(state.source_path);
  state.target_path.assign(state.moved_prefix).append(file.listed);
  return MoveWithoutReplace(state.source_path, state.target_path);
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
