#include "print/printer_jobs_instance.h"

#include "app/program_objects.h"
#include "print/cups_job_source.h"

namespace print {
namespace {

std::unique_ptr<CPrinterJobs>& instance() {
  static std::unique_ptr<CPrinterJobs> jobs;
  return jobs;
}

}  // namespace

CPrinterJobs* g_PrinterJobs() {
  return instance().get();
}

bool createPrinterJobs(std::unique_ptr<JobSource> source, const std::string* device) {
  if (app::settings().get(app::kDataFilesPrint) != "1") return false;
  auto jobs = std::make_unique<CPrinterJobs>(std::move(source));
  jobs->setDeviceName(device ? *device : defaultPrinterName());
  app::g_Debug().Ausgabe(1, "Drucker: Form_Load: Druckerdevice: " + jobs->DeviceName());
  instance() = std::move(jobs);
  return true;
}

void releasePrinterJobs() {
  instance().reset();
}

}  // namespace print
