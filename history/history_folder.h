#ifndef VARNEL_HISTORY_HISTORY_FOLDER_H_
#define VARNEL_HISTORY_HISTORY_FOLDER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace varnel {

// The folder that keeps one file per real run of a job: varnel/history in $XDG_STATE_HOME when that holds an
// absolute path, else in ~/.local/state; on Windows Varnel\history in the local application data folder
// (%LOCALAPPDATA%). Empty when neither folder is known.
std::string HistoryFolderPath();

// Where a job records its run.
struct HistoryPlace {
  std::string folder;  // the history folder; a run that should be recorded and has none is refused
  bool record = true;  // false: the run is not recorded at all (a benchmark's baseline)

  // HistoryFolderPath(), recorded.
  static HistoryPlace Default() { return {HistoryFolderPath(), true}; }
  // `folder`, recorded.
  static HistoryPlace In(std::string folder) { return {std::move(folder), true}; }
  static HistoryPlace Nowhere() { return {std::string(), false}; }
};

// How many runs the history keeps: the newest.
inline constexpr std::size_t kKeptRuns = 200;

// True for a run's id: its start in local time "YYYYMMDD-HHMMSS", and "-2", "-3"... for the second, third
// run started in the same second (no leading zero, nothing past 999999).
bool IsRunId(std::string_view text);
// True when the run `a` started before the run `b`; both are run ids.
bool RunIdBefore(std::string_view a, std::string_view b);
// The id of the `n`th run (from 1) started at `stamp` ("YYYYMMDD-HHMMSS").
std::string RunIdOf(std::string_view stamp, int n);
// The file of the run `id` in the history folder `folder`: "<id>.jsonl".
std::string RunFilePath(const std::string& folder, std::string_view id);

// A moment as a run's id and its record give it.
struct RunTime {
  std::string stamp;  // local time, "YYYYMMDD-HHMMSS"
  std::string iso;    // local time in ISO 8601 with the offset from UTC: "2026-12-06T18:20:34+01:00"
};
// The time now.
RunTime RunTimeNow();
// The local time of an ISO 8601 time as RunTimeNow() writes it, without its offset: "2026-12-06T18:20:34". The
// text as it is when it is shorter.
std::string_view LocalTimeOf(std::string_view iso);
// The seconds since 1970-01-01 UTC of an ISO 8601 time as RunTimeNow() writes it; false when it is not one.
bool SecondsSinceEpoch(std::string_view iso, std::int64_t* seconds);

// The ids of the runs kept in `folder`, newest first. A folder that does not exist keeps none.
Status ListRuns(const std::string& folder, std::vector<std::string>* ids);
// Removes the run `id` from `folder`.
Status ForgetRun(const std::string& folder, std::string_view id);
// Removes the runs of `folder` beyond its `keep` newest; a run that cannot be removed stays.
void KeepNewestRuns(const std::string& folder, std::size_t keep = kKeptRuns);

}  // namespace varnel

#endif  // VARNEL_HISTORY_HISTORY_FOLDER_H_
