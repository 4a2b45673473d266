#include "print/document_output.h"

#include "base/temporary_file.h"
#include "print/cups_job_source.h"
#include "print/cups_submit.h"
#include "print/printer_jobs_instance.h"
#include "print/sleep.h"

namespace print {
namespace fs = std::filesystem;

namespace {

DocumentHook& pdfCopyHook() {
  static DocumentHook hook;
  return hook;
}

}  // namespace

void installPdfCopies(DocumentHook hook) {
  pdfCopyHook() = std::move(hook);
}
const DocumentHook& pdfCopies() {
  return pdfCopyHook();
}

DocumentOutput::DocumentOutput(std::unique_ptr<LibreOfficeConverter> converter)
    : converter_(std::move(converter)) {
  if (!converter_) converter_ = std::make_unique<LibreOfficeConverter>();
}

DocumentOutput::~DocumentOutput() {
  if (spool_.empty()) return;
  std::error_code ec;
  fs::remove_all(spool_, ec);
}

bool DocumentOutput::print(const fs::path& document, std::string& reason) {
  const CPrinterJobs* monitor = g_PrinterJobs();
  const std::string destination = monitor ? monitor->DeviceName() : defaultPrinterName();
  if (destination.empty()) {
    reason = "Es ist kein Standarddrucker eingerichtet.";
    return false;
  }
  if (!base::makeWorkFolder("print", spool_)) {
    reason = "Der Arbeitsordner für den Druck konnte nicht angelegt werden.";
    return false;
  }
  fs::path pdf;
  if (!converter_->toPdf(document, spool_, pdf, reason)) return false;
  // CUPS takes the whole PDF before it answers; a window goes on answering meanwhile.
  const std::string title = kJobTitlePrefix + document.filename().string();
  const int job = whileServingEvents([&] { return submitPdf(destination, pdf, title, reason); });
  // CUPS has its own copy once the job is accepted.
  std::error_code ec;
  fs::remove(pdf, ec);
  if (job <= 0) return false;
  lastJobId_ = job;
  ++printed_;
  return true;
}

bool DocumentOutput::writePdf(const fs::path& document, std::string& reason) {
  fs::path pdf;
  if (!converter_->toPdf(document, document.parent_path(), pdf, reason)) return false;
  ++pdfsWritten_;
  return true;
}

DocumentHook DocumentOutput::printHook() {
  return [this](const fs::path& document, std::string& reason) { return print(document, reason); };
}

DocumentHook DocumentOutput::pdfHook() {
  return
      [this](const fs::path& document, std::string& reason) { return writePdf(document, reason); };
}

}  // namespace print
