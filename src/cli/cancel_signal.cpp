#include "cli/cancel_signal.h"

#include <csignal>
#include <unistd.h>

namespace cli {
namespace {

std::atomic<bool> g_cancel{false};
struct sigaction g_previous {};

void onInterrupt(int) {
  if (g_cancel.exchange(true)) _exit(130);
  const char note[] = "\nAbbruch angefordert: der laufende Bogen wird noch fertiggestellt.\n";
  (void)!write(STDERR_FILENO, note, sizeof note - 1);
}

}  // namespace

CancelOnInterrupt::CancelOnInterrupt() {
  g_cancel = false;
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &g_previous);
}

CancelOnInterrupt::~CancelOnInterrupt() { sigaction(SIGINT, &g_previous, nullptr); }

const std::atomic<bool>& CancelOnInterrupt::flag() const { return g_cancel; }

bool interrupted() { return g_cancel.load(); }

}  // namespace cli
