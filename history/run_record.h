#ifndef VARNEL_HISTORY_RUN_RECORD_H_
#define VARNEL_HISTORY_RUN_RECORD_H_

#include <optional>
#include <string_view>

// The words of a history file, shared by what writes it and what reads it. A run's file holds one JSON object
// per line:
//   {"varnel_history":1,"job":"clean-move","folder":"/roms","started":"2026-12-06T18:20:34+01:00","settings":{…}}
//   {"created_folder":"moved"}                                      a folder the run made, relative to its folder
//   {"intent":0,"name":"a.nes","action":"move","destination":"moved/a.nes","size":8,"mtime_ns":…,"inode":…}
//   {"outcome":0,"result":"done"}    or    {"outcome":0,"result":"failed","reason":"Permission denied"}
//   {"end":"2026-12-06T18:20:35+01:00","done":1,"failed":0}
// An intent is on disk before its file is touched; its outcome follows the action. Names and destinations are
// relative to the run's folder ("/"-separated), but for the trash's entries, which are absolute. A text that
// is not valid UTF-8 is written as `<key>_hex`.

namespace varnel {

// The jobs whose real runs are recorded.
enum class JobKind { kCleanDelete, kCleanMove, kCleanTrash, kAlpha, kZip, kUndo };

// What a run did to one file.
enum class FileAction {
  kDelete,   // deleted: nothing can bring it back
  kMove,     // renamed to `destination` within the run's folder, never replacing anything
  kTrash,    // moved into the trash: `destination` is its entry there, `trash_info` its information file
  kUntrash,  // brought back from the trash entry `name` to `destination`
  kZip,      // zipped into the archive `destination`; the file itself stays
};

// The names the records and `varnel-cli history` give them: "clean-delete", "clean-move", "clean-trash",
// "alpha", "zip", "undo"; "delete", "move", "trash", "untrash", "zip".
std::string_view JobName(JobKind job);
std::optional<JobKind> JobOfName(std::string_view name);
std::string_view ActionName(FileAction action);
std::optional<FileAction> ActionOfName(std::string_view name);

// The version the first record of a file gives as "varnel_history".
inline constexpr int kHistoryVersion = 1;

namespace record_key {
inline constexpr char kVersion[] = "varnel_history";
inline constexpr char kJob[] = "job";
inline constexpr char kFolder[] = "folder";
inline constexpr char kStarted[] = "started";
inline constexpr char kSettings[] = "settings";
inline constexpr char kUndoes[] = "undoes";  // in an undo run's settings: the id of the run it takes back
inline constexpr char kCreatedFolder[] = "created_folder";
inline constexpr char kIntent[] = "intent";
inline constexpr char kName[] = "name";
inline constexpr char kAction[] = "action";
inline constexpr char kDestination[] = "destination";
inline constexpr char kTrashInfo[] = "trash_info";
inline constexpr char kSize[] = "size";
inline constexpr char kMtime[] = "mtime_ns";
inline constexpr char kInode[] = "inode";
inline constexpr char kOutcome[] = "outcome";
inline constexpr char kResult[] = "result";
inline constexpr char kReason[] = "reason";
inline constexpr char kEnd[] = "end";
inline constexpr char kDone[] = "done";
inline constexpr char kFailed[] = "failed";
// The suffix of a text written as hexadecimal.
inline constexpr char kHexSuffix[] = "_hex";
}  // namespace record_key

}  // namespace varnel

#endif  // VARNEL_HISTORY_RUN_RECORD_H_
