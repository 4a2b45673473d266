#pragma once
// The CUPS side of the monitor: the default destination and the active jobs of a queue, read
// with IPP requests to the local CUPS server. Without a server every answer is empty.

#include <memory>
#include <string>

#include "print/job_source.h"

namespace print {

class CupsJobSource : public JobSource {
 public:
  std::optional<std::vector<SpoolerJob>> readJobs(const std::string& device) override;
  // Stopped when CUPS reports the printer stopped (disabled, or halted after a failed job) or
  // its driver reports it offline.
  PrinterState readPrinterState(const std::string& device) override;
};

// The name of the default destination (lpoptions, LPDEST/PRINTER, then the server's default);
// "" when CUPS has none or cannot be reached.
std::string defaultPrinterName();

}  // namespace print
