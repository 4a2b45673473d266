#include <CLI/CLI.hpp>
#include <ostream>

#include "app/program_objects.h"
#include "cli/commands.h"
#include "cli/open_survey.h"
#include "data/cls_dbf_data.h"
#include "data/text_decoding_check.h"

namespace cli {

void addCheckCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand(
      "check", "Pfade, DBF-Tabellen, Verbindung und Umlaute-Tabelle prüfen (wie vor jedem Lauf)");
  cmd->callback([&ctx, &action] {
    action = [&ctx] {
      data::clsDBFData db;
      if (!openSurvey(db, Purpose::Report)) return 1;
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
      ctx.out << "Alle Prüfungen bestanden.\n";
      return 0;
    };
  });
}

}  // namespace cli
