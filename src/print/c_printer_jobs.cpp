#include "print/c_printer_jobs.h"

#include <algorithm>
#include <stdexcept>

#include "print/cups_job_source.h"

namespace print {

CPrinterJobs::CPrinterJobs(std::unique_ptr<JobSource> source) : source_(std::move(source)) {
  if (!source_) source_ = std::make_unique<CupsJobSource>();
}

void CPrinterJobs::setDeviceName(const std::string& name) {
  deviceName_ = name;
  Refresh();
}

int32_t CPrinterJobs::Count() {
  const auto jobs = source_->readJobs(deviceName_);
  const std::size_t n = jobs ? jobs->size() : 0;
  // The snapshot just read serves as the refresh, so the list always holds as many jobs as the
  // answer says, even when the queue changes between two requests.
  if (n != jobs_.size()) apply(jobs);
  return static_cast<int32_t>(n);
}

const CPrinterJobInfo& CPrinterJobs::Item(int32_t position) const {
  if (position < 1 || static_cast<std::size_t>(position) > jobs_.size())
    throw std::out_of_range("CPrinterJobs::Item: position " + std::to_string(position) +
                            " outside the list of " + std::to_string(jobs_.size()) + " jobs");
  return jobs_[static_cast<std::size_t>(position) - 1];
}

const CPrinterJobInfo& CPrinterJobs::Item(const std::string& key) const {
  for (const auto& job : jobs_)
    if (jobKey(job.JobId()) == key) return job;
  throw std::out_of_range("CPrinterJobs::Item: no job under key " + key);
}

void CPrinterJobs::Refresh() {
  apply(source_->readJobs(deviceName_));
}

void CPrinterJobs::apply(const std::optional<std::vector<SpoolerJob>>& jobs) {
  if (!jobs || jobs->empty()) {
    jobs_.clear();
    return;
  }
  std::vector<int32_t> seen;
  seen.reserve(jobs->size());
  for (const SpoolerJob& job : *jobs) {
    CPrinterJobInfo info(job);
    const auto old = std::find_if(jobs_.begin(), jobs_.end(),
                                  [&](const CPrinterJobInfo& j) { return j.JobId() == job.id; });
    if (old != jobs_.end()) {
      info.raiseMaxima(old->SizeMax(), old->TotalPagesMax());
      jobs_.erase(old);
    }
    jobs_.push_back(std::move(info));
    seen.push_back(job.id);
  }
  std::erase_if(jobs_, [&](const CPrinterJobInfo& j) {
    return std::find(seen.begin(), seen.end(), j.JobId()) == seen.end();
  });
}

}  // namespace print
