#include "cli/cancel_signal.h"

#include <unistd.h>

#include <csignal>
#include <iterator>

namespace cli {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> g_cancel{false};
struct sigaction g_previous[std::size(kSignals)]{};

void onSignal(int signal) {
  if (g_cancel.exchange(true)) _exit(128 + signal);
  const char note[] = "\nAbbruch angefordert: der laufende Bogen wird noch fertiggestellt.\n";
  // After SIGHUP the terminal may be gone; a failed write changes nothing.
  (void)!write(STDERR_FILENO, note, sizeof note - 1);
}

}  // namespace

CancelOnInterrupt::CancelOnInterrupt() {
  g_cancel = false;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    sigaction(kSignals[i], &action, &g_previous[i]);
}

CancelOnInterrupt::~CancelOnInterrupt() {
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    sigaction(kSignals[i], &g_previous[i], nullptr);
}

const std::atomic<bool>& CancelOnInterrupt::flag() const {
  return g_cancel;
}

bool interrupted() {
  return g_cancel.load();
}

}  // namespace cli
