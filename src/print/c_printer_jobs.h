#pragma once
// The live list of the jobs in one printer's queue, so that a caller can wait until a printed
// document has left it. A printer that does not exist or a queue that cannot be read gives an
// empty list and a count of 0; the monitor never throws for that and logs nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "print/c_printer_job_info.h"
#include "print/job_source.h"

namespace print {

class CPrinterJobs {
 public:
  // Reads the queue through source (CUPS when none is given); owns it.
  explicit CPrinterJobs(std::unique_ptr<JobSource> source = nullptr);

  const std::string& DeviceName() const { return deviceName_; }
  // Stores the name and refreshes the list.
  void setDeviceName(const std::string& name);

  // The queue's current number of jobs (0 when it cannot be read); refreshes the list first
  // when that number differs from the list's.
  int32_t Count();
  // The job at a 1-based position, or under its key (jobKey). Throws std::out_of_range for a
  // position or key the list does not hold.
  const CPrinterJobInfo& Item(int32_t position) const;
  const CPrinterJobInfo& Item(const std::string& key) const;
  // Brings the list in line with the queue: jobs seen again keep their maxima and move to the
  // queue's order, jobs that have left are removed.
  void Refresh();
  // What the printer says about itself now (a printer that prints when it cannot be asked).
  PrinterState printerState() { return source_->readPrinterState(deviceName_); }
  // The long pause of the old spooler's print wait belongs to one old operating system, which
  // this never is.
  bool IsMsXp() const { return false; }

 private:
  void apply(const std::optional<std::vector<SpoolerJob>>& jobs);

  std::unique_ptr<JobSource> source_;
  std::string deviceName_;
  std::vector<CPrinterJobInfo> jobs_;
};

}  // namespace print
