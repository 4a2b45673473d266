#pragma once
// Printing for the lifetime of a generation window: when "DataFilesPrint" is "1" on loading, the
// print-queue monitor g_PrinterJobs and the document printer are set up (the user is told what
// is missing, LibreOffice or a default printer) and taken down again with the window.

#include <optional>

#include "print/run_printing.h"

namespace gui {

class WindowPrinting {
 public:
  WindowPrinting();
  ~WindowPrinting();
  WindowPrinting(const WindowPrinting&) = delete;
  WindowPrinting& operator=(const WindowPrinting&) = delete;

  bool printing() const { return printing_ && printing_->printing(); }

 private:
  std::optional<print::RunPrinting> printing_;
  bool hookInstalled_ = false;
};

}  // namespace gui
