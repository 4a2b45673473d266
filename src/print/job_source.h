#pragma once
// Where the print-queue monitor reads a printer's queue from. The real source asks CUPS; tests
// put a scripted queue behind the same interface.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace print {

// One job as the queue reports it at the moment of reading.
struct SpoolerJob {
  int32_t id = 0;
  std::string document;    // the job's title
  int32_t size = 0;        // bytes
  int32_t totalPages = 0;  // 0 when the queue does not know it (yet)
};

// What a printer says about itself: whether it has stopped taking jobs off its queue, and why.
struct PrinterState {
  bool stopped = false;  // paused, halted after an error, or offline
  std::string reasons;   // the queue's own words for it, e.g. "paused"
};

class JobSource {
 public:
  virtual ~JobSource() = default;
  // The jobs still waiting or printing in the named printer's queue, in queue order; nullopt
  // when there is no such printer or its queue cannot be read. Never throws.
  virtual std::optional<std::vector<SpoolerJob>> readJobs(const std::string& device) = 0;
  // The named printer's state; a source that cannot tell answers a printer that prints.
  virtual PrinterState readPrinterState(const std::string& /*device*/) { return {}; }
};

}  // namespace print
