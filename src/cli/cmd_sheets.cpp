#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <ostream>

#include "app/message_file.h"
#include "app/program_objects.h"
#include "app/run_services.h"
#include "base/visible_text.h"
#include "cli/cancel_signal.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/generate_commands.h"
#include "cli/german_cli.h"
#include "cli/open_survey.h"
#include "cli/print_options.h"
#include "cli/progress_display.h"
#include "cli/run_outcome.h"
#include "data/area_selection.h"
#include "data/schema/sheet_types.h"
#include "report/mod_ffh_report_bogen.h"
#include "sheets/clean_copy_run.h"
#include "sheets/run_workers.h"
#include "word/cls_word_doc.h"

namespace cli {
namespace {

// Applies --areas/--subareas/--polygons to the cascaded lists; a level without an option takes
// every row. Answers false (after telling why) when a value matches no row.
bool selectAreas(data::AreaSelection& lists, const AreaOptions& o, std::ostream& err) {
  auto apply = [&](const char* option, const std::string& values, auto selectByValue,
                   auto selectAll) {
    if (values.empty()) {
      selectAll();
      return true;
    }
    return allValuesKnown(option, selectByValue(splitList(values)), err);
  };
  return apply(
             "--areas", o.areas, [&](auto v) { return lists.selectAreasByValue(v); },
             [&] { lists.selectAllAreas(); }) &&
         apply(
             "--subareas", o.subAreas, [&](auto v) { return lists.selectSubAreasByValue(v); },
             [&] { lists.selectAllSubAreas(); }) &&
         apply(
             "--polygons", o.polygons, [&](auto v) { return lists.selectPolygonsByValue(v); },
             [&] { lists.selectAllPolygons(); });
}

bool confirm(Context& ctx, bool yes) {
  if (yes) return true;
  if (!isatty(STDIN_FILENO)) {
    ctx.err << "Ohne Terminal wird nur mit --yes generiert.\n";
    return false;
  }
  ctx.out << "Geländebögen generieren? [j/N] " << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  return !answer.empty() && (answer[0] == 'j' || answer[0] == 'J' || answer[0] == 'y');
}

}  // namespace

int runSheets(Context& ctx, const SheetsOptions& o) {
  const auto types = sheetTypesOption(o.types, ctx.err);
  if (!types || !areaOptionsAgree(o.where, ctx.err)) return kUsageError;
  word::resetWordDoc();
  PrintSession printing(ctx, o.output);
  data::clsDBFData db;
  if (!openSurvey(db, Purpose::CleanCopies)) return kNotAllDone;

  sheets::Restrictions r;
  for (const auto& t : *types) r.sheetTypes.add(t, t);
  for (const auto& b : o.biotopes) r.biotopeTypes.add(b, b);
  for (const auto& h : o.habitats) r.habitatTypes.add(h, h);
  r.allBiotopeTypes = o.biotopes.empty();
  r.allHabitatTypes = o.habitats.empty();
  r.skipCopies = o.skipCopies;
  r.allAreas = o.where.all || o.where.noneNamed();
  if (!r.allAreas) {
    data::TextSet known;
    data::AreaRoots roots;
    if (db.GetBogenNumbers(data::kSheetTypes, known, roots) != 100) {
      app::g_Debug().Ausgabe(
          2, "lstGBogen_Click: Fehler! Geländebögennummern konnten nicht ermittelt werden.");
      app::reportUnreadableSurvey("Die Geländebögennummern konnten nicht ermittelt werden.",
                                  db.lastError(), app::RunServices::program());
      return kNotAllDone;
    }
    data::AreaSelection lists(data::AreaSelection::Mode::Sheets);
    lists.SetBogenNumbers(roots);
    if (!selectAreas(lists, o.where, ctx.err)) return kUsageError;
    r.sheetCodes = lists.selectedSheetCodes();
  }

  const sheets::Selection selection = sheets::selectSheets(db, r);
  if (selection.status != 100) {
    app::reportUnreadableSurvey("Die zu generierenden Geländebögen konnten nicht ermittelt werden.",
                                db.lastError(), app::RunServices::program());
    return kNotAllDone;
  }
  if (ctx.verbosity != Verbosity::Quiet || o.listSelection)
    ctx.out << sheets::selectionHeadline(selection) << "\n";
  if (o.listSelection)
    for (const auto& [key, item] : selection.keys)
      ctx.out << base::visibleText(sheets::selectionEntry(key)) << "\n";
  if (!confirm(ctx, o.yes)) {
    ctx.out << "Es wurde nichts generiert.\n";
    return kNotAllDone;
  }

  CancelOnInterrupt interrupt;
  ProgressDisplay progress = progressFor(ctx, "Geländebogen", o.jobs);
  sheets::RunCallbacks callbacks;
  callbacks.progress = [&](std::size_t, std::size_t n, const std::string& key) {
    progress.started(n, key);
  };
  if (o.cover) callbacks.coverSheet = report::coverSheetInFolder();
  word::RunContext run = word::programContext(db);
  const sheets::RunSummary summary = sheets::runCleanCopies(
      run, selection.keys, o.skipCopies, o.cover, interrupt.flag(), callbacks, o.jobs, o.changed);
  progress.finish();

  if (!summary.changedNotice.empty()) ctx.out << summary.changedNotice << "\n";
  ctx.out << sheets::summaryLine(summary) << (summary.incomplete.empty() ? "" : ",") << " in "
          << progress.elapsed() << ".\n";
  if (summary.skippedCopies)
    ctx.out << summary.skippedCopies << " Kopien von Sammel- und Komplexbögen übersprungen.\n";
  printing.report(ctx.out);
  if (summary.cancelled) ctx.out << "Der Lauf wurde abgebrochen.\n";
  printOutputFolder(ctx);
  for (const auto& key : summary.failed)
    ctx.err << "Nicht erstellt: " << base::visibleText(key) << "\n";
  printRunOutcome(ctx.err, summary.incomplete, summary.messages, summary.notes,
                  summary.messageFile);
  const bool complete = summary.failed.empty() && summary.incomplete.empty() &&
                        !summary.cancelled && summary.messages.empty();
  return runStatus(complete);
}

void addSheetsCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand("sheets", "Geländebögen (Reinschrift) erzeugen");
  auto o = std::make_shared<SheetsOptions>();
  cmd->add_option("--types", o->types, "Bogentypen, z. B. F,GN (Vorgabe: alle)")
      ->type_name("TYPEN");
  addAreaOptions(*cmd, o->where, "Polygone wie in der Liste (Polygon und Teil)");
  cmd->add_option("--biotope", o->biotopes, "nur diese Biotoptypen (Codes)")->type_name("CODE");
  cmd->add_option("--habitat", o->habitats, "nur diese Lebensraumtypen (Codes)")->type_name("CODE");
  cmd->add_flag("--skip-copies", o->skipCopies,
                "Kopien von Sammel- und Komplexbögen nicht generieren");
  cmd->add_flag("--cover", o->cover, "vor jedem Bogen sein Deckblatt in den Ordner des Bogens");
  cmd->add_flag("--yes,-y", o->yes, "ohne Rückfrage generieren");
  cmd->add_flag("--list", o->listSelection, "vor dem Lauf jeden ausgewählten Bogen nennen");
  addJobsOption(*cmd, o->jobs);
  addChangedOption(*cmd, o->changed);
  o->output.addTo(*cmd);
  cmd->callback([&ctx, &action, o] { action = [&ctx, o] { return runSheets(ctx, *o); }; });
}

