#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "platform/posix/posix_file.h"
#include "platform/system.h"

extern char** environ;

namespace varnel {

struct ChildProcess::Handles {
  pid_t pid = -1;
  FileDescriptor pidfd;  // none where the system refuses pidfd_open: the wait then polls waitpid
};

namespace {

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

// Kills the process group that the child `pid` leads (the child itself, ended or not, and what it left
// running), then reaps the child; returns its exit code.
int KillGroupAndReap(pid_t pid) {
  // Not yet reaped, the child keeps its group id from being reused.
  ::kill(-pid, SIGKILL);
  int wait_status = 0;
  while (::waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  return ExitCodeOf(wait_status);
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

ChildProcess::ChildProcess() = default;

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : ChildProcess() { *this = std::move(other); }

ChildProcess::~ChildProcess() { Release(); }

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
  child->handles_ = std::make_unique<Handles>();
  child->handles_->pid = pid;
  child->handles_->pidfd.Reset(OpenPidDescriptor(pid));
  return Status::Ok();
}

Status ChildProcess::Wait(int max_wait_ms, bool* ended) {
  *ended = ended_;
  if (!started_ || ended_) return Status::Ok();
  const pid_t pid = handles_->pid;
  max_wait_ms = std::max(max_wait_ms, 0);
  if (handles_->pidfd.valid()) {
    pollfd entry = {handles_->pidfd.get(), POLLIN, 0};
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
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 && errno != EINTR) {
      return ErrnoStatus(errno);
    }
    if (info.si_pid == pid) {
      exit_code_ = KillGroupAndReap(pid);
      ended_ = true;
      *ended = true;
      return Status::Ok();
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return Status::Ok();
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
}

void ChildProcess::Kill() {
  if (!started_ || ended_) return;
  exit_code_ = KillGroupAndReap(handles_->pid);
  ended_ = true;
}

std::optional<std::uint64_t> ChildProcess::ProcessorTime() const {
  if (!started_ || ended_) return std::nullopt;
  char path[32];
  std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(handles_->pid));
  const FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC));
  if (!file.valid()) return std::nullopt;
  char text[1024];
  const ssize_t size = ::read(file.get(), text, sizeof text - 1);
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
  handles_.reset();
  started_ = false;
}

bool IsStartableFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return ::access(path.c_str(), X_OK) == 0;
}

unsigned long long CurrentProcessId() { return static_cast<unsigned long long>(::getpid()); }

}  // namespace varnel
