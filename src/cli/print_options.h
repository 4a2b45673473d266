#pragma once
// --print and --pdf of the generating commands (sheets, report): the two options, and for one
// run the print-queue monitor, the LibreOffice instance and the hooks through which every
// finished document is printed and copied to PDF. A command adds the options with addTo and
// holds a PrintSession while it generates.

#include <iosfwd>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "print/document_output.h"
#include "print/printer_jobs_instance.h"

namespace cli {

struct PrintOptions {
  bool print = false;  // print like the setting "DataFilesPrint" = "1", for this run only
  bool pdf = false;    // a PDF beside every document

  void addTo(CLI::App& command);
};

class PrintSession {
 public:
  // Applies --print to the run's settings; when printing is on (by option or setting) creates
  // g_PrinterJobs for the default printer and installs the printer; with --pdf installs the
  // PDF copies. Warns on ctx.err when LibreOffice or a default printer is missing; the run
  // goes on and each document that cannot be printed or copied is reported.
  PrintSession(Context& ctx, const PrintOptions& options);
  // Uninstalls the hooks, ends LibreOffice and releases the monitor.
  ~PrintSession();
  PrintSession(const PrintSession&) = delete;
  PrintSession& operator=(const PrintSession&) = delete;

  // "N Dokument(e) gedruckt auf DRUCKER." / "N PDF-Datei(en) geschrieben." when there was any.
  void report(std::ostream& out) const;

 private:
  std::optional<print::PrinterJobsScope> monitor_;
  std::unique_ptr<print::DocumentOutput> output_;
  bool printing_ = false;
  bool pdf_ = false;
};

}  // namespace cli
