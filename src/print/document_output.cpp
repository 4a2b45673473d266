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
    : converters_(std::move(converter)) {}

DocumentOutput::~DocumentOutput() {
  if (spool_.empty()) return;
  std::error_code ec;
  fs::remove_all(spool_, ec);
}

namespace {

std::string destination() {
  const CPrinterJobs* monitor = g_PrinterJobs();
  return monitor ? monitor->DeviceName() : defaultPrinterName();
}

}  // namespace

bool DocumentOutput::render(const fs::path& document, fs::path& pdf, std::string& reason) {
  // Without a printer to take it, rendering would be in vain.
  if (destination().empty()) {
    reason = "Es ist kein Standarddrucker eingerichtet.";
    return false;
  }
  fs::path folder;
  {
    std::lock_guard lock(spoolMutex_);
    if (!base::makeWorkFolder("print", spool_)) {
      reason = "Der Arbeitsordner für den Druck konnte nicht angelegt werden.";
      return false;
    }
    // A folder per document: two documents of a run may share a name (a polygon's cover sheet
    // in two type folders) and wait for the printer at the same time.
    folder = spool_ / std::to_string(++spooled_);
  }
  std::error_code ec;
  fs::create_directory(folder, ec);
  if (converter()->toPdf(document, folder, pdf, reason)) return true;
  fs::remove_all(folder, ec);
  return false;
}

int DocumentOutput::submit(const fs::path& pdf, const fs::path& document, std::string& reason) {
  const std::string printer = destination();
  if (printer.empty()) {
    reason = "Es ist kein Standarddrucker eingerichtet.";
    return 0;
  }
  // CUPS takes the whole PDF before it answers; a window goes on answering meanwhile.
  const std::string title = kJobTitlePrefix + document.filename().string();
  const int job = whileServingEvents([&] { return submitPdf(printer, pdf, title, reason); });
  if (job <= 0) return 0;
  lastJobId_ = job;
  ++printed_;
  return job;
}

bool DocumentOutput::print(const fs::path& document, std::string& reason) {
  fs::path pdf;
  if (!render(document, pdf, reason)) return false;
  const int job = submit(pdf, document, reason);
  // CUPS has its own copy once the job is accepted.
  std::error_code ec;
  fs::remove(pdf, ec);
  fs::remove(pdf.parent_path(), ec);
  return job > 0;
}

bool DocumentOutput::writePdf(const fs::path& document, std::string& reason) {
  fs::path pdf;
  if (!converter()->toPdf(document, document.parent_path(), pdf, reason)) return false;
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
