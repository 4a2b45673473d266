#include "print/step_thread.h"

#include <utility>

#include "print/worker_slot.h"

namespace print {

StepThread::StepThread() : thread_([this] { loop(); }) {}

StepThread::~StepThread() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void StepThread::run(std::function<void()> step) {
  {
    std::lock_guard lock(mutex_);
    step_ = std::move(step);
  }
  wake_.notify_one();
}

void StepThread::loop() {
  // A step runs in place of its caller, which serves the events meanwhile.
  neverServeEvents();
  for (;;) {
    std::function<void()> step;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return ending_ || step_; });
      if (!step_) return;
      step = std::exchange(step_, nullptr);
    }
    step();
  }
}

StepThread& stepThread() {
  thread_local StepThread thread;
  return thread;
}

}  // namespace print
