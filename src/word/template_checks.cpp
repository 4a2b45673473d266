#include "word/template_checks.h"

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "base/run_files.h"
#include "word/template_check.h"

namespace fs = std::filesystem;

namespace word {
namespace {

class TemplateChecks {
 public:
  // Whether a regular file lies at file (a link followed, as opening it does).
  bool isFile(const fs::path& file) {
    std::lock_guard lock(mutex_);
    return identity(file).regular;
  }
  // withBookmarks adds the bookmarks the routines write into the template of key.
  std::string problemOf(const std::string& key, const fs::path& templateFile, bool withBookmarks) {
    std::lock_guard lock(mutex_);
    const Identity id = identity(templateFile);
    Entry& e = entries_[templateFile.string() + (withBookmarks ? "\n+" : "\n")];
    if (!id.known || !e.checked || !(e.id == id))
      e = {true, id,
           templateProblem(templateFile,
                           withBookmarks ? bookmarksOfTemplate(key) : std::vector<std::string>{})};
    return e.problem;
  }

 private:
  struct Identity {
    bool known = false;  // the file could be looked at
    bool regular = false;
    std::int64_t seconds = 0, nanoseconds = 0;
    std::uint64_t size = 0;
    bool operator==(const Identity&) const = default;
  };
  struct Entry {
    bool checked = false;
    Identity id;
    std::string problem;
  };
  // One look at the file per use; one per run while a run keeps the files it has seen.
  Identity identity(const fs::path& file) {
    Seen& seen = identities_[file.string()];
    if (seen.id.known && base::keptSince(seen.run)) return seen.id;
    struct stat st {};
    seen.id = ::stat(file.c_str(), &st) != 0
                  ? Identity{}
                  : Identity{true, S_ISREG(st.st_mode), st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
                             static_cast<std::uint64_t>(st.st_size)};
    seen.run = base::keptRun();
    return seen.id;
  }
  struct Seen {
    Identity id;
    std::uint64_t run = 0;  // base::keptRun() when it was taken
  };

  std::mutex mutex_;  // the workers of a run share the checks
  std::map<std::string, Entry> entries_;
  std::map<std::string, Seen> identities_;
};

TemplateChecks& templateChecks() {
  static TemplateChecks checks;
  return checks;
}

}  // namespace

bool templateIsFile(const fs::path& file) {
  return templateChecks().isFile(file);
}

std::string templateProblemOf(const std::string& key, const fs::path& templateFile,
                              bool withBookmarks) {
  return templateChecks().problemOf(key, templateFile, withBookmarks);
}

}  // namespace word
