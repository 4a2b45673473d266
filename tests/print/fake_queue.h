#pragma once
// A print queue for the monitor's tests: one printer, whose jobs the test sets; reading a queue
// under any other name fails as it does for a printer that does not exist.

#include <memory>
#include <string>
#include <vector>

#include "print/job_source.h"

namespace printtest {

struct FakeQueue {
  std::string device = "Buero-Drucker";
  std::vector<print::SpoolerJob> jobs;
  bool readable = true;
  print::PrinterState state;
  int reads = 0;
};

class FakeJobSource : public print::JobSource {
 public:
  explicit FakeJobSource(std::shared_ptr<FakeQueue> queue) : queue_(std::move(queue)) {}
  std::optional<std::vector<print::SpoolerJob>> readJobs(const std::string& device) override {
    ++queue_->reads;
    if (device != queue_->device || !queue_->readable) return std::nullopt;
    return queue_->jobs;
  }
  print::PrinterState readPrinterState(const std::string& device) override {
    return device == queue_->device ? queue_->state : print::PrinterState{};
  }

 private:
  std::shared_ptr<FakeQueue> queue_;
};

inline print::SpoolerJob job(int32_t id, const std::string& title, int32_t size,
                             int32_t pages = 0) {
  return {id, title, size, pages};
}

}  // namespace printtest
