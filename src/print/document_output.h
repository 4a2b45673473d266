#pragma once
// What a generation run does with a finished document besides saving it: print it on the
// default printer (LibreOffice renders it to PDF, CUPS prints the PDF under the title
// "Quelbrix - " + file name, so the print wait can find the job), and write a PDF copy beside
// it. One object serves one run and keeps its LibreOffices (one per worker) until it is
// destroyed; its operations may be called from several workers at once.

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "print/converter_pool.h"

namespace print {

// The shape of the document hooks: document in, false with a German reason on failure.
using DocumentHook =
    std::function<bool(const std::filesystem::path& document, std::string& reason)>;

// The title prefix of every print job, ahead of the document's file name.
inline constexpr const char* kJobTitlePrefix = "Quelbrix - ";

class DocumentOutput {
 public:
  // converter: the first worker's LibreOffice (found on PATH when none is given); the other
  // workers get their own with the same program.
  explicit DocumentOutput(std::unique_ptr<LibreOfficeConverter> converter = nullptr);
  ~DocumentOutput();
  DocumentOutput(const DocumentOutput&) = delete;
  DocumentOutput& operator=(const DocumentOutput&) = delete;

  // Renders and submits the document to the watched printer (g_PrinterJobs), or to the default
  // printer when no monitor exists.
  bool print(const std::filesystem::path& document, std::string& reason);
  // The two halves of print: the document's PDF in a folder of its own in the spool (by the
  // calling worker's LibreOffice), and that PDF handed to the printer (the job id, or 0).
  bool render(const std::filesystem::path& document, std::filesystem::path& pdf,
              std::string& reason);
  int submit(const std::filesystem::path& pdf, const std::filesystem::path& document,
             std::string& reason);
  // Writes the document's PDF beside it, under the same base name.
  bool writePdf(const std::filesystem::path& document, std::string& reason);

  // The calling worker's LibreOffice, and all of them.
  ConverterPool::Lease converter() { return converters_.forThisThread(); }
  ConverterPool& converters() { return converters_; }
  // The identifier of the last job handed to CUPS; 0 before the first.
  int lastJobId() const { return lastJobId_; }
  // Documents handed to CUPS, and PDF copies written, so far.
  int printed() const { return printed_; }
  int pdfsWritten() const { return pdfsWritten_; }

  // Hooks bound to this object (which must outlive their installation), for
  // clsWordDoc::setPrinter and installPdfCopies.
  DocumentHook printHook();
  DocumentHook pdfHook();

 private:
  ConverterPool converters_;
  std::mutex spoolMutex_;
  std::filesystem::path spool_;  // the PDFs waiting to be handed to CUPS
  std::atomic<unsigned> spooled_{0};
  std::atomic<int> lastJobId_{0};
  std::atomic<int> printed_{0};
  std::atomic<int> pdfsWritten_{0};
};

// The program-wide PDF-copy hook, called for every finished document while installed. Empty
// (the default) means no copies.
void installPdfCopies(DocumentHook hook);
const DocumentHook& pdfCopies();

}  // namespace print
