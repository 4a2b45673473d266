#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>

#include "app/program_objects.h"
#include "app/startup.h"
#include "cli/commands.h"
#include "cli/generate_commands.h"
#include "sample/sample_database.h"
#include "sample/sample_shapefile.h"

namespace cli {

namespace fs = std::filesystem;

// The first thing a new user runs: a sample survey, then every clean copy and every data report.
void addDemoCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand(
      "demo", "Beispiel-Datenbank schreiben und alle Geländebögen und Datenreports erzeugen");
  auto work = std::make_shared<std::string>("demo-work");
  auto out = std::make_shared<std::string>("demo-output");
  cmd->add_option("--work", *work, "Ordner für die Beispiel-Datenbank")
      ->type_name("ORDNER")
      ->capture_default_str();
  cmd->add_option("--out", *out, "Ordner für die Dokumente")
      ->type_name("ORDNER")
      ->capture_default_str();
  cmd->callback([&ctx, &action, work, out] {
    action = [&ctx, work, out] {
      const fs::path survey = fs::path(absolutePath(*work)) / "survey";
      const fs::path output = absolutePath(*out);
      fs::remove_all(survey);
      fs::remove_all(output);
      fs::create_directories(output);
      const auto result = sample::writeSampleDatabase(survey, {});
      sample::writeUmlautTable(survey / "umlaute2.dbf");
      std::vector<std::string> codes;
      for (const auto& p : result.polygons) codes.push_back(p.code);
      const fs::path shape = sampleShapefile(survey);
      fs::create_directories(shape.parent_path());
      sample::writeSampleShapefile(shape, codes, 1);
      ctx.out << "Beispiel-Datenbank: " << result.polygons.size() << " Polygone, " << result.sheets
              << " Geländebögen in " << survey.string() << "\n\n";

      // The demo's own paths for this run, with the log on; nothing is stored.
      ctx.settings.override(app::kDbfFilesPfad, survey.string());
      ctx.settings.override(app::kShapeFilesPfad, shape.string());
      ctx.settings.override(app::kDataFilesPfad, output.string());
      ctx.settings.override(app::kErrorReport, "0");
      app::resetDebug();
      app::startLogIfEnabled();

      SheetsOptions sheets;
      sheets.where.all = true;
      sheets.yes = true;
      ctx.out << "== Geländebögen (Reinschrift)\n";
      int status = runSheets(ctx, sheets);
      ReportOptions report;
      report.where.all = true;
      ctx.out << "\n== Datenreports mit Deckblatt\n";
      status = std::max(status, runReport(ctx, report));

      const fs::path messages = output / "MessageReport.txt";
      ctx.out << "\nGeländebögen:    " << output.string() << "/<Bogentyp>/\n"
              << "Datenreports:    " << (output / "Report").string() << "/\n"
              << "Fehlerprotokoll: " << (output / "FehlerReport2.log").string() << "\n"
              << "Meldungen:       "
              << (fs::exists(messages) ? messages.string() : std::string("keine")) << "\n";
      return status;
    };
  });
}

}  // namespace cli
