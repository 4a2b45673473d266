#pragma once
// The lock a generation run holds on its output folder for its whole length, so that two runs
// (two users on a shared folder, two windows, a window and the command line) never clean up or
// overwrite each other's files: an flock on the hidden file ".quelbrix-lock" in the folder, which
// also names its holder (process id, machine, start time) for the second run's message. The
// destructor releases the lock and removes the file.

#include <filesystem>
#include <string>

namespace app {

struct RunServices;

inline constexpr const char* kLockFileName = ".quelbrix-lock";

class OutputFolderLock {
 public:
  // Locks folder. When another run holds it (after a short grace for a passing probe), or
  // something other than a regular file lies at the lock file's name, refusal() says why in
  // German and the run must not start. A folder that cannot hold the lock file (missing,
  // read-only) or a file system without locks gives no lock and no refusal: the run goes on.
  explicit OutputFolderLock(const std::filesystem::path& folder);
  // The lock on the output folder of the run's settings; a refusal is also logged (level 2).
  explicit OutputFolderLock(const RunServices& run);
  ~OutputFolderLock();
  OutputFolderLock(const OutputFolderLock&) = delete;
  OutputFolderLock& operator=(const OutputFolderLock&) = delete;

  bool held() const { return fd_ >= 0; }
  const std::string& refusal() const { return refusal_; }

  // Whether a run (of any process, this one included) holds the lock on folder now.
  static bool heldByRun(const std::filesystem::path& folder);

 private:
  std::filesystem::path file_;
  int fd_ = -1;
  std::string refusal_;
};

}  // namespace app
