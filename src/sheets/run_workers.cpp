#include "sheets/run_workers.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "data/ffh_lookups.h"
#include "print/print_order.h"
#include "print/worker_slot.h"

namespace sheets {

// What the workers hand to the calling thread, and how many of them have stopped.
class RunWorkers::Queue {
 public:
  void post(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    ready_.notify_one();
  }
  void workerStopped() {
    std::lock_guard lock(mutex_);
    ++stopped_;
    ready_.notify_one();
  }
  // Runs the tasks waiting (after at most wait for one to come), each followed by served(), or
  // served() once when none came; false once every worker has stopped and nothing is left.
  bool serve(unsigned workers, std::chrono::milliseconds wait,
             const std::function<void()>& served) {
    std::deque<std::function<void()>> batch;
    bool allStopped = false;
    {
      std::unique_lock lock(mutex_);
      ready_.wait_for(lock, wait, [&] { return !tasks_.empty() || stopped_ == workers; });
      batch.swap(tasks_);
      allStopped = stopped_ == workers;
    }
    for (auto& task : batch) {
      task();
      served();
    }
    if (batch.empty()) served();
    return !(allStopped && batch.empty());
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> tasks_;
  unsigned stopped_ = 0;
};

namespace {

// A worker's user interface: its boxes and questions are put to the run's own interface on the
// calling thread, and the worker waits for the answer as a single-threaded run would.
class ForwardingUserInterface : public app::UserInterface {
 public:
  using Post = std::function<void(std::function<void()>)>;
  ForwardingUserInterface(Post post, app::UserInterface& target)
      : post_(std::move(post)), target_(target) {}

  void message(app::MessageIcon icon, const std::string& text) override {
    ask([&] {
      target_.message(icon, text);
      return true;
    });
  }
  bool askYesNo(const std::string& text) override {
    return ask([&] { return target_.askYesNo(text); });
  }

 private:
  bool ask(const std::function<bool()>& question) {
    std::promise<bool> answer;
    auto future = answer.get_future();
    post_([&] {
      try {
        answer.set_value(question());
      } catch (...) {
        answer.set_exception(std::current_exception());
      }
    });
    return future.get();
  }

  Post post_;
  app::UserInterface& target_;
};

}  // namespace

RunWorkers::RunWorkers(const word::RunContext& caller, unsigned jobs)
    : caller_(caller), jobs_(jobs == 0 ? 1 : jobs) {}

void RunWorkers::onCaller(std::function<void()> task) {
  if (queue_)
    queue_->post(std::move(task));
  else
    task();
}

namespace {

// Printing during a run: the documents go to the printer in the order of the units, and the
// run ends once the last has been waited for (its failures then join the messages).
class RunPrintOrder {
 public:
  RunPrintOrder(const app::clsDebug& log, bool& cancelled)
      : order_(print::PrintOrder::current()), cancelled_(cancelled) {
    if (order_) order_->beginRun(log);
  }
  ~RunPrintOrder() {
    if (order_) cancelled_ = order_->finishRun();
  }
  RunPrintOrder(const RunPrintOrder&) = delete;
  RunPrintOrder& operator=(const RunPrintOrder&) = delete;

 private:
  print::PrintOrder* order_;
  bool& cancelled_;
};

}  // namespace

void RunWorkers::run(std::size_t count, const Unit& unit) {
  const RunPrintOrder printing(caller_.log, printingCancelled_);
  if (jobs_ == 1 || count <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      const print::PrintUnit printUnit(i);
      if (!unit(i, caller_)) break;
    }
    return;
  }
  runOnWorkers(count, unit);
}

void RunWorkers::runOnWorkers(std::size_t count, const Unit& unit) {
  Queue queue;
  queue_ = &queue;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  std::mutex errorMutex;
  std::exception_ptr error;
  auto fail = [&](std::exception_ptr e) {
    std::lock_guard lock(errorMutex);
    if (!error) error = std::move(e);
    stop = true;
  };
  const unsigned wanted = static_cast<unsigned>(std::min<std::size_t>(jobs_, count));
  unsigned workers = 0;  // started
  {
    std::vector<std::jthread> threads;
    threads.reserve(wanted);
    for (; workers < wanted; ++workers) {
      // A thread the system refuses ends the run like a failing unit; the calling thread still
      // serves those already started until they stop.
      try {
        threads.emplace_back([&, slot = workers] {
          // Its own LibreOffice when documents are rendered; the window is the caller's.
          const print::WorkerSlot workerSlot(slot);
          try {
            const auto log = caller_.log.forWorker();
            ForwardingUserInterface ui([&queue](auto task) { queue.post(std::move(task)); },
                                       caller_.ui);
            const app::RunServices services{caller_.settings, *log, ui};
            data::clsDBFData db = caller_.db.forWorker(services);
            word::clsWordDoc doc(services, false);
            word::RunContext run{services, db, doc};
            while (!stop) {
              const std::size_t i = next++;
              if (i >= count) break;
              const print::PrintUnit printUnit(i);
              if (!unit(i, run)) stop = true;
            }
          } catch (...) {
            fail(std::current_exception());
          }
          queue.workerStopped();
        });
      } catch (...) {
        fail(std::current_exception());
        break;
      }
    }
    // The calling thread serves until every worker has stopped: the workers' boxes wait for it,
    // and the window's events run after each progress step as they would with one worker.
    for (;;) {
      try {
        if (!queue.serve(workers, std::chrono::milliseconds(10),
                         [this] { caller_.ui.processEvents(); }))
          break;
      } catch (...) {
        fail(std::current_exception());
      }
    }
  }
  queue_ = nullptr;
  if (error) std::rethrow_exception(error);
}

Turn startTurn(const word::RunContext& run, RunWorkers& workers, const std::string& polygon,
               std::string& types, const std::atomic<bool>& cancel, const Progress& progress,
               std::size_t position, std::size_t count, const std::string& item) {
  if (data::FfhReportGetBogentypen(polygon, types, run.db) != 100) return Turn::kUntyped;
  if (cancel.load()) return Turn::kCancelled;
  if (progress)
    workers.onCaller([&progress, position, count, item] { progress(position, count, item); });
  run.ui.processEvents();
  return Turn::kGo;
}

unsigned workersFor(unsigned jobs) {
  if (jobs == 0) jobs = std::max(1u, std::thread::hardware_concurrency());
  return jobs;
}

}  // namespace sheets
