#include "print/run_printing.h"

#include "app/program_objects.h"

namespace print {

RunPrinting::RunPrinting(bool pdfCopies, std::unique_ptr<LibreOfficeConverter> converter,
                         PrintWaitRules wait)
    : converter_(std::move(converter)), pdfCopies_(pdfCopies) {
  const bool printing = app::settings().get(app::kDataFilesPrint) == "1";
  if (!printing && !pdfCopies_) return;
  startOutput();
  if (printing) {
    wait.ended = [this, told = std::move(wait.ended)](const PrintWait& w) {
      if (w.end == PrintWaitEnd::Left) ++leftQueue_;
      if (told) told(w);
    };
    previousRules_ = installPrintWaitRules(std::move(wait));
    monitor_.emplace();
    order_ = std::make_unique<PrintOrder>(
        [this](const auto& document, auto& pdf, auto& reason) {
          return output_->render(document, pdf, reason);
        },
        [this](const auto& pdf, const auto& document, auto& reason) {
          return output_->submit(pdf, document, reason);
        });
    if (deviceName().empty())
      warnings_.push_back(
          "Es ist kein Standarddrucker eingerichtet; die Dokumente werden nicht gedruckt.");
  }
  if (pdfCopies_) installPdfCopies(output_->pdfHook());
}

RunPrinting::~RunPrinting() {
  if (pdfCopies_) installPdfCopies({});
  order_.reset();
  if (previousRules_) installPrintWaitRules(std::move(*previousRules_));
  dossiers_.reset();
  output_.reset();
  monitor_.reset();
}

void RunPrinting::startOutput() {
  output_ = std::make_unique<DocumentOutput>(std::move(converter_));
  std::string reason;
  if (!output_->converters().available(reason)) warnings_.push_back(reason);
}

DossierWriter& RunPrinting::dossiers() {
  if (!output_) startOutput();
  if (!dossiers_) dossiers_ = std::make_unique<DossierWriter>(output_->converters(), pdfCopies_);
  return *dossiers_;
}

DocumentHook RunPrinting::printHook() {
  if (!printing()) return {};
  return output_->printHook();
}

std::string RunPrinting::printSummary() const {
  const int handed = handedToPrinter();
  if (handed == 0) return "";
  const std::string count = std::to_string(handed) + " Dokument(e) ";
  // A document whose wait has not ended (the run stopped in between) is still in the queue.
  const int left = leftQueue_;
  if (left == handed) return count + "auf " + deviceName() + " gedruckt.";
  return count + "an den Drucker " + deviceName() + " übergeben: " + std::to_string(left) +
         " gedruckt, " + std::to_string(handed - left) + " noch in der Warteschlange.";
}

std::string RunPrinting::deviceName() const {
  const CPrinterJobs* jobs = g_PrinterJobs();
  return printing() && jobs ? jobs->DeviceName() : std::string();
}

}  // namespace print
