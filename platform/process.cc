#include "platform/process.h"

#include <algorithm>
#include <utility>

#ifdef _WIN32
#include "platform/win_text.h"
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;
#endif

namespace varnel {

ChildProcess::ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this == &other) return *this;
  Release();
  started_ = std::exchange(other.started_, false);
  ended_ = std::exchange(other.ended_, false);
  exit_code_ = std::exchange(other.exit_code_, -1);
#ifdef _WIN32
  process_ = std::exchange(other.process_, nullptr);
  thread_ = std::exchange(other.thread_, nullptr);
  job_ = std::exchange(other.job_, nullptr);
#else
  pid_ = std::exchange(other.pid_, -1);
  pidfd_ = std::exchange(other.pidfd_, -1);
#endif
  return *this;
}

ChildProcess::~ChildProcess() { Release(); }

#ifdef _WIN32

namespace {

Status LastError() {
  const DWORD error = GetLastError();
  return Status::Error(SystemMessage(error), static_cast<int>(error));
}

// The command line in the system's ANSI code page, as CreateProcessA takes it; characters the code page
// cannot hold are replaced by the system's default character.
std::string AnsiText(const std::string& utf8) {
  const std::wstring wide = Utf8ToWide(utf8);
  if (wide.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size, nullptr, nullptr);
  return ansi;
}

// A job object that ends every process still in it when its last handle is closed; nullptr on failure.
HANDLE KillOnCloseJob() {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

}  // namespace

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
    return LastError();
  }
  *child = ChildProcess();
  child->started_ = true;
  child->process_ = info.hProcess;
  child->thread_ = info.hThread;
  child->job_ = KillOnCloseJob();
  if (child->job_ != nullptr && !AssignProcessToJobObject(child->job_, info.hProcess)) {
    CloseHandle(child->job_);  // a system that refuses nested jobs: the child runs without one
    child->job_ = nullptr;
  }
  ResumeThread(info.hThread);
  return Status::Ok();
}

Status ChildProcess::Wait(int max_wait_ms, bool* ended) {
  *ended = ended_;
  if (!started_ || ended_) return Status::Ok();
  const DWORD result = WaitForSingleObject(process_, static_cast<DWORD>(std::max(max_wait_ms, 0)));
  if (result == WAIT_TIMEOUT) return Status::Ok();
  if (result != WAIT_OBJECT_0) return LastError();
  DWORD code = 0;
  if (!GetExitCodeProcess(process_, &code)) return LastError();
  if (job_ != nullptr) TerminateJobObject(job_, 1);  // what it left running
  exit_code_ = static_cast<int>(code);
  ended_ = true;
  *ended = true;
  return Status::Ok();
}

void ChildProcess::Kill() {
  if (!started_ || ended_) return;
  if (job_ == nullptr || !TerminateJobObject(job_, 1)) TerminateProcess(process_, 1);
  WaitForSingleObject(process_, INFINITE);
  exit_code_ = 1;
  ended_ = true;
}

std::optional<std::uint64_t> ChildProcess::ProcessorTime() const {
  if (!started_ || ended_) return std::nullopt;
  FILETIME creation, exit, kernel, user;
  if (!GetProcessTimes(process_, &creation, &exit, &kernel, &user)) return std::nullopt;
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return ticks(kernel) + ticks(user);
}

void ChildProcess::Release() {
  Kill();
  if (job_ != nullptr) CloseHandle(job_);  // ends whatever is still in the job
  if (process_ != nullptr) CloseHandle(process_);
  if (thread_ != nullptr) CloseHandle(thread_);
  job_ = nullptr;
  process_ = nullptr;
  thread_ = nullptr;
  started_ = false;
}

bool IsStartableFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  constexpr DWORD kNotStartable = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (attributes & kNotStartable) == 0;
}

#else  // POSIX

namespace {

Status ErrnoStatus(int error) { return Status::Error(std::strerror(error), error); }

int ExitCodeOf(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return -1;
}

// A descriptor that becomes readable when the child ends; -1 when the system refuses one (kernels before
// 5.3, sandboxes), in which case the wait falls back to polling waitpid.
int OpenPidDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);  // close-on-exec by design
  return fd >= 0 ? static_cast<int>(fd) : -1;
#else
  (void)pid;
  return -1;
#endif
}

