#pragma once
// The printing of a run on several workers: each worker renders its finished documents to PDF
// itself, and one printing thread hands them to CUPS one after the other in the order of the
// selection, waiting for each until it has left the queue (and the closing pause), while the
// workers go on. The order is that of the run's units (PrintUnit) and, within a unit, of its
// documents. Failures are logged when they happen and added to their documents' message lists
// when the run finishes. A document not yet handed over when the user cancels is not printed
// and named as such.

#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace app {
class clsDebug;
}

namespace print {

class PrintOrder {
 public:
  // Renders document to a PDF in a folder of its own (the calling worker's LibreOffice), which
  // goes with the PDF once it has been handed over: false with reason.
  using Render = std::function<bool(const std::filesystem::path& document,
                                    std::filesystem::path& pdf, std::string& reason)>;
  // Hands pdf to the printer under the document's title: the job id, or 0 with reason.
  using Submit = std::function<int(const std::filesystem::path& pdf,
                                   const std::filesystem::path& document, std::string& reason)>;

  // Installs itself as the program's print order (current()) until it goes.
  PrintOrder(Render render, Submit submit);
  ~PrintOrder();
  PrintOrder(const PrintOrder&) = delete;
  PrintOrder& operator=(const PrintOrder&) = delete;

  // The installed order while a run is open on it, else null.
  static PrintOrder* running();
  static PrintOrder* current();

  // Opens a run (on the thread that serves the front end); log: the run's log.
  void beginRun(const app::clsDebug& log);
  // Renders the document on the calling thread and queues it behind the documents before it.
  // messages: the run's list that the document's failures go to at the end. False with reason
  // when it could not be rendered. Waits while many documents wait ahead of it.
  bool add(const std::filesystem::path& document, std::vector<std::string>* messages,
           std::string& reason);
  // Every document of the unit has been added.
  void unitDone(std::size_t unit);
  // Waits, serving the front end's events, until each document of the run has been handled,
  // then adds the failures to the message lists and closes the run. Answers whether the user's
  // cancel cut the printing short (a wait ended by it, or documents left unprinted).
  bool finishRun();

 private:
  struct Ticket {
    std::filesystem::path pdf, document;
    std::vector<std::string>* messages = nullptr;
  };
  using Key = std::pair<std::size_t, std::size_t>;  // unit, document within the unit

  void work();
  void handle(const Ticket& ticket);
  void fail(const Ticket& ticket, const std::string& what, const std::string& reason);
  void markCancelled();
  bool nextTicket(std::unique_lock<std::mutex>& lock, Ticket& ticket);

  Render render_;
  Submit submit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<Key, Ticket> waiting_;
  std::vector<bool> unitsDone_;
  std::size_t unit_ = 0, document_ = 0;  // the next to hand over
  std::size_t loose_ = 0;                // documents added outside a unit
  bool open_ = false, ending_ = false, idle_ = true, quit_ = false;
  bool cancelled_ = false;
  std::unique_ptr<app::clsDebug> log_;
  std::vector<std::pair<std::vector<std::string>*, std::string>> failures_;
  std::thread thread_;  // last: starts once everything above is in place
};

// The unit of a run the calling thread works on: its documents print in order behind those of
// the units before it. Tells the running order when the unit is done.
class PrintUnit {
 public:
  explicit PrintUnit(std::size_t unit);
  ~PrintUnit();
  PrintUnit(const PrintUnit&) = delete;
  PrintUnit& operator=(const PrintUnit&) = delete;

 private:
  std::size_t unit_;
};

}  // namespace print
