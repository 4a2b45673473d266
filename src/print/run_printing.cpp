#include "print/run_printing.h"

#include "app/program_objects.h"

namespace print {

RunPrinting::RunPrinting(bool pdfCopies, std::unique_ptr<LibreOfficeConverter> converter,
                         PrintWaitRules wait)
    : pdfCopies_(pdfCopies) {
  const bool printing = app::settings().get(app::kDataFilesPrint) == "1";
  if (!printing && !pdfCopies_) return;
  output_ = std::make_unique<DocumentOutput>(std::move(converter));
  std::string reason;
  if (!output_->converter().available(reason)) warnings_.push_back(reason);
  if (printing) {
    previousRules_ = installPrintWaitRules(std::move(wait));
    monitor_.emplace();
    if (deviceName().empty())
      warnings_.push_back(
          "Es ist kein Standarddrucker eingerichtet; die Dokumente werden nicht gedruckt.");
  }
  if (pdfCopies_) installPdfCopies(output_->pdfHook());
}

RunPrinting::~RunPrinting() {
  if (pdfCopies_) installPdfCopies({});
  if (previousRules_) installPrintWaitRules(std::move(*previousRules_));
  output_.reset();
  monitor_.reset();
}

DocumentHook RunPrinting::printHook() {
  if (!printing()) return {};
  return output_->printHook();
}

std::string RunPrinting::deviceName() const {
  const CPrinterJobs* jobs = g_PrinterJobs();
  return printing() && jobs ? jobs->DeviceName() : std::string();
}

}  // namespace print
