#include "print/sleep.h"

#include <chrono>
#include <thread>

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
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

SleepFunction installSleep(SleepFunction sleep) {
  SleepFunction old = std::move(current());
  current() = std::move(sleep);
  return old;
}

}  // namespace print
