#pragma once
// While a generation run lives, the files each of its documents reads again (the templates, the
// umlaut table, the settings file) are taken as they were when the run first looked at them: a
// run works with one version of each, and asking the file system again for every document costs
// more than filling it. A run holds a FilesKeptForRun for its whole length. A cache notes the
// run in which it last looked at its file (keptRun()) and skips looking again only within that
// same run: a file changed between two runs of one process is seen by the second.

#include <cstdint>

namespace base {

class FilesKeptForRun {
 public:
  FilesKeptForRun();
  ~FilesKeptForRun();
  FilesKeptForRun(const FilesKeptForRun&) = delete;
  FilesKeptForRun& operator=(const FilesKeptForRun&) = delete;
};

// 0 while no run is held, else the number of the current run, which no earlier run had (runs
// held at the same time share one).
std::uint64_t keptRun();

// Whether a cache that last looked at its file in run seenIn may skip looking now.
inline bool keptSince(std::uint64_t seenIn) {
  const std::uint64_t run = keptRun();
  return run != 0 && run == seenIn;
}

}  // namespace base
