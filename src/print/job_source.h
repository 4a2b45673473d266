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

class JobSource {
 public:
  virtual ~JobSource() = default;
  // The jobs still waiting or printing in the named printer's queue, in queue order; nullopt
  // when there is no such printer or its queue cannot be read. Never throws.
  virtual std::optional<std::vector<SpoolerJob>> readJobs(const std::string& device) = 0;
};

}  // namespace print
