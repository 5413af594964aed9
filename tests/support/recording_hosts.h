#ifndef VARNEL_TESTS_SUPPORT_RECORDING_HOSTS_H_
#define VARNEL_TESTS_SUPPORT_RECORDING_HOSTS_H_

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "common/job_host.h"
#include "engine/cleaning_host.h"
#include "history/undo.h"
#include "jobs/alpha/alpha_host.h"
#include "jobs/zip/zip_host.h"

namespace varnel {

// How tests name a message's icon: "none", "stop", "exclamation" or "information".
std::string IconName(MessageIcon icon);
// The icon's name in square brackets ("[stop]"), as the recorders write a message before its text.
inline std::string IconTag(MessageIcon icon) { return "[" + IconName(icon) + "]"; }

// A message as a job showed it.
struct ShownMessage {
  std::string text;
  MessageIcon icon = MessageIcon::kNone;
  bool operator==(const ShownMessage&) const = default;
};
void PrintTo(const ShownMessage& message, std::ostream* out);

// One call of SetProgress.
struct ProgressStep {
  double minimum = 0, maximum = 0, value = 0;
  bool operator==(const ProgressStep&) const = default;
};
void PrintTo(const ProgressStep& step, std::ostream* out);

// Records what a job shows through the part every host shares; `on_progress` runs at each step with its value.
template <typename Host>
class RecordingHost : public Host {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    messages.push_back({text, icon});
    calls.push_back(IconTag(icon) + " " + text);
  }
  void SetProgress(double minimum, double maximum, double value) override {
    progress.push_back({minimum, maximum, value});
    if (on_progress) on_progress(value);
  }

  // Every message, each "<IconTag> <text>" and a line feed.
  std::string Shown() const {
    std::string text;
    for (const ShownMessage& message : messages) text += IconTag(message.icon) + " " + message.text + "\n";
    return text;
  }

  std::vector<ShownMessage> messages;
  std::vector<ProgressStep> progress;
  // The messages ("<IconTag> <text>") and what a job's own host adds, in the order they came.
  std::vector<std::string> calls;
  std::function<void(double)> on_progress;
};

// Records a job that asks questions: each ("Confirm: <question>", answered with `confirm_answer`) joins the
// messages in `calls`.
template <typename Host>
class RecordingAskingHost : public RecordingHost<Host> {
 public:
  bool Confirm(const std::string& question) override {
    this->calls.push_back("Confirm: " + question);
    return confirm_answer;
  }

  bool confirm_answer = true;
};

// Records a cleaning run: its question, its result text ("Result: <text>") and the log it opens
// ("OpenLog: <path>") join the messages in `calls`.
class RecordingCleaningHost : public RecordingAskingHost<CleaningHost> {
 public:
  void SetResultText(const std::string& text) override { calls.push_back("Result: " + text); }
  void OpenLog(const std::string& path) override { calls.push_back("OpenLog: " + path); }
};

using RecordingUndoHost = RecordingAskingHost<UndoHost>;

using RecordingAlphaHost = RecordingHost<AlphaHost>;

// Records a zip job; `on_events` runs at each ProcessEvents() with the number of that call, and the job is asked
// to stop from call number `stop_at_event` on (never when 0).
class RecordingZipHost : public RecordingHost<ZipHost> {
 public:
  void ProcessEvents() override {
    ++events;
    if (on_events) on_events(events);
  }
  bool StopRequested() override { return stop_at_event > 0 && events >= stop_at_event; }

  int events = 0;
  int stop_at_event = 0;
  std::function<void(int)> on_events;
};

}  // namespace varnel

#endif  // VARNEL_TESTS_SUPPORT_RECORDING_HOSTS_H_
