#include "cli/print_options.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "app/program_objects.h"
#include "word/cls_word_doc.h"

namespace cli {

void PrintOptions::addTo(CLI::App& command) {
  command.add_flag("--print", print,
                   "jedes Dokument auf dem Standarddrucker ausgeben (wie DataFilesPrint = 1)");
  command.add_flag("--pdf", pdf, "neben jedes Dokument eine PDF-Datei schreiben");
}

PrintSession::PrintSession(Context& ctx, const PrintOptions& options) {
  if (options.print) ctx.settings.override(app::kDataFilesPrint, "1");
  printing_ = app::settings().get(app::kDataFilesPrint) == "1";
  pdf_ = options.pdf;
  if (!printing_ && !pdf_) return;

  output_ = std::make_unique<print::DocumentOutput>();
  std::string reason;
  if (!output_->converter().available(reason)) ctx.err << "Warnung: " << reason << "\n";
  if (printing_) {
    monitor_.emplace();
    const print::CPrinterJobs* jobs = print::g_PrinterJobs();
    if (!jobs || jobs->DeviceName().empty())
      ctx.err << "Warnung: Es ist kein Standarddrucker eingerichtet; die Dokumente werden nicht "
                 "gedruckt.\n";
    word::clsWordDoc::setPrinter(output_->printHook());
  }
  if (pdf_) print::installPdfCopies(output_->pdfHook());
}

PrintSession::~PrintSession() {
  if (printing_) word::clsWordDoc::setPrinter({});
  if (pdf_) print::installPdfCopies({});
  output_.reset();
  monitor_.reset();
}

void PrintSession::report(std::ostream& out) const {
  if (!output_) return;
  if (output_->printed() > 0) {
    const print::CPrinterJobs* jobs = print::g_PrinterJobs();
    out << output_->printed() << " Dokument(e) gedruckt auf "
        << (jobs ? jobs->DeviceName() : std::string("dem Standarddrucker")) << ".\n";
  }
  if (output_->pdfsWritten() > 0) out << output_->pdfsWritten() << " PDF-Datei(en) geschrieben.\n";
}

}  // namespace cli
