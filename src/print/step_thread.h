#pragma once
// The thread that runs the blocking steps of one event-serving thread (see whileServingEvents),
// kept for its next step: starting a thread for each step cost more than making a clean copy,
// as a new thread also sets up its own random generator and the packers' caches anew.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace print {

class StepThread {
 public:
  StepThread();
  // Waits for the step under way, if any, and ends the thread.
  ~StepThread();
  StepThread(const StepThread&) = delete;
  StepThread& operator=(const StepThread&) = delete;

  // Hands one step to the thread; the caller waits for it (through what the step signals)
  // before it hands over the next.
  void run(std::function<void()> step);

 private:
  void loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::function<void()> step_;
  bool ending_ = false;
  std::thread thread_;  // last: started once the members it uses exist
};

// The calling thread's own step thread, started on first use and ended with the calling thread.
StepThread& stepThread();

}  // namespace print
