#pragma once
// SIGTERM (a shutdown, kill) and SIGHUP (the session ended) reach the desktop program as the
// user's cancel does: a window's run stops after the document in work and writes its message
// file, then every window closes and the program ends as through "Programm beenden". The
// handler only writes a byte into a pipe; the rest runs in the event loop. A second signal
// before the first was answered ends the program at once.

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace gui {

class TerminationSignals : public QObject {
 public:
  // Installs the handlers; each signal is answered in the event loop by endProgram.
  TerminationSignals();
  ~TerminationSignals() override;  // restores the previous handlers
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  void readSignal();

  int pipe_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
};

// Cancels the run of every open generation window, closes the other windows and leaves every
// event loop (a modal window's and the application's), so that the program ends once a
// cancelled run has returned.
void endProgram();

}  // namespace gui
