#include "app/cls_debug.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

#include "app/output_folder_lock.h"
#include "app/settings.h"
#include "base/atomic_write.h"
#include "base/regular_file.h"
#include "base/visible_text.h"

namespace app {

const char* const kProgramVersion = QUELBRIX_VERSION;

std::string localDateTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[128];
  std::size_t n = std::strftime(buf, sizeof buf, "%x %X", &local);
  return std::string(buf, n);
}

clsDebug::clsDebug(const Settings& settings) : settings_(settings) {}

clsDebug::~clsDebug() {
  if (!worker_) Ausgabe(1, "Programm beendet " + localDateTime());
}

std::unique_ptr<clsDebug> clsDebug::forWorker() const {
  auto view = std::make_unique<clsDebug>(settings_);
  view->path_ = path_;
  view->sink_ = sink_;
  view->initialised_ = initialised_;
  view->worker_ = true;
  return view;
}

bool clsDebug::Init() {
  if (initialised_ || worker_) return initialised_;
  failure_.clear();
  std::string folder = settings_.get(kDataFilesPfad);
  std::error_code ec;
  if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return false;
  std::string path = (std::filesystem::path(folder) / kLogFileName).string();
  // Opened once, never through a planted link and never a pipe (which would block the program).
  int error = 0;
  const int fd = base::openRegularFile(path, O_WRONLY | O_CREAT | O_APPEND, 0666, error);
  if (fd < 0) {
    failure_ = path + ": " + base::fileErrorText(error);
    return false;
  }
  // A log that a run in the same folder is writing (another program on a shared folder) is
  // continued rather than cut off.
  if (!OutputFolderLock::heldByRun(folder) && ftruncate(fd, 0) != 0) {
    failure_ = path + ": " + base::fileErrorText(errno);
    close(fd);
    return false;
  }
  {
    std::lock_guard lock(sink_->mutex);
    sink_->file.reset(fdopen(fd, "a"));
    if (!sink_->file) {
      close(fd);
      return false;
    }
    sink_->open = true;
  }
  path_ = path;
  AusgabeKopf();
  initialised_ = true;
  return true;
}

void clsDebug::Ausgabe(int16_t level, const std::string& text) const noexcept {
  if (capture_ && level == 2) {
    try {
      capture_->push_back(text);
    } catch (...) {
    }
  }
  if (!sink_->open) return;
  try {
    // Appended piece by piece: GCC 12 at -O3 takes "literal" + std::string&& for an
    // overlapping copy (-Wrestrict, a false alarm) and would stop a Release build.
    std::string line = "D";
    line += std::to_string(level);
    line += ' ';
    line += base::visibleText(text);  // one line, and nothing a viewer would act on
    line += "\r\n";
    std::lock_guard lock(sink_->mutex);
    if (!sink_->file) return;
    std::fwrite(line.data(), 1, line.size(), sink_->file.get());
    std::fflush(sink_->file.get());
  } catch (...) {
    // A lost log line must never disturb the caller.
  }
}

void clsDebug::AusgabeKopf() const {
  const std::string rule = "#" + std::string(70, '+');
  Ausgabe(1, rule);
  Ausgabe(1, std::string("# Tarnholm Quelbrix ") + kProgramVersion);
  Ausgabe(1, "# Programmstart: " + localDateTime());
  Ausgabe(1, rule);
  Ausgabe(1, "");
}

}  // namespace app
