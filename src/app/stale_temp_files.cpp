#include "app/stale_temp_files.h"

#include <algorithm>
#include <string>

#include "app/run_services.h"

namespace fs = std::filesystem;

namespace app {
namespace {

bool isAsciiAlnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::size_t removeIn(const fs::path& folder) {
  std::size_t removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!isStaleTemporaryName(name) || !it->is_regular_file(ec)) continue;
    std::error_code removeError;
    if (fs::remove(it->path(), removeError)) ++removed;
  }
  return removed;
}

}  // namespace

bool isStaleTemporaryName(const std::string& name) {
  // "." + target + "." + six characters of mkstemp.
  if (name.size() < 9 || name[0] != '.' || name[name.size() - 7] != '.') return false;
  if (!std::all_of(name.end() - 6, name.end(), isAsciiAlnum)) return false;
  const std::string target = name.substr(1, name.size() - 8);
  return target.size() > 5 && (target.ends_with(".docx") || target == "MessageReport.txt");
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

void removeLeftoversOfKilledRuns(const RunServices& run) {
  const std::string out = run.settings.get(kDataFilesPfad);
  if (out.empty()) return;
  if (const std::size_t n = removeStaleTemporaryFiles(out))
    run.log.Ausgabe(3,
                    std::to_string(n) + " temporäre Datei(en) eines abgebrochenen Laufs entfernt.");
}

}  // namespace app
