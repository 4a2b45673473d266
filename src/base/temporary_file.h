#pragma once
// The temporary files and work folders the program leaves while it works. Every name carries the
// program's marker and the process id of the run that made it (".quelbrix-tmp-<pid>-XXXXXX-NAME"
// beside a target, "<temporary folder>/quelbrix-<kind>-<pid>-XXXXXX"), so that a clean-up at
// start removes nothing of the user's and nothing a live run still works on.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace base {

inline constexpr std::string_view kTemporaryMarker = ".quelbrix-tmp-";

// A new file beside a target, created exclusively (never an existing file, never through a
// link) with the access rights a new file gets (0666 less the umask). Removed again by the
// destructor unless it was renamed onto its target.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // The errno value of the failed creation; 0 when the file exists.
  int error() const { return error_; }
  int fd() const { return fd_; }
  const std::filesystem::path& path() const { return path_; }
  // Each answers 0 or the errno value of the failure.
  int writeAll(std::string_view bytes);
  int close();
  int renameOntoTarget();

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  int fd_ = -1;
  int error_ = 0;
  bool renamed_ = false;
};

// The process id in the name of a temporary file of ours; 0 when the name is not one.
pid_t temporaryFileOwner(std::string_view name);

// Makes "<temporary folder>/quelbrix-<kind>-<pid>-XXXXXX", readable by the user alone, unless
// folder already names one. False when it cannot be made; folder then stays empty.
bool makeWorkFolder(const std::string& kind, std::filesystem::path& folder);
// The process id in the name of a work folder of ours; 0 when the name is not one.
pid_t workFolderOwner(std::string_view name);

// Whether a process of that id runs on this machine.
bool processAlive(pid_t pid);

}  // namespace base
