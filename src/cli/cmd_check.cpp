#include <CLI/CLI.hpp>
#include <ostream>

#include "app/program_objects.h"
#include "cli/commands.h"
#include "cli/open_survey.h"
#include "data/cls_dbf_data.h"
#include "data/text_decoding_check.h"
#include "word/cls_word_doc.h"
#include "word/error_text.h"
#include "word/map_coordinates.h"

namespace cli {

void addCheckCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand(
      "check", "Vorlagen, Pfade, DBF-Tabellen, Verbindung und Umlaute-Tabelle prüfen");
  cmd->callback([&ctx, &action] {
    action = [&ctx] {
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
      if (!openSurvey(db, Purpose::Report) || !templatesUsable) return 1;
      if (db.CheckUmlauteTab() != 100) {
        app::ui().message(app::MessageIcon::Error,
                          "Die Umlaute-Tabelle des Programms ist nicht korrekt.");
        return 1;
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
        const word::ShapefileCoordinates coordinates = word::describeCoordinates(shp);
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
        return 1;
      }
      ctx.out << "Alle Prüfungen bestanden.\n";
      return 0;
    };
  });
}

}  // namespace cli
