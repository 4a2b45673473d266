#pragma once
// Printing for the lifetime of a generation window: when "DataFilesPrint" is "1" on loading, the
// print-queue monitor g_PrinterJobs and the document printer are set up (the user is told what
// is missing, LibreOffice or a default printer) and taken down again with the window. The wait
// for a printed document ends when the window's run is cancelled.

#include <functional>
#include <optional>
#include <string>

#include "print/run_printing.h"

namespace gui {

class WindowPrinting {
 public:
  // cancelled: whether the user has cancelled the window's run.
  explicit WindowPrinting(std::function<bool()> cancelled);
  ~WindowPrinting();
  WindowPrinting(const WindowPrinting&) = delete;
  WindowPrinting& operator=(const WindowPrinting&) = delete;

  bool printing() const { return printing_ && printing_->printing(); }
  // A run starts: what is printed from now on is this run's.
  void startRun();
  // What became of the documents this run sent to the printer, as the command line says it:
  // "3 Dokument(e) auf P gedruckt." or "3 Dokument(e) an den Drucker P übergeben: 1 gedruckt,
  // 2 noch in der Warteschlange."; empty when it printed nothing.
  std::string runSummary() const;
  // "Der Drucker P ist angehalten (paused)." or "Der Drucker P ist bereit."; empty without
  // printing.
  std::string printerState() const;
  // The writer of the report window's PDF-Mappen, on the same LibreOffice as the printing; the
  // first call sets it up and shows a warning box when LibreOffice is missing.
  print::DossierWriter& dossiers();

 private:
  // Sets up the run's printing, with the wait for a printed document ending at cancel.
  void start();
  void showWarnings() const;

  std::optional<print::RunPrinting> printing_;
  std::function<bool()> cancelled_;
  bool hookInstalled_ = false;
  int handedBefore_ = 0;  // documents handed to the printer before this run
  int leftBefore_ = 0;    // and of them printed
};

}  // namespace gui
