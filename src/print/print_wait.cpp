#include "print/print_wait.h"

#include "print/printer_jobs_instance.h"
#include "print/sleep.h"

namespace print {
namespace {

PrintWaitRules& rules() {
  static PrintWaitRules r;
  return r;
}

// "10 Minuten", "1 Minute", "90 Sekunden".
std::string duration(std::chrono::milliseconds limit) {
  const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(limit).count();
  if (seconds >= 60 && seconds % 60 == 0)
    return std::to_string(seconds / 60) + (seconds == 60 ? " Minute" : " Minuten");
  return std::to_string(seconds) + (seconds == 1 ? " Sekunde" : " Sekunden");
}

}  // namespace

PrintWaitRules installPrintWaitRules(PrintWaitRules r) {
  PrintWaitRules old = std::move(rules());
  rules() = std::move(r);
  return old;
}

const PrintWaitRules& printWaitRules() {
  return rules();
}

std::string PrintWait::unfinished(const CPrinterJobInfo& job) const {
  return "Der Druckauftrag " + std::to_string(job.JobId()) + " (" + job.Document() +
         ") hat die Warteschlange des Druckers " + device + " nicht verlassen";
}

std::string PrintWait::reason() const {
  const std::string stays = "; er bleibt in der Warteschlange.";
  switch (end) {
    case PrintWaitEnd::Cancelled:
      return "Der Lauf wurde abgebrochen" + stays;
    case PrintWaitEnd::PrinterStopped:
      return "Der Drucker ist angehalten" +
             (printerReasons.empty() ? std::string() : " (" + printerReasons + ")") +
             "; der Auftrag wird gedruckt, sobald der Drucker fortfährt.";
    case PrintWaitEnd::TimeLimit:
      return "Er war nach " + duration(limit) + " noch nicht gedruckt" + stays;
    case PrintWaitEnd::Left:
      break;
  }
  return "";
}

PrintWait waitForPrintQueue(const std::string& documentName) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  CPrinterJobs* jobs = g_PrinterJobs();
  PrintWait wait;
  wait.limit = rules().limit;
  if (jobs) wait.device = jobs->DeviceName();
  for (;;) {
    std::vector<CPrinterJobInfo> found;
    if (jobs) {
      jobs->Refresh();
      const int32_t count = jobs->Count();
      for (int32_t i = 1; i <= count; ++i) {
        const std::size_t at = jobs->Item(i).Document().find(documentName);
        if (at != std::string::npos && at > 0) found.push_back(jobs->Item(i));
      }
    }
    if (!found.empty()) {
      if (rules().cancelled && rules().cancelled()) {
        wait.end = PrintWaitEnd::Cancelled;
      } else if (const PrinterState state = jobs->printerState(); state.stopped) {
        wait.end = PrintWaitEnd::PrinterStopped;
        wait.printerReasons = state.reasons;
      } else if (Clock::now() - start >= wait.limit) {
        wait.end = PrintWaitEnd::TimeLimit;
      }
      if (wait.end != PrintWaitEnd::Left) {
        wait.remaining = std::move(found);
        if (rules().ended) rules().ended(wait);
        return wait;
      }
    }
    Sleep(jobs && jobs->IsMsXp() ? 80000 : 400);
    serveEvents();
    if (found.empty()) {
      if (rules().ended) rules().ended(wait);
      return wait;
    }
  }
}

}  // namespace print