// posix_spawn's attribute and file-action records, destroyed when they go out of scope.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawnattr_init(&attributes_);
    posix_spawn_file_actions_init(&actions_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }

  // Silences the child (its three standard streams on the null device), puts it in a process group of its
  // own (so that killing it also ends whatever it started) and gives it an empty signal mask and the
  // default action for SIGPIPE, whatever the program set for itself.
  int Prepare() {
    if (int error = posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0)) return error;
    if (int error = posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0)) return error;
    if (int error = posix_spawn_file_actions_addopen(&actions_, 2, "/dev/null", O_WRONLY, 0)) return error;
    sigset_t mask;
    sigemptyset(&mask);
    if (int error = posix_spawnattr_setsigmask(&attributes_, &mask)) return error;
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    if (int error = posix_spawnattr_setsigdefault(&attributes_, &defaults)) return error;
    if (int error = posix_spawnattr_setpgroup(&attributes_, 0)) return error;
    return posix_spawnattr_setflags(&attributes_,
                                    POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  }

  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
  posix_spawn_file_actions_t actions_;
};

}  // namespace

Status ChildProcess::Start(const ProcessCommand& command, ChildProcess* child) {
  if (command.arguments.empty() || command.arguments.front().empty()) return ErrnoStatus(ENOENT);
  std::vector<char*> argv;
  argv.reserve(command.arguments.size() + 1);
  for (const std::string& argument : command.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  SpawnSetup setup;
  if (int error = setup.Prepare()) return ErrnoStatus(error);
  pid_t pid = -1;
  // posix_spawn returns the error itself (glibc also reports a failed exec this way: ENOENT, EACCES...).
  const int error = posix_spawn(&pid, argv[0], setup.actions(), setup.attributes(), argv.data(), environ);
  if (error != 0) return ErrnoStatus(error);

  *child = ChildProcess();
  child->started_ = true;
  child->pid_ = pid;
  child->pidfd_ = OpenPidDescriptor(pid);
  return Status::Ok();
}

Status ChildProcess::Wait(int max_wait_ms, bool* ended) {
  *ended = ended_;
  if (!started_ || ended_) return Status::Ok();
  max_wait_ms = std::max(max_wait_ms, 0);
  if (pidfd_ >= 0) {
    pollfd entry = {pidfd_, POLLIN, 0};
    const int ready = ::poll(&entry, 1, max_wait_ms);
    if (ready < 0 && errno != EINTR) return ErrnoStatus(errno);
    if (ready <= 0) return Status::Ok();  // still running, or a signal cut the wait short
  }
  // Either the descriptor says the child has ended, or there is none and the child is polled with short
  // pauses.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(max_wait_ms);
  auto pause = std::chrono::microseconds(500);
  for (;;) {
    // WNOWAIT: an ended child stays unreaped until its group is killed below.
    siginfo_t info = {};
    if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) != 0 && errno != EINTR) {
      return ErrnoStatus(errno);
    }
    if (info.si_pid == pid_) {
      KillGroupAndReap();
      *ended = true;
      return Status::Ok();
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return Status::Ok();
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
}

void ChildProcess::KillGroupAndReap() {
  // The group of the child, which it leads: the child itself and anything it started that is still there.
  // Not yet reaped, the child keeps its group id from being reused.
  ::kill(-pid_, SIGKILL);
  int wait_status = 0;
  while (::waitpid(pid_, &wait_status, 0) < 0 && errno == EINTR) {
  }
  exit_code_ = ExitCodeOf(wait_status);
  ended_ = true;
}

void ChildProcess::Kill() {
  if (!started_ || ended_) return;
  KillGroupAndReap();
}

std::optional<std::uint64_t> ChildProcess::ProcessorTime() const {
  if (!started_ || ended_) return std::nullopt;
  char path[32];
  std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid_));
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  char text[1024];
  const ssize_t size = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (size <= 0) return std::nullopt;
  text[size] = '\0';
  // "<pid> (<name>) <state> ..." where the name may hold anything, ")" too: the fields start after the last ")".
  // utime and stime are fields 14 and 15, the 12th and 13th after the name.
  const char* field = std::strrchr(text, ')');
  if (field == nullptr) return std::nullopt;
  std::uint64_t times[2] = {0, 0};
  for (int index = 3; index <= 15; ++index) {
    field = std::strchr(field, ' ');
    if (field == nullptr) return std::nullopt;
    ++field;
    if (index >= 14) {
      char* end = nullptr;
      times[index - 14] = std::strtoull(field, &end, 10);
      if (end == field) return std::nullopt;
    }
  }
  return times[0] + times[1];
}

void ChildProcess::Release() {
  Kill();
  if (pidfd_ >= 0) ::close(pidfd_);
  pidfd_ = -1;
  pid_ = -1;
  started_ = false;
}

bool IsStartableFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return ::access(path.c_str(), X_OK) == 0;
}

#endif

}  // namespace varnel
