#pragma once
// The program-wide print-queue monitor g_PrinterJobs. A generation window (or a command-line
// run) creates it when it starts and printing is on, and releases it when it ends; while none
// exists, nothing waits for a queue.

#include <memory>
#include <string>

#include "print/c_printer_jobs.h"

namespace print {

// The monitor, or nullptr while none has been created.
CPrinterJobs* g_PrinterJobs();

// When the setting "DataFilesPrint" is "1": creates g_PrinterJobs on source (CUPS when none is
// given) for device (the default printer when nullptr), and logs its device name at level 1.
// Answers whether it created one (replacing any earlier monitor). Never throws for a missing
// printer or CUPS.
bool createPrinterJobs(std::unique_ptr<JobSource> source = nullptr,
                       const std::string* device = nullptr);
void releasePrinterJobs();

// Creates the monitor for the lifetime of a run, as createPrinterJobs does, and releases it.
class PrinterJobsScope {
 public:
  explicit PrinterJobsScope(std::unique_ptr<JobSource> source = nullptr,
                            const std::string* device = nullptr) {
    created_ = createPrinterJobs(std::move(source), device);
  }
  ~PrinterJobsScope() {
    if (created_) releasePrinterJobs();
  }
  PrinterJobsScope(const PrinterJobsScope&) = delete;
  PrinterJobsScope& operator=(const PrinterJobsScope&) = delete;
  bool active() const { return created_; }

 private:
  bool created_ = false;
};

}  // namespace print
