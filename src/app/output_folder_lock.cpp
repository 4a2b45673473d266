#include "app/output_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "app/run_services.h"
#include "base/regular_file.h"
#include "base/system_error_text.h"

namespace app {
namespace {

// A check of the lock (heldByRun) holds it for a moment: a run waits that long before it takes
// the lock for another run's.
constexpr std::chrono::milliseconds kGrace(1500);
constexpr std::chrono::milliseconds kRetry(50);

std::string hostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

// The holder's lines as written by the lock: process id, machine, start time.
std::string holderText(int fd) {
  char buffer[512];
  const ssize_t n = pread(fd, buffer, sizeof buffer, 0);
  if (n <= 0) return "ein Prozess, der sich noch nicht eingetragen hat";
  std::string lines[3];
  std::size_t line = 0;
  for (ssize_t i = 0; i < n && line < 3; ++i) {
    if (buffer[i] == '\n')
      ++line;
    else
      lines[line] += buffer[i];
  }
  std::string text = "Prozess " + lines[0];
  if (!lines[1].empty() && lines[1] != hostName()) text += " auf dem Rechner " + lines[1];
  if (!lines[2].empty()) text += ", gestartet " + lines[2];
  return text;
}

bool sameFile(int fd, const std::filesystem::path& file) {
  struct stat open {};
  struct stat named {};
  return fstat(fd, &open) == 0 && lstat(file.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

}  // namespace

OutputFolderLock::OutputFolderLock(const std::filesystem::path& folder)
    : file_(folder / kLockFileName) {
  std::error_code ec;
  if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return;
  const auto giveUp = std::chrono::steady_clock::now() + kGrace;
  for (;;) {
    int error = 0;
    const int fd = base::openRegularFile(file_, O_RDWR | O_CREAT, 0666, error);
    if (fd < 0) {
      if (error == base::kNotRegularFile || error == EISDIR)
        refusal_ = "Der Ausgabeordner " + folder.string() +
                   " kann nicht für diesen Lauf gesperrt werden: " + file_.filename().string() +
                   " " + base::systemErrorText(error) + ".";
      return;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The holder before may have removed the file while this run waited for it.
      if (!sameFile(fd, file_)) {
        close(fd);
        continue;
      }
      const std::string holder =
          std::to_string(getpid()) + "\n" + hostName() + "\n" + localDateTime() + "\n";
      if (ftruncate(fd, 0) == 0) (void)!pwrite(fd, holder.data(), holder.size(), 0);
      fd_ = fd;
      return;
    }
    const bool busy = errno == EWOULDBLOCK;
    const std::string holder = busy ? holderText(fd) : std::string();
    close(fd);
    if (!busy) return;  // a file system without locks
    if (std::chrono::steady_clock::now() >= giveUp) {
      refusal_ = "Im Ausgabeordner " + folder.string() +
                 " erzeugt bereits ein anderer Lauf Dokumente (" + holder +
                 "). Bitte warten Sie, bis er beendet ist, oder wählen Sie einen anderen "
                 "Ausgabeordner.";
      return;
    }
    std::this_thread::sleep_for(kRetry);
  }
}

OutputFolderLock::OutputFolderLock(const RunServices& run)
    : OutputFolderLock(std::filesystem::path(run.settings.get(kDataFilesPfad))) {
  if (!refusal_.empty()) run.log.Ausgabe(2, "Fehler! " + refusal_);
}

OutputFolderLock::~OutputFolderLock() {
  if (fd_ < 0) return;
  // Removed while still locked: a run that opened the file meanwhile sees it is gone.
  unlink(file_.c_str());
  close(fd_);
}

bool OutputFolderLock::heldByRun(const std::filesystem::path& folder) {
  int error = 0;
  const int fd = base::openRegularFile(folder / kLockFileName, O_RDONLY, 0, error);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held;
}

}  // namespace app
