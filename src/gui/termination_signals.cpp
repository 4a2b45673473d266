#include "gui/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <atomic>
#include <csignal>
#include <iterator>

#include "gui/generation_window.h"

namespace gui {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};

std::atomic<int> g_writeEnd{-1};
std::atomic<bool> g_pending{false};
struct sigaction g_previous[std::size(kSignals)]{};

void writeSignalByte(int signal) {
  // Unanswered since the last one: the event loop does not run, so nothing else would end it.
  if (g_pending.exchange(true)) _exit(128 + signal);
  const unsigned char byte = static_cast<unsigned char>(signal);
  (void)!write(g_writeEnd.load(), &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals() {
  if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_pending = false;
  g_writeEnd = pipe_[1];
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readSignal(); });
  struct sigaction action {};
  action.sa_handler = writeSignalByte;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    sigaction(kSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals() {
  if (!notifier_) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    sigaction(kSignals[i], &g_previous[i], nullptr);
  g_writeEnd = -1;
  notifier_.reset();
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void TerminationSignals::readSignal() {
  unsigned char byte = 0;
  while (read(pipe_[0], &byte, 1) == 1) {
    g_pending = false;
    endProgram();
  }
}

void endProgram() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* window = dynamic_cast<GenerationWindow*>(w); window && window->runActive())
      window->cancelRun();
  }
  // A window in a run refuses to close; its run goes on until the document in work is finished
  // and the message file is written. Boxes shown from then on do not wait for an answer: every
  // event loop is left, also the ones that start later.
  QApplication::closeAllWindows();
  QCoreApplication::exit(0);
}

}  // namespace gui
