#include "app/program_objects.h"
#include "data/sql_text.h"
#include "report/mod_ffh_report_bogen.h"
#include "word/cls_word_doc.h"

namespace report {

int16_t FfhReportGetBogen(const std::string& polygonCode, data::clsDBFData& db,
                          std::vector<std::string>& sheets) {
  sheets.clear();
  const std::string query =
      "SELECT gbogen.GBCODE, gbogen.GBBOGEN From gbogen WHERE (((gbogen.GBPOLYGON)='" +
      data::sqlEscape(polygonCode) + "'))";
  data::Recordset rows;
  if (!db.GetRecordset(22, query, rows)) {
    app::g_Debug().Ausgabe(2, "FfhReportGetBogen: Fehler! Die SQL-Anfrage (" + query +
                                  ") auf die Tabelle gbogen schlug fehlt.");
    return 101;
  }
  for (; !rows.isEOF(); rows.MoveNext())
    sheets.push_back(rows.value(0).toText() + rows.value(1).toText());
  return 100;
}

int16_t FfhReportGenerateBoegen(const std::string& key, data::clsDBFData& db,
                                std::vector<std::string>& messages) {
  app::clsDebug& log = app::g_Debug();
  word::clsWordDoc& doc = word::g_WordDoc();
  if (!db.ValidFilePaths()) {
    log.Ausgabe(2,
                "FfhReportGenerateBoegen: Fehler! Die Verbindung zur Datenbank konnte nicht "
                "hergestellt werden.");
    return 101;
  }
  app::ui().processEvents();
  if (doc.CreateWordApplication() != 100) {
    log.Ausgabe(2, "Fehler! Konnte keine Verbindung zur Word-Applikation herstellen.");
    return 101;
  }
  if (doc.OpenWordDokument(key + "-Report", word::programFolder(), messages, 12, false, "") ==
      100) {
    if (FfhReportGenerateHead(key, db) != 100) {
      log.Ausgabe(2, "FfhReportGenerateBoegen: Fehler! Der Kopfbereich für " + key +
                         " konnte nicht erstellt werden.");
    } else {
      app::ui().processEvents();
      if (FfhReportGenerateBogen(key, db) != 100) {
        log.Ausgabe(2, "FfhReportGenerateBoegen: Fehler! Der Bogenbereich für " + key +
                           " konnte nicht erstellt werden.");
      } else {
        app::ui().processEvents();
        if (FfhReportGenerateFooter(key, db) != 100)
          log.Ausgabe(2, "FfhReportGenerateBoegen: Fehler! Der Fußbereich für " + key +
                             " konnte nicht erstellt werden.");
      }
    }
    doc.CloseWordDokument();
    log.Ausgabe(3, "FfhReportGenerateBoegen: Datei " + key + " generiert.");
    log.Ausgabe(3, std::string(59, '#'));
  }
  doc.DeleteWordApplication();
  return 100;
}

}  // namespace report
