#pragma once
// The wait after a document was printed: until the watched queue (g_PrinterJobs) holds no job
// whose title names the document behind a prefix. A queue that never empties must not hold
// the run forever, so the wait also ends when the user cancels the run, when the printer has
// stopped (paused, halted after an error, offline) and when the time limit for the job has
// passed; the jobs still in the queue are then named for the message file. Their jobs stay
// in the queue and print once the printer goes on.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "print/c_printer_job_info.h"

namespace print {

// Ten minutes print a long document on a slow printer; a job waiting longer waits for a person.
inline constexpr std::chrono::milliseconds kDefaultPrintWaitLimit = std::chrono::minutes(10);

// What ends a wait besides the job leaving the queue; set by the front end for a run.
struct PrintWait;
struct PrintWaitRules {
  std::function<bool()> cancelled;  // the user's cancel; empty: never
  std::chrono::milliseconds limit = kDefaultPrintWaitLimit;
  std::function<void(const PrintWait&)> ended;  // told how each wait ended; empty: nobody
};

// Installs the rules for every wait that follows and answers the ones they replace.
PrintWaitRules installPrintWaitRules(PrintWaitRules rules);
const PrintWaitRules& printWaitRules();

enum class PrintWaitEnd { Left, Cancelled, PrinterStopped, TimeLimit };

struct PrintWait {
  PrintWaitEnd end = PrintWaitEnd::Left;
  std::vector<CPrinterJobInfo> remaining;  // the document's jobs still in the queue
  std::string device;                      // the watched printer
  std::string printerReasons;              // the printer's own words when it had stopped
  std::chrono::milliseconds limit{0};      // the time limit that applied

  // "Der Druckauftrag 17 (Quelbrix - x.docx) hat die Warteschlange des Druckers P nicht
  // verlassen" for one of the remaining jobs.
  std::string unfinished(const CPrinterJobInfo& job) const;
  // Why the wait ended before the job had left, and what becomes of the job.
  std::string reason() const;
};

// Waits for documentName (a file name) as described above. The pause of 400 ms comes in every
// pass that finds the job gone or still there, also in the last, and serves the front end's
// events; a wait that ends early does not pause. Without a monitor there is no queue to
// watch and the wait ends after one pause.
PrintWait waitForPrintQueue(const std::string& documentName);

}  // namespace print
