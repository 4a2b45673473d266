#include <CLI/CLI.hpp>
#include <ostream>

#include "app/program_objects.h"
#include "cli/commands.h"
#include "cli/open_survey.h"
#include "data/cls_dbf_data.h"

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
      ctx.out << "Alle Prüfungen bestanden.\n";
      return 0;
    };
  });
}

}  // namespace cli
