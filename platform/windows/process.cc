#include "platform/process.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/system.h"
#include "platform/windows/win_handle.h"
#include "platform/windows/win_text.h"

namespace varnel {

struct ChildProcess::Handles {
  Handle process;
  Handle thread;
  Handle job;  // none where the system refuses a job object: then only the child itself is ended
};

namespace {

// The command line in the system's ANSI code page, as CreateProcessA takes it; characters the code page
// cannot hold are replaced by the system's default character.
std::string AnsiText(const std::string& utf8) { return WideToCodePage(Utf8ToWide(utf8), CP_ACP); }

// A job object that ends every process still in it when its last handle is closed; nullptr on failure.
HANDLE KillOnCloseJob() {
  Handle job(CreateJobObjectW(nullptr, nullptr));
  if (!job.valid()) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) return nullptr;
  return job.Release();
}

}  // namespace

ChildProcess::ChildProcess() = default;

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : ChildProcess() { *this = std::move(other); }

ChildProcess::~ChildProcess() { Release(); }

Status ChildProcess::Start(const ProcessCommand& command, ChildProcess* child) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(static_cast<short>(command.show_mode));
  PROCESS_INFORMATION info = {};
  std::string line = AnsiText(command.command_line);  // CreateProcessA may write into its command line
  line.push_back('\0');
  // Suspended until it is in its job object, so that nothing it starts can escape the job.
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &info)) {
    return LastErrorStatus();
  }
  *child = ChildProcess();
  child->started_ = true;
  child->handles_ = std::make_unique<Handles>();
  Handles& handles = *child->handles_;
  handles.process.Reset(info.hProcess);
  handles.thread.Reset(info.hThread);
  handles.job.Reset(KillOnCloseJob());
  if (handles.job.valid() && !AssignProcessToJobObject(handles.job.get(), info.hProcess)) {
    handles.job.Close();  // a system that refuses nested jobs: the child runs without one
  }
  ResumeThread(info.hThread);
  return Status::Ok();
}

Status ChildProcess::Wait(int max_wait_ms, bool* ended) {
  *ended = ended_;
  if (!started_ || ended_) return Status::Ok();
  const DWORD result = WaitForSingleObject(handles_->process.get(), static_cast<DWORD>(std::max(max_wait_ms, 0)));
  if (result == WAIT_TIMEOUT) return Status::Ok();
  if (result != WAIT_OBJECT_0) return LastErrorStatus();
  DWORD code = 0;
  if (!GetExitCodeProcess(handles_->process.get(), &code)) return LastErrorStatus();
  if (handles_->job.valid()) TerminateJobObject(handles_->job.get(), 1);  // what it left running
  exit_code_ = static_cast<int>(code);
  ended_ = true;
  *ended = true;
  return Status::Ok();
}

void ChildProcess::Kill() {
  if (!started_ || ended_) return;
  if (!handles_->job.valid() || !TerminateJobObject(handles_->job.get(), 1)) {
    TerminateProcess(handles_->process.get(), 1);
  }
  WaitForSingleObject(handles_->process.get(), INFINITE);
  exit_code_ = 1;
  ended_ = true;
}

std::optional<std::uint64_t> ChildProcess::ProcessorTime() const {
  if (!started_ || ended_) return std::nullopt;
  FILETIME creation, exit, kernel, user;
  if (!GetProcessTimes(handles_->process.get(), &creation, &exit, &kernel, &user)) return std::nullopt;
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return ticks(kernel) + ticks(user);
}

void ChildProcess::Release() {
  Kill();
  handles_.reset();  // closing the job ends whatever is still in it
  started_ = false;
}

bool IsStartableFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  constexpr DWORD kNotStartable = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (attributes & kNotStartable) == 0;
}

unsigned long long CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace varnel
