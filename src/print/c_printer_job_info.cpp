#include "print/c_printer_job_info.h"

#include <cstdio>

namespace print {

void CPrinterJobInfo::fill(const SpoolerJob& job) {
  jobId_ = job.id;
  document_ = job.document;
  size_ = job.size;
  totalPages_ = job.totalPages;
  raiseMaxima(job.size, job.totalPages);
}

void CPrinterJobInfo::raiseMaxima(int32_t size, int32_t totalPages) {
  if (size > sizeMax_) sizeMax_ = size;
  if (totalPages > totalPagesMax_) totalPagesMax_ = totalPages;
}

std::string jobKey(int32_t jobId) {
  char text[9];
  std::snprintf(text, sizeof(text), "%X", static_cast<unsigned>(static_cast<uint32_t>(jobId)));
  return text;
}

}  // namespace print
