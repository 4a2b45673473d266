#pragma once
// --print and --pdf of the generating commands (sheets, report). A command adds the options
// with addTo and holds a PrintSession while it generates; every document the run finishes is
// then printed and copied to PDF as asked.

#include <iosfwd>
#include <optional>

#include "cli/commands.h"
#include "print/run_printing.h"

namespace cli {

struct PrintOptions {
  bool print = false;  // print like the setting "DataFilesPrint" = "1", for this run only
  bool pdf = false;    // a PDF beside every document
  // The longest wait for one printed document to leave the queue, in seconds.
  unsigned printTimeout = 600;

  void addTo(CLI::App& command);
};

class PrintSession {
 public:
  // Applies --print to the run's settings, sets up printing and PDF copies for the run and
  // installs the printer; warns on ctx.err when LibreOffice or a default printer is missing.
  // The run goes on then, and each document that cannot be printed or copied is reported.
  // The wait for a printed document ends at Ctrl-C, on a stopped printer and after
  // --print-timeout; its job is then named in the message file.
  // dossiers: the run also writes one PDF per polygon (a report run's --dossier), with the
  // same LibreOffice.
  PrintSession(Context& ctx, const PrintOptions& options, bool dossiers = false);
  // Uninstalls the printer; the rest ends with the run's printing.
  ~PrintSession();
  PrintSession(const PrintSession&) = delete;
  PrintSession& operator=(const PrintSession&) = delete;

  // The writer of the PDF-Mappen when the session was opened with dossiers, else null.
  print::DossierWriter* dossiers();

  // What became of the printed documents (RunPrinting::printSummary), "N PDF-Datei(en)
  // geschrieben." and "N PDF-Mappe(n) geschrieben." when there was any.
  void report(std::ostream& out) const;

 private:
  std::optional<print::RunPrinting> printing_;  // built once --print is in the settings
  print::DossierWriter* dossiers_ = nullptr;    // printing_'s, when asked for
};

}  // namespace cli