ProgressDisplay progressFor(const Context& ctx, const std::string& label, unsigned jobs) {
  return ProgressDisplay(ctx.err, ProgressDisplay::modeFor(ctx.verbosity, ctx.errIsTerminal), label,
                         sheets::workersFor(jobs), terminalColumns(STDERR_FILENO));
}

void printOutputFolder(const Context& ctx) {
  ctx.out << "Ausgabeordner: " << ctx.settings.get(app::kDataFilesPfad) << "\n";
}

void addJobsOption(CLI::App& command, unsigned& jobs) {
  command
      .add_option("--jobs,-j", jobs,
                  "so viele Dokumente gleichzeitig erzeugen (Vorgabe: eines je Prozessorkern)")
      ->type_name("ZAHL")
      ->check(wholeNumber(1, 256));
}

void addChangedOption(CLI::App& command, bool& changed) {
  command.add_flag("--changed", changed,
                   "nur Dokumente neu erstellen, deren Daten, Vorlage oder Einstellungen sich seit "
                   "dem letzten Lauf in diesen Ausgabeordner geändert haben");
}

void addAreaOptions(CLI::App& command, AreaOptions& areas, const std::string& polygonsHelp) {
  command.add_option("--areas", areas.areas, "FFH-Gebiete wie in der Liste, z. B. 123,456")
      ->type_name("GEBIETE");
  command.add_option("--subareas", areas.subAreas, "Teilgebiete wie in der Liste, z. B. 001")
      ->type_name("TEILGEBIETE");
  command.add_option("--polygons", areas.polygons, polygonsHelp)->type_name("POLYGONE");
  command.add_flag("--all", areas.all, "alle Gebiete, Teilgebiete und Polygone");
}

bool areaOptionsAgree(const AreaOptions& areas, std::ostream& err) {
  if (!areas.all || areas.noneNamed()) return true;
  err << "--all schließt --areas, --subareas und --polygons aus.\n";
  return false;
}

bool allValuesKnown(const char* option, const std::vector<std::string>& unknown,
                    std::ostream& err) {
  for (const auto& value : unknown)
    err << "Unbekannter Wert für " << option << ": " << value << "\n";
  return unknown.empty();
}

}  // namespace cli
