#include <CLI/CLI.hpp>
#include <ostream>

#include "app/ffh_check_path.h"
#include "app/program_objects.h"
#include "cli/commands.h"
#include "data/cls_dbf_data.h"

namespace cli {

void addCheckCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand(
      "check", "Pfade, DBF-Tabellen, Verbindung und Umlaute-Tabelle prüfen (wie vor jedem Lauf)");
  cmd->callback([&ctx, &action] {
    action = [&ctx] {
      if (app::FfhCheckPath() != 100) return 1;
      data::clsDBFData db;
      if (!db.ValidFilePaths()) {
        app::g_Debug().Ausgabe(2, "Fehler! Eine oder mehrere DBF-Dateien konnten nicht gefunden werden.");
        app::ui().message(app::MessageIcon::Error,
                          "Die Programm-Daten sind nicht korrekt.\nBitte überprüfen Sie die "
                          "Pfade.\n\nKontaktieren Sie den Hersteller, wenn sich das Problem trotz "
                          "korrektem Pfad nicht beheben lässt.");
        return 1;
      }
      db.ConnectDBDaten();
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
