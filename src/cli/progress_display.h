#pragma once
// Progress of a run on the terminal: a bar with the item in work and the elapsed time when
// stdout is a terminal, plain lines otherwise.

#include <chrono>
#include <iosfwd>
#include <string>

namespace cli {

class ProgressDisplay {
 public:
  ProgressDisplay(std::ostream& out, bool terminal, std::string label);
  // Shows item `position` of `count`; control characters in item are shown, not sent.
  void show(std::size_t position, std::size_t count, const std::string& item);
  // Ends the bar's line.
  void finish();
  // Elapsed time since construction as "hh:mm:ss".
  std::string elapsed() const;

 private:
  std::ostream& out_;
  bool terminal_;
  std::string label_;
  std::chrono::steady_clock::time_point start_;
  bool open_ = false;
};

}  // namespace cli
