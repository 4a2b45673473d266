#pragma once
// Printing and PDF copies for one generation run, set up by the window or command that starts
// the run: when "DataFilesPrint" is "1", the print-queue monitor g_PrinterJobs on the default
// printer (with its log line) and a printer for the documents; when asked, PDF copies of every
// document; and the rules that end the wait for a printed document early (the run's cancel,
// the time limit per job). The front end hands printHook() to clsWordDoc::setPrinter, which
// lies above this layer. While printing is on, a run's workers hand their documents to the
// print order (PrintOrder), which prints them in the order of the selection. Destruction
// removes the PDF-copy hook and the rules, ends the LibreOffices and releases the monitor. A
// report run may add one PDF per polygon (dossiers()).

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "print/document_output.h"
#include "print/dossier_writer.h"
#include "print/print_order.h"
#include "print/print_wait.h"
#include "print/printer_jobs_instance.h"

namespace print {

class RunPrinting {
 public:
  // converter: the LibreOffice to render with (found on PATH when none is given).
  // wait: the rules for the print wait while printing is on.
  explicit RunPrinting(bool pdfCopies, std::unique_ptr<LibreOfficeConverter> converter = nullptr,
                       PrintWaitRules wait = {});
  ~RunPrinting();
  RunPrinting(const RunPrinting&) = delete;
  RunPrinting& operator=(const RunPrinting&) = delete;

  bool printing() const { return monitor_.has_value(); }
  bool pdfCopies() const { return pdfCopies_; }
  // The printer for clsWordDoc::setPrinter while printing is on; empty otherwise.
  DocumentHook printHook();
  // What the user should know before the run: LibreOffice or a default printer missing.
  const std::vector<std::string>& warnings() const { return warnings_; }
  // Documents handed to the printer (CUPS) and PDF copies written so far.
  int handedToPrinter() const { return output_ ? output_->printed() : 0; }
  int pdfsWritten() const { return output_ ? output_->pdfsWritten() : 0; }
  // Of the documents handed to the printer, those whose jobs have left the queue (printed);
  // the others' waits ended with a job still in it (cancel, stopped printer, time limit).
  int leftQueue() const { return leftQueue_; }
  // What became of the printed documents, for the end of a run; empty when none was handed
  // over: "3 Dokument(e) auf P gedruckt." or "3 Dokument(e) an den Drucker P übergeben:
  // 1 gedruckt, 2 noch in der Warteschlange."
  std::string printSummary() const;
  // The watched printer; empty without printing or without a default printer.
  std::string deviceName() const;

  // One PDF per polygon for this run, rendered by the same LibreOffice that prints and writes
  // the PDF copies; the first call sets it up and adds a warning when LibreOffice is missing.
  DossierWriter& dossiers();
  int dossiersWritten() const { return dossiers_ ? dossiers_->written() : 0; }

 private:
  void startOutput();

  std::optional<PrinterJobsScope> monitor_;
  std::unique_ptr<LibreOfficeConverter> converter_;  // handed to output_ when it starts
  std::unique_ptr<DocumentOutput> output_;
  std::unique_ptr<DossierWriter> dossiers_;  // uses output_'s LibreOffices
  std::unique_ptr<PrintOrder> order_;        // while printing is on
  bool pdfCopies_ = false;
  std::atomic<int> leftQueue_{0};                // counted on the printing thread
  std::optional<PrintWaitRules> previousRules_;  // set while this run's rules are installed
  std::vector<std::string> warnings_;
};

}  // namespace print
