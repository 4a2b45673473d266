#include "cli/open_survey.h"

#include <filesystem>

#include "app/ffh_check_path.h"
#include "app/program_objects.h"
#include "base/file_lookup.h"

namespace cli {
namespace {

bool tablesMissing(Purpose purpose) {
  app::g_Debug().Ausgabe(2, "Fehler! Eine oder mehrere DBF-Dateien konnten nicht gefunden werden.");
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

bool pathFails(const std::string& logLine, const std::string& userMessage) {
  app::g_Debug().Ausgabe(2, "mod_subs.FfhCheckPath: Fehler! " + logLine);
  app::ui().message(app::MessageIcon::Error, userMessage + "\nBitte überprüfen Sie die Pfade.");
  return false;
}

}  // namespace

bool openSurvey(data::clsDBFData& db, Purpose purpose) {
  if (app::FfhCheckPath() != 100) return false;
  if (!db.ValidFilePaths()) return tablesMissing(purpose);
  db.ConnectDBDaten();
  if (purpose == Purpose::CleanCopies) db.CheckUmlauteTab();
  return true;
}

bool openSurveyTables(data::clsDBFData& db) {
  const std::string folder = app::settings().get(app::kDbfFilesPfad);
  if (folder.empty())
    return pathFails("Der Pfad für die Programm-Daten ist nicht gesetzt.",
                     "Der Pfad für Programm-Daten ist nicht bestimmt.");
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec) ||
      base::findFileNoCase(folder, "Polygone.dbf").empty())
    return pathFails(
        "Die Programm-Daten (DBF) konnten nicht gefunden werden, Pfad: " + folder + "/Polygone.dbf",
        "Die Programm-Daten konnten nicht gefunden werden.");
  // The tables ValidFilePaths looks for, without the shapefile, which listing does not read.
  for (int i = 1; i <= data::clsDBFData::kTableCount; ++i)
    if (base::findFileNoCase(folder, db.tableName(i) + ".dbf").empty()) {
      app::g_Debug().Ausgabe(2,
                             "Fehler! Die DBF-Datei " + db.tableName(i) + " ist nicht vorhanden.");
      return tablesMissing(Purpose::Report);
    }
  db.useSurveyFolder(folder);
  db.ConnectDBDaten();
  return true;
}

}  // namespace cli
