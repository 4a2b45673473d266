#pragma once
// Which worker of a run the calling thread is. Each worker renders with a LibreOffice of its
// own (the run's converter of its slot), and only the thread that serves the front end lets
// its events run: on a worker or on the run's printing thread serveEvents does nothing and a
// blocking step runs in place.

namespace print {

class WorkerSlot {
 public:
  // slot: the worker's number in its run (0, 1, ...).
  explicit WorkerSlot(unsigned slot);
  ~WorkerSlot();
  WorkerSlot(const WorkerSlot&) = delete;
  WorkerSlot& operator=(const WorkerSlot&) = delete;

 private:
  unsigned previousSlot_;
  bool previousServes_;
};

// The calling thread's slot; 0 on a thread that is no worker.
unsigned workerSlot();
// False on a worker's thread and on the run's printing thread.
bool servesEvents();
// Marks the calling thread as one that never serves the front end's events.
void neverServeEvents();

}  // namespace print
