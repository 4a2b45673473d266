#pragma once
// Runs the units of a generation run (a polygon and its documents) on several workers. Each
// worker owns its document engine and its own read-only access to the survey, and writes into
// the run's log through a view of its own; the calling thread meanwhile serves the user
// interface and everything the workers hand to it. With one job the units run one after the
// other on the calling thread with the caller's own context, exactly as without workers.
// While the program prints (print::PrintOrder), a run returns once its last document has been
// printed and waited for.

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <string>

#include "word/run_context.h"

namespace sheets {

class RunWorkers {
 public:
  // One unit of work, on the context of the worker that took it; answers false to stop the
  // run after this unit (cancelled, aborted). Units are taken in order; every unit taken is
  // finished.
  using Unit = std::function<bool(std::size_t unit, const word::RunContext& run)>;

  // caller: the run's context on the calling thread (its settings, log and user interface are
  // shared with the workers, its database is the one the workers' accesses copy).
  // jobs: the number of workers; 0 counts as 1.
  RunWorkers(const word::RunContext& caller, unsigned jobs);
  RunWorkers(const RunWorkers&) = delete;
  RunWorkers& operator=(const RunWorkers&) = delete;

  // Runs units 0 .. count - 1 and returns once every worker has stopped. An exception that
  // leaves a unit stops the others from taking more units and is rethrown here, once they
  // have finished theirs.
  void run(std::size_t count, const Unit& unit);

  // Runs task on the calling thread: at once with one job, else the next time the calling
  // thread serves (tasks keep their order). For progress callbacks and the like.
  void onCaller(std::function<void()> task);

  unsigned jobs() const { return jobs_; }
  // Whether the user's cancel cut the last run's printing short: the run counts as cancelled
  // even when every unit was done.
  bool printingCancelled() const { return printingCancelled_; }

 private:
  class Queue;
  void runOnWorkers(std::size_t count, const Unit& unit);

  const word::RunContext& caller_;
  unsigned jobs_;
  Queue* queue_ = nullptr;  // the caller's task queue while workers run
  bool printingCancelled_ = false;
};

// How a polygon's (or one of its sheets') turn in a run starts.
enum class Turn { kUntyped, kCancelled, kGo };
using Progress = std::function<void(std::size_t position, std::size_t count, const std::string&)>;

// The start of a turn as both runs make it: the polygon's sheet types into types (none:
// kUntyped), then the cancel test (kCancelled), then progress (position, count, item) on the
// calling thread and the worker's pending events.
Turn startTurn(const word::RunContext& run, RunWorkers& workers, const std::string& polygon,
               std::string& types, const std::atomic<bool>& cancel, const Progress& progress,
               std::size_t position, std::size_t count, const std::string& item);

// The workers a run uses: jobs, 0 meaning one per core. Printing and PDF copies run on every
// worker too: each renders with a LibreOffice of its own, and the printing keeps the order of
// the selection (print::PrintOrder).
unsigned workersFor(unsigned jobs);

}  // namespace sheets
