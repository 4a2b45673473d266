#include "app/stale_temp_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "app/run_services.h"
#include "base/temporary_file.h"

namespace fs = std::filesystem;

namespace app {
namespace {

std::size_t removeIn(const fs::path& folder) {
  std::size_t removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!isStaleTemporaryName(name) || !it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    std::error_code removeError;
    if (fs::remove(it->path(), removeError)) ++removed;
  }
  return removed;
}

}  // namespace

bool isStaleTemporaryName(const std::string& name) {
  const pid_t owner = base::temporaryFileOwner(name);
  return owner > 0 && !base::processAlive(owner);
}

std::size_t removeStaleTemporaryFiles(const fs::path& folder) {
  std::size_t removed = removeIn(folder);
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code dirError;
    if (it->is_directory(dirError) && !it->is_symlink(dirError)) removed += removeIn(it->path());
  }
  return removed;
}

std::size_t removeStaleWorkFolders() {
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (ec) return 0;
  std::size_t removed = 0;
  for (fs::directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec)) {
    const pid_t owner = base::workFolderOwner(it->path().filename().string());
    struct stat st {};
    // Another user's folder is not ours to judge (and the sticky temporary folder forbids it).
    if (owner <= 0 || base::processAlive(owner) || lstat(it->path().c_str(), &st) != 0 ||
        !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
      continue;
    std::error_code removeError;
    if (fs::remove_all(it->path(), removeError) > 0) ++removed;
  }
  return removed;
}

void removeLeftoversOfKilledRuns(const RunServices& run) {
  if (const std::size_t n = removeStaleWorkFolders())
    run.log.Ausgabe(3, std::to_string(n) + " Arbeitsordner eines abgebrochenen Laufs entfernt.");
  const std::string out = run.settings.get(kDataFilesPfad);
  if (out.empty()) return;
  if (const std::size_t n = removeStaleTemporaryFiles(out))
    run.log.Ausgabe(3,
                    std::to_string(n) + " temporäre Datei(en) eines abgebrochenen Laufs entfernt.");
}

}  // namespace app
