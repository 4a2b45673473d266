#include "print/sleep.h"

#include <algorithm>
#include <thread>

#include "app/program_objects.h"

namespace print {
namespace {

SleepFunction& current() {
  static SleepFunction f;
  return f;
}

}  // namespace

void Sleep(uint32_t milliseconds) {
  if (current()) {
    current()(milliseconds);
    return;
  }
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    std::this_thread::sleep_for(std::min<Clock::duration>(end - now, kServeInterval));
    serveEvents();
  }
}

SleepFunction installSleep(SleepFunction sleep) {
  SleepFunction old = std::move(current());
  current() = std::move(sleep);
  return old;
}

void serveEvents() {
  if (servesEvents()) app::ui().processEvents();
}

}  // namespace print
