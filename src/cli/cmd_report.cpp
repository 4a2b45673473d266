#include <CLI/CLI.hpp>
#include <ostream>

#include "app/program_objects.h"
#include "base/visible_text.h"
#include "cli/cancel_signal.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/generate_commands.h"
#include "cli/open_survey.h"
#include "cli/print_options.h"
#include "cli/progress_display.h"
#include "cli/run_outcome.h"
#include "report/report_run.h"
#include "word/cls_word_doc.h"

namespace cli {

int runReport(Context& ctx, const ReportOptions& o) {
  if (!areaOptionsAgree(o.where, ctx.err)) return kUsageError;
  if (!o.where.all && o.where.noneNamed()) {
    ctx.err << "Bitte Gebiete mit --areas/--subareas/--polygons wählen oder --all angeben.\n";
    return kUsageError;
  }
  word::resetWordDoc();
  PrintSession printing(ctx, o.output, o.dossier);
  data::clsDBFData db;
  if (!openSurvey(db, Purpose::Report)) return kNotAllDone;

  const report::PolygonSelection selection = report::selectPolygons(
      db, {splitList(o.where.areas), splitList(o.where.subAreas), splitList(o.where.polygons)});
  if (selection.status != 100) return kNotAllDone;
  const bool known = allValuesKnown("--areas", selection.unknownAreas, ctx.err) &
                     allValuesKnown("--subareas", selection.unknownSubAreas, ctx.err) &
                     allValuesKnown("--polygons", selection.unknownPolygons, ctx.err);
  if (!known) return kUsageError;
  if (ctx.verbosity != Verbosity::Quiet)
    ctx.out << (selection.codes.size() == 1
                    ? std::string("Es wurde 1 Polygonnummer ausgewählt.")
                    : "Es wurden " + std::to_string(selection.codes.size()) +
                          " Polygonnummern ausgewählt.")
            << "\n";

  CancelOnInterrupt interrupt;
  word::RunContext run = word::programContext(db);
  ProgressDisplay progress = progressFor(ctx, "Polygon", o.jobs);
  report::ReportCallbacks callbacks;
  callbacks.progress = [&](std::size_t, std::size_t n, const std::string& code) {
    progress.started(n, code);
  };
  if (print::DossierWriter* dossiers = printing.dossiers())
    callbacks.dossier = [dossiers](const auto& documents, const auto& target) {
      return dossiers->write(documents, target);
    };
  const report::ReportSummary summary = report::runReports(
      run, selection.codes, o.skipCopies, interrupt.flag(), callbacks, o.jobs, o.changed);
  progress.finish();

  if (!summary.changedNotice.empty()) ctx.out << summary.changedNotice << "\n";
  ctx.out << report::summaryLine(summary) << (summary.incomplete.empty() ? "" : ",") << " in "
          << progress.elapsed() << ".\n";
  if (summary.skippedCopies)
    ctx.out << summary.skippedCopies
            << " Polygone mit Kopien von Sammel- und Komplexbögen übersprungen.\n";
  if (summary.skippedUntyped)
    ctx.out
        << summary.skippedUntyped
        << " Kombinationen aus Gebiet, Teilgebiet und Polygon ohne Geländebögen übersprungen.\n";
  printing.report(ctx.out);
  if (summary.cancelled) ctx.out << "Der Lauf wurde abgebrochen.\n";
  printOutputFolder(ctx);
  if (summary.aborted)
    ctx.err << "Der Lauf wurde wegen eines Fehlers beendet: " << summary.error << "\n";
  for (const auto& code : summary.failedCoverSheets)
    ctx.err << "Deckblatt nicht erstellt: " << base::visibleText(code) << "\n";
  for (const auto& key : summary.failed)
    ctx.err << "Nicht erstellt: " << base::visibleText(key) << "\n";
  printRunOutcome(ctx.err, summary.incomplete, summary.messages, summary.notes,
                  summary.messageFile);
  const bool complete = !summary.aborted && !summary.cancelled && summary.failed.empty() &&
                        summary.incomplete.empty() && summary.failedCoverSheets.empty() &&
                        summary.messages.empty();
  return runStatus(complete);
}

void addReportCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand("report", "Datenreports mit Deckblatt je Polygon erzeugen");
  auto o = std::make_shared<ReportOptions>();
  addAreaOptions(*cmd, o->where, "Polygone wie in der Liste (ohne Teil), z. B. 00001");
  cmd->add_flag("--skip-copies", o->skipCopies,
                "Polygone mit Kopien von Sammel- und Komplexbögen nicht generieren");
  cmd->add_flag("--dossier", o->dossier,
                "je Polygon eine PDF-Mappe Report/<Polygon>Dossier.pdf: Deckblatt, dann die "
                "Datenreports");
  addJobsOption(*cmd, o->jobs);
  addChangedOption(*cmd, o->changed);
  o->output.addTo(*cmd);
  cmd->callback([&ctx, &action, o] { action = [&ctx, o] { return runReport(ctx, *o); }; });
}

}  // namespace cli
