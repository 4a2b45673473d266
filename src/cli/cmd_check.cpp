#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iomanip>
#include <ostream>

#include "app/ffh_check_path.h"
#include "app/program_objects.h"
#include "check/data_check.h"
#include "check/findings_csv.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/open_survey.h"
#include "cli/progress_display.h"
#include "data/cls_dbf_data.h"
#include "data/text_decoding_check.h"
#include "shape/map_coordinates.h"
#include "word/cls_word_doc.h"
#include "word/error_text.h"

namespace cli {
namespace {

// How many findings the console shows; the file holds them all.
constexpr std::size_t kShownFindings = 20;

int checkInstallation(Context& ctx) {
  // Every template, with the bookmarks the routines write into it.
  bool templatesUsable = true;
  word::clsWordDoc& engine = word::g_WordDoc();
  for (const auto& [key, file] : engine.templates()) {
    if (const std::string problem = engine.TemplateProblem(key, word::programFolder());
        !problem.empty()) {
      ctx.err << problem << "\n";
      templatesUsable = false;
    }
  }
  data::clsDBFData db;
  if (!openSurvey(db, Purpose::Report) || !templatesUsable) return kNotAllDone;
  if (const std::string problem =
          app::outputFolderWriteProblem(app::settings().get(app::kDataFilesPfad));
      !problem.empty()) {
    app::g_Debug().Ausgabe(2, "check: Fehler! " + problem);
    app::ui().message(app::MessageIcon::Error, problem);
    return kNotAllDone;
  }
  if (db.CheckUmlauteTab() != 100) {
    app::ui().message(app::MessageIcon::Error,
                      "Die Umlaute-Tabelle des Programms ist nicht korrekt.");
    return kNotAllDone;
  }
  // Texts that do not decode would print as replacement characters: name their tables.
  std::vector<std::string> tables;
  for (int i = 1; i <= data::clsDBFData::kTableCount; ++i) tables.push_back(db.tableName(i));
  for (const auto& t : data::findUndecodableTexts(db.surveyFolder(), tables)) {
    const std::string warning = "Warnung! Die Tabelle " + t.table + " enthält " +
                                std::to_string(t.texts) + " Text(e), die in der Codepage " +
                                t.codePage +
                                " nicht lesbar sind. Bitte legen Sie eine .cpg-Datei mit der "
                                "richtigen Codepage neben die Tabelle.";
    app::g_Debug().Ausgabe(3, "check: " + warning);
    ctx.err << warning << "\n";
  }
  // How the maps will read the shapefile's coordinates.
  const std::string shp = app::settings().get(app::kShapeFilesPfad);
  try {
    const shape::ShapefileCoordinates coordinates = shape::describeCoordinates(shp);
    ctx.out << "Koordinatensystem der Shape-Datei: " << coordinates.system << "\n";
    if (!coordinates.note.empty()) {
      app::g_Debug().Ausgabe(3, "check: Warnung! " + coordinates.note);
      ctx.err << "Warnung! " << coordinates.note << "\n";
    }
  } catch (const std::exception& e) {
    const std::string error =
        "Fehler! Die Shape-Datei " + shp + " ist nicht lesbar: " + word::userCause(e);
    app::g_Debug().Ausgabe(2, "check: " + error);
    ctx.err << error << "\n";
    return kNotAllDone;
  }
  ctx.out << "Alle Prüfungen bestanden.\n";
  return kDone;
}

void printSummary(std::ostream& out, const check::CheckResult& result) {
  const auto counts = check::countByCheck(result.findings);
  if (counts.empty()) return;
  out << "\n"
      << std::left << std::setw(34) << "Prüfung" << std::right << std::setw(8) << "Fehler"
      << std::setw(11) << "Warnungen" << std::setw(10) << "Hinweise"
      << "\n";
  for (const auto& c : counts) {
    const std::string name = check::checkName(c.check);
    // setw counts bytes; the names hold umlauts.
    std::size_t letters = 0;
    for (unsigned char ch : name) letters += (ch & 0xC0) != 0x80;
    out << name << std::string(letters < 34 ? 34 - letters : 1, ' ') << std::setw(8) << c.fehler
        << std::setw(11) << c.warnungen << std::setw(10) << c.hinweise << "\n";
  }
}

void printFindings(std::ostream& out, const std::vector<check::Finding>& findings) {
  if (findings.empty()) return;
  out << "\nBefunde"
      << (findings.size() > kShownFindings ? " (die ersten " + std::to_string(kShownFindings) + ")"
                                           : std::string())
      << ":\n";
  for (std::size_t i = 0; i < findings.size() && i < kShownFindings; ++i) {
    const check::Finding& f = findings[i];
    out << check::severityText(f.severity) << ": " << check::checkName(f.check) << " – ";
    if (!f.table.empty()) out << f.table;
    if (f.record) out << ", Datensatz " << f.record;
    if (!f.key.empty()) out << " (" << f.key << ")";
    out << ": " << f.message << "\n";
  }
}

int checkData(Context& ctx, const std::string& csv) {
  check::CheckOptions options;
  options.surveyFolder = ctx.settings.get(app::kDbfFilesPfad);
  options.shapefile = ctx.settings.get(app::kShapeFilesPfad);
  options.today = check::today();
  // A bar on a terminal, a line per step with --verbose.
  ProgressDisplay progress(ctx.err, ProgressDisplay::modeFor(ctx.verbosity, ctx.errIsTerminal), "",
                           1, terminalColumns(STDERR_FILENO), "Prüfe");
  const check::CheckResult result =
      check::runDataCheck(options, [&](std::size_t, std::size_t steps, const std::string& what) {
        progress.started(steps, what);
      });
  progress.finish();
  if (result.unreadable) {
    ctx.err << result.reason << "\n";
    return kFolderUnreadable;
  }
  ctx.out << "Datenprüfung von " << options.surveyFolder.string();
  if (!options.shapefile.empty()) ctx.out << " mit " << options.shapefile.string();
  ctx.out << "\n";
  if (!result.coordinateSystem.empty())
    ctx.out << "Koordinatensystem der Shape-Datei: " << result.coordinateSystem << "\n";
  printSummary(ctx.out, result);
  printFindings(ctx.out, result.findings);
  const std::size_t errors = result.count(check::Severity::Fehler);
  ctx.out << "\n"
          << errors << " Fehler, " << result.count(check::Severity::Warnung) << " Warnungen, "
          << result.count(check::Severity::Hinweis) << " Hinweise.\n";
  if (!csv.empty()) {
    if (const std::string problem = check::writeFindingsCsv(csv, result.findings);
        !problem.empty()) {
      ctx.err << problem << "\n";
      return kNotAllDone;
    }
    ctx.out << "Alle " << result.findings.size() << " Befunde stehen in " << csv << "\n";
  } else if (result.findings.size() > kShownFindings) {
    ctx.out << "Alle Befunde schreibt: quelbrix check --data --csv DATEI\n";
  }
  return errors ? 1 : 0;
}

}  // namespace

void addCheckCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand(
      "check", "Vorlagen, Pfade, DBF-Tabellen, Verbindung und Umlaute-Tabelle prüfen");
  auto data = std::make_shared<bool>(false);
  auto csv = std::make_shared<std::string>();
  cmd->add_flag("--data", *data,
                "stattdessen den Kartierordner vor der Abgabe prüfen: alle Tabellen, Bezüge und "
                "die Geometrie des Shapefiles (Ende 0 ohne Fehler, 1 mit Fehlern, 2 wenn der "
                "Ordner nicht lesbar ist)");
  cmd->add_option("--csv", *csv, "alle Befunde in diese CSV-Datei schreiben")
      ->type_name("DATEI")
      ->needs(cmd->get_option("--data"));
  cmd->callback([&ctx, &action, data, csv] {
    action = [&ctx, data, csv] {
      return *data ? checkData(ctx, csv->empty() ? "" : absolutePath(*csv))
                   : checkInstallation(ctx);
    };
  });
}

}  // namespace cli
