#pragma once
// Progress of a run on stderr. On a terminal one line that is redrawn in place and always fits
// the terminal's width; with --verbose one line per item taken in hand; otherwise (--quiet, or
// stderr is no terminal) nothing. The count is of the items finished, so it never goes back,
// however many workers take items side by side.

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <string>

namespace cli {

enum class Verbosity { Quiet, Normal, Verbose };

// The width of the terminal on fd: its window size, else $COLUMNS, else 80.
std::size_t terminalColumns(int fd);

class ProgressDisplay {
 public:
  enum class Mode { Off, Line, Lines };
  static Mode modeFor(Verbosity verbosity, bool terminal);

  // label: what an item is, e.g. "Geländebogen"; workers: how many items may be in work at
  // once; columns: the width the line must fit; verb: what --verbose says is done to an item.
  ProgressDisplay(std::ostream& err, Mode mode, std::string label, unsigned workers,
                  std::size_t columns, std::string verb = "Generiere");
  // One more item of count taken in hand (the workers' callbacks arrive in any order);
  // control characters in item are shown, not sent.
  void started(std::size_t count, const std::string& item);
  // Clears the line (the summary follows in its place).
  void finish();
  // Elapsed time since construction as "hh:mm:ss".
  std::string elapsed() const;

  // The line for done of count with label, item and time, at most columns - 1 characters wide
  // (a line that fills the last column wraps on many terminals). What does not fit goes first:
  // the bar, then the end of the item's text, then the time.
  static std::string line(std::size_t done, std::size_t count, const std::string& label,
                          const std::string& item, const std::string& time, std::size_t columns);

 private:
  std::ostream& err_;
  std::string verb_;
  Mode mode_;
  std::string label_;
  unsigned workers_;
  std::size_t columns_;
  std::size_t started_ = 0;
  std::chrono::steady_clock::time_point start_;
  bool open_ = false;
};

}  // namespace cli
