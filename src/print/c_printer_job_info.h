#pragma once
// One job of a watched print queue: its identifier and title, and the largest size and page
// count seen for it over all refreshes of the monitor (which the queue's current values may
// fall below while the job prints).

#include <cstdint>
#include <string>

#include "print/job_source.h"

namespace print {

class CPrinterJobInfo {
 public:
  CPrinterJobInfo() = default;
  // A record filled from one job of the queue.
  explicit CPrinterJobInfo(const SpoolerJob& job) { fill(job); }

  int32_t JobId() const { return jobId_; }
  const std::string& Document() const { return document_; }
  int32_t SizeMax() const { return sizeMax_; }
  int32_t TotalPagesMax() const { return totalPagesMax_; }
  // The values at the time of reading.
  int32_t size() const { return size_; }
  int32_t totalPages() const { return totalPages_; }

  // Takes the job's values; the maxima rise to its size and page count where those are larger.
  void fill(const SpoolerJob& job);
  // Raises the maxima to the given values where those are larger.
  void raiseMaxima(int32_t size, int32_t totalPages);

 private:
  int32_t jobId_ = 0;
  std::string document_;
  int32_t size_ = 0;
  int32_t totalPages_ = 0;
  int32_t sizeMax_ = 0;
  int32_t totalPagesMax_ = 0;
};

// The key of a job in the monitor's list: its identifier in upper-case hexadecimal, no prefix.
std::string jobKey(int32_t jobId);

}  // namespace print
