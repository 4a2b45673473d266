#pragma once
// What a generation run does with a finished document besides saving it: print it on the
// default printer (LibreOffice renders it to PDF, CUPS prints the PDF under the title
// "Quelbrix - " + file name, so the print wait can find the job), and write a PDF copy beside
// it. One object serves one run and keeps its LibreOffice until it is destroyed.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "print/libre_office.h"

namespace print {

// The shape of the document hooks: document in, false with a German reason on failure.
using DocumentHook =
    std::function<bool(const std::filesystem::path& document, std::string& reason)>;

// The title prefix of every print job, ahead of the document's file name.
inline constexpr const char* kJobTitlePrefix = "Quelbrix - ";

class DocumentOutput {
 public:
  // converter: the LibreOffice to render with (found on PATH when none is given).
  explicit DocumentOutput(std::unique_ptr<LibreOfficeConverter> converter = nullptr);
  ~DocumentOutput();
  DocumentOutput(const DocumentOutput&) = delete;
  DocumentOutput& operator=(const DocumentOutput&) = delete;

  // Renders and submits the document to the watched printer (g_PrinterJobs), or to the default
  // printer when no monitor exists.
  bool print(const std::filesystem::path& document, std::string& reason);
  // Writes the document's PDF beside it, under the same base name.
  bool writePdf(const std::filesystem::path& document, std::string& reason);

  LibreOfficeConverter& converter() { return *converter_; }
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
  std::unique_ptr<LibreOfficeConverter> converter_;
  std::filesystem::path spool_;  // the PDFs waiting to be handed to CUPS
  int lastJobId_ = 0;
  int printed_ = 0;
  int pdfsWritten_ = 0;
};

// The program-wide PDF-copy hook, called for every finished document while installed. Empty
// (the default) means no copies.
void installPdfCopies(DocumentHook hook);
const DocumentHook& pdfCopies();

}  // namespace print
