#include "print/print_order.h"

#include <chrono>
#include <limits>

#include "app/cls_debug.h"
#include "print/print_wait.h"
#include "print/sleep.h"
#include "print/worker_slot.h"

namespace print {
namespace fs = std::filesystem;

namespace {

// Enough rendered documents ahead of the printer to keep it busy, few enough that a long run
// does not fill the temporary folder with PDFs while a slow printer works.
constexpr std::size_t kMostWaiting = 32;
constexpr std::size_t kNoUnit = std::numeric_limits<std::size_t>::max();

PrintOrder*& installed() {
  static PrintOrder* order = nullptr;
  return order;
}

thread_local std::size_t currentUnit = kNoUnit;
thread_local std::size_t documentsOfUnit = 0;

}  // namespace

PrintOrder::PrintOrder(Render render, Submit submit)
    : render_(std::move(render)), submit_(std::move(submit)), thread_([this] { work(); }) {
  installed() = this;
}

PrintOrder::~PrintOrder() {
  if (installed() == this) installed() = nullptr;
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

PrintOrder* PrintOrder::current() {
  return installed();
}

PrintOrder* PrintOrder::running() {
  PrintOrder* order = installed();
  if (!order) return nullptr;
  std::lock_guard lock(order->mutex_);
  return order->open_ ? order : nullptr;
}

void PrintOrder::beginRun(const app::clsDebug& log) {
  std::lock_guard lock(mutex_);
  waiting_.clear();
  unitsDone_.clear();
  failures_.clear();
  unit_ = document_ = loose_ = 0;
  ending_ = cancelled_ = false;
  open_ = true;
  log_ = log.forWorker();
}

bool PrintOrder::add(const fs::path& document, std::vector<std::string>* messages,
                     std::string& reason) {
  Ticket ticket{{}, document, messages};
  if (!render_(document, ticket.pdf, reason)) return false;
  const std::size_t unit = currentUnit;
  std::unique_lock lock(mutex_);
  // A document outside any unit goes behind all others.
  const Key key{unit, unit == kNoUnit ? loose_++ : documentsOfUnit++};
  // The printer's own unit never waits: it is what the printing thread needs next.
  while (open_ && !ending_ && waiting_.size() >= kMostWaiting && unit > unit_ && unit != kNoUnit) {
    changed_.wait_for(lock, kServeInterval);
    lock.unlock();
    serveEvents();
    lock.lock();
  }
  waiting_.emplace(key, std::move(ticket));
  changed_.notify_all();
  return true;
}

void PrintOrder::unitDone(std::size_t unit) {
  {
    std::lock_guard lock(mutex_);
    if (!open_) return;
    if (unitsDone_.size() <= unit) unitsDone_.resize(unit + 1);
    unitsDone_[unit] = true;
  }
  changed_.notify_all();
}

bool PrintOrder::finishRun() {
  std::unique_lock lock(mutex_);
  if (!open_) return false;
  ending_ = true;
  changed_.notify_all();
  while (!(waiting_.empty() && idle_)) {
    changed_.wait_for(lock, kServeInterval);
    lock.unlock();
    serveEvents();
    lock.lock();
  }
  auto failures = std::move(failures_);
  failures_.clear();
  open_ = false;
  log_.reset();
  const bool cancelled = cancelled_;
  lock.unlock();
  for (auto& [messages, text] : failures)
    if (messages) messages->push_back(std::move(text));
  return cancelled;
}

bool PrintOrder::nextTicket(std::unique_lock<std::mutex>&, Ticket& ticket) {
  for (;;) {
    if (const auto it = waiting_.find({unit_, document_}); it != waiting_.end()) {
      ticket = std::move(it->second);
      waiting_.erase(it);
      ++document_;
      return true;
    }
    if (unit_ < unitsDone_.size() && unitsDone_[unit_]) {
      ++unit_;
      document_ = 0;
      continue;
    }
    // Once the workers have stopped, what is left belongs to units that ended (a unit never
    // taken has nothing here): in order.
    if (!ending_ || waiting_.empty()) return false;
    std::tie(unit_, document_) = waiting_.begin()->first;
  }
}

void PrintOrder::work() {
  neverServeEvents();
  std::unique_lock lock(mutex_);
  for (;;) {
    Ticket ticket;
    if (nextTicket(lock, ticket)) {
      idle_ = false;
      lock.unlock();
      handle(ticket);
      lock.lock();
      idle_ = true;
      changed_.notify_all();
      continue;
    }
    if (quit_) return;
    changed_.wait(lock);
  }
}

void PrintOrder::fail(const Ticket& ticket, const std::string& what, const std::string& reason) {
  if (log_) log_->Ausgabe(2, "CloseWordDokument: Fehler! " + what + ": " + reason);
  std::lock_guard lock(mutex_);
  failures_.emplace_back(ticket.messages, what + ": " + reason);
}

void PrintOrder::markCancelled() {
  std::lock_guard lock(mutex_);
  cancelled_ = true;
}

void PrintOrder::handle(const Ticket& ticket) {
  auto removePdf = [&] {
    std::error_code ec;
    fs::remove(ticket.pdf, ec);
    fs::remove(ticket.pdf.parent_path(), ec);  // the ticket's own folder, once empty
  };
  const std::string name = "Das Dokument " + ticket.document.string();
  const PrintWaitRules& rules = printWaitRules();
  if (rules.cancelled && rules.cancelled()) {
    removePdf();
    markCancelled();
    fail(ticket, name + " wurde nicht gedruckt", "Der Lauf wurde abgebrochen.");
    return;
  }
  std::string reason;
  const int job = submit_(ticket.pdf, ticket.document, reason);
  // CUPS has its own copy once the job is accepted.
  removePdf();
  if (job <= 0) {
    fail(ticket, name + " konnte nicht gedruckt werden", reason);
    return;
  }
  const PrintWait wait = waitForPrintQueue(ticket.document.filename().string());
  if (wait.end == PrintWaitEnd::Cancelled) markCancelled();
  for (const auto& left : wait.remaining) fail(ticket, wait.unfinished(left), wait.reason());
  Sleep(800);
}

PrintUnit::PrintUnit(std::size_t unit) : unit_(unit) {
  currentUnit = unit;
  documentsOfUnit = 0;
}

PrintUnit::~PrintUnit() {
  currentUnit = kNoUnit;
  if (PrintOrder* order = PrintOrder::current()) order->unitDone(unit_);
}

}  // namespace print
