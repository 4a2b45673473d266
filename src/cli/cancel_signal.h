#pragma once
// Ctrl-C, SIGTERM (a shutdown, kill) and SIGHUP (the terminal closed) during a run act as the
// cancel button: the first one sets the flag (the item in work is finished, nothing after it
// starts, the message file is written); a second one ends the program at once.

#include <atomic>

namespace cli {

class CancelOnInterrupt {
 public:
  CancelOnInterrupt();   // installs the handler
  ~CancelOnInterrupt();  // restores the previous ones
  CancelOnInterrupt(const CancelOnInterrupt&) = delete;
  CancelOnInterrupt& operator=(const CancelOnInterrupt&) = delete;

  const std::atomic<bool>& flag() const;
};

// Whether Ctrl-C was pressed since the last CancelOnInterrupt was installed (for waits that
// begin before the run's handler exists, such as the print wait).
bool interrupted();

}  // namespace cli
