#include "print/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "base/system_error_text.h"

extern char** environ;

namespace print {
namespace fs = std::filesystem;

namespace {

// Short enough that a conversion of a fraction of a second is not held up noticeably.
constexpr std::chrono::milliseconds kPollInterval(10);

struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !status_) terminate();
  releaseGuard();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(other.pid_), status_(other.status_), guardPipe_(other.guardPipe_), guard_(other.guard_) {
  other.pid_ = -1;
  other.guardPipe_ = -1;
  other.guard_ = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    if (pid_ > 0 && !status_) terminate();
    releaseGuard();
    pid_ = other.pid_;
    status_ = other.status_;
    guardPipe_ = other.guardPipe_;
    guard_ = other.guard_;
    other.pid_ = -1;
    other.guardPipe_ = -1;
    other.guard_ = -1;
  }
  return *this;
}

void ChildProcess::startGuard() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  const pid_t group = pid_;
  const pid_t guard = fork();
  if (guard < 0) {
    close(fds[0]);
    close(fds[1]);
    return;
  }
  if (guard == 0) {
    // The guard: only async-signal-safe calls from here on. It keeps no other descriptor open
    // (an inherited write end of another guard's pipe would keep that guard waiting) and
    // leaves the terminal's process group, so that Ctrl-C does not end it first.
    for (int fd = 3; fd < 1024; ++fd)
      if (fd != fds[0]) close(fd);
    setpgid(0, 0);
    char byte = 0;
    ssize_t n;
    do {
      n = read(fds[0], &byte, 1);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
      kill(-group, SIGTERM);
      const timespec step{0, 100 * 1000 * 1000};
      for (int i = 0; i < 50 && kill(-group, 0) == 0; ++i) nanosleep(&step, nullptr);
      kill(-group, SIGKILL);
    }
    _exit(0);
  }
  close(fds[0]);
  guardPipe_ = fds[1];
  guard_ = guard;
}

void ChildProcess::releaseGuard() {
  if (guardPipe_ >= 0) {
    // One byte: the group has been dealt with, the guard just leaves.
    (void)!write(guardPipe_, "x", 1);
    close(guardPipe_);
    guardPipe_ = -1;
  }
  if (guard_ > 0) {
    while (waitpid(guard_, nullptr, 0) < 0 && errno == EINTR) {
    }
    guard_ = -1;
  }
}

ChildProcess ChildProcess::start(const std::vector<std::string>& argv, const fs::path& output,
                                 std::string& reason, bool endWithParent, int talk) {
  ChildProcess child;
  if (argv.empty()) {
    reason = "Kein Programm angegeben.";
    return child;
  }
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  SpawnSetup setup;
  if (talk >= 0) {
    posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&setup.actions, talk, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, talk, STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&setup.actions, STDOUT_FILENO, STDERR_FILENO);
  }
  // A group of its own: ending the group also ends whatever the program forked.
  posix_spawnattr_setpgroup(&setup.attributes, 0);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP);

  pid_t pid = -1;
  const int rc =
      posix_spawnp(&pid, argv[0].c_str(), &setup.actions, &setup.attributes, args.data(), environ);
  if (rc != 0) {
    reason = argv[0] + " konnte nicht gestartet werden: " + base::systemErrorText(rc);
    return child;
  }
  child.pid_ = pid;
  if (endWithParent) child.startGuard();
  return child;
}

bool ChildProcess::reap(int options) {
  if (pid_ <= 0 || status_) return true;
  int status = 0;
  pid_t r;
  do {
    r = waitpid(pid_, &status, options);
  } while (r < 0 && errno == EINTR);
  if (r == 0) return false;
  if (r < 0) {
    status_ = -1;  // not our child any more; nothing left to wait for
    return true;
  }
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return true;
}

bool ChildProcess::running() {
  return pid_ > 0 && !reap(WNOHANG);
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout,
                                      const std::function<void()>& idle) {
  if (pid_ <= 0) return std::nullopt;
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!reap(WNOHANG)) {
    if (std::chrono::steady_clock::now() >= end) return std::nullopt;
    std::this_thread::sleep_for(kPollInterval);
    if (idle) idle();
  }
  return status_;
}

void ChildProcess::terminate(std::chrono::milliseconds grace, const std::function<void()>& idle) {
  if (pid_ <= 0) return;
  // The group may outlive its leader (a forked helper), so it is signalled even after the
  // leader has ended.
  kill(-pid_, SIGTERM);
  if (!wait(grace, idle)) {
    kill(-pid_, SIGKILL);
    wait(std::chrono::seconds(5), idle);
  }
  kill(-pid_, SIGKILL);
  releaseGuard();
}

fs::path findProgram(const std::vector<std::string>& names) {
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (const auto& name : names) {
    std::size_t start = 0;
    while (start <= folders.size()) {
      std::size_t end = folders.find(':', start);
      if (end == std::string::npos) end = folders.size();
      const fs::path folder = folders.substr(start, end - start);
      const fs::path candidate = (folder.empty() ? fs::path(".") : folder) / name;
      if (access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate)) return candidate;
      start = end + 1;
    }
  }
  return {};
}

}  // namespace print
