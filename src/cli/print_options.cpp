#include "cli/print_options.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "app/program_objects.h"
#include "cli/cancel_signal.h"
#include "cli/german_cli.h"
#include "word/cls_word_doc.h"

namespace cli {

void PrintOptions::addTo(CLI::App& command) {
  command.add_flag("--print", print,
                   "jedes Dokument auf dem Standarddrucker ausgeben (wie DataFilesPrint = 1)");
  command.add_flag("--pdf", pdf, "neben jedes Dokument eine PDF-Datei schreiben");
  command
      .add_option("--print-timeout", printTimeout,
                  "längste Wartezeit auf einen Druckauftrag in Sekunden (Vorgabe: 600)")
      ->type_name("ZAHL")
      ->check(wholeNumber(1));
}

PrintSession::PrintSession(Context& ctx, const PrintOptions& options, bool dossiers) {
  if (options.print) ctx.settings.override(app::kDataFilesPrint, "1");
  print::PrintWaitRules rules;
  rules.cancelled = [] { return interrupted(); };
  rules.limit = std::chrono::seconds(options.printTimeout);
  printing_.emplace(options.pdf, nullptr, std::move(rules));
  if (dossiers) dossiers_ = &printing_->dossiers();
  for (const auto& warning : printing_->warnings()) ctx.err << "Warnung: " << warning << "\n";
  if (printing_->printing()) word::clsWordDoc::setPrinter(printing_->printHook());
}

PrintSession::~PrintSession() {
  if (printing_->printing()) word::clsWordDoc::setPrinter({});
}

print::DossierWriter* PrintSession::dossiers() {
  return dossiers_;
}

void PrintSession::report(std::ostream& out) const {
  if (const std::string printed = printing_->printSummary(); !printed.empty())
    out << printed << "\n";
  if (printing_->pdfsWritten() > 0)
    out << printing_->pdfsWritten() << " PDF-Datei(en) geschrieben.\n";
  if (printing_->dossiersWritten() > 0)
    out << printing_->dossiersWritten() << " PDF-Mappe(n) geschrieben.\n";
}

}  // namespace cli
