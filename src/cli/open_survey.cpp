#include "cli/open_survey.h"

#include "app/ffh_check_path.h"
#include "app/program_objects.h"

namespace cli {

bool openSurvey(data::clsDBFData& db, Purpose purpose) {
  if (app::FfhCheckPath() != 100) return false;
  if (!db.ValidFilePaths()) {
    app::g_Debug().Ausgabe(2,
                           "Fehler! Eine oder mehrere DBF-Dateien konnten nicht gefunden werden.");
    app::ui().message(
        app::MessageIcon::Error,
        std::string("Die Programm-Daten sind nicht korrekt.\n") +
            (purpose == Purpose::Report
                 ? "Eine oder mehrere DBF-Dateien konnten nicht gefunden werden.\n"
                 : "") +
            "Bitte überprüfen Sie die Pfade.\n\nKontaktieren Sie den Hersteller, wenn sich das "
            "Problem trotz korrektem Pfad nicht beheben lässt.");
    return false;
  }
  db.ConnectDBDaten();
  if (purpose == Purpose::CleanCopies) db.CheckUmlauteTab();
  return true;
}

}  // namespace cli
