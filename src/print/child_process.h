#pragma once
// A program started in a process group of its own, with its output sent to a file. The group
// is ended when the object goes, so a helper that forks never outlives the run; on request a
// small guard process also ends it when this process dies without cleaning up (a crash, a
// second Ctrl-C).

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace print {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (searched on PATH) with stdin from /dev/null and stdout and stderr appended
  // to output; with endWithParent, guarded as above. talk, when given, is a descriptor (one end
  // of a socket pair) that becomes the program's stdin and stdout instead; the caller keeps it.
  // Answers an empty object and sets reason when it cannot be started.
  static ChildProcess start(const std::vector<std::string>& argv,
                            const std::filesystem::path& output, std::string& reason,
                            bool endWithParent = false, int talk = -1);

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // True while the program has not ended.
  bool running();
  // Waits until the program ends and answers its exit status (128 + signal when killed), or
  // nullopt when it is still running after timeout. idle, when given, is called between two
  // looks at the program (every few milliseconds).
  std::optional<int> wait(std::chrono::milliseconds timeout,
                          const std::function<void()>& idle = {});
  // Asks the whole group to end, and kills it when it has not ended after grace; idle as for
  // wait.
  void terminate(std::chrono::milliseconds grace = std::chrono::seconds(10),
                 const std::function<void()>& idle = {});

 private:
  bool reap(int options);
  void startGuard();
  void releaseGuard();

  pid_t pid_ = -1;
  std::optional<int> status_;
  int guardPipe_ = -1;  // write end; closing it without a byte makes the guard end the group
  pid_t guard_ = -1;
};

// The first of names that is an executable file in a folder of PATH; empty when none is.
std::filesystem::path findProgram(const std::vector<std::string>& names);

}  // namespace print
