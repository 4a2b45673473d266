#include "app/program_objects.h"
#include "data/sql_text.h"
#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"

namespace sheets {

int16_t FfhBogenGenerateBogen(const std::string& key, data::clsDBFData& db) {
  app::clsDebug& log = app::g_Debug();
  const std::string code = sheetCode(key);
  int16_t index = -1;
  if (!db.GetDBNumber(key, index)) {
    log.Ausgabe(2, "FfhBogenGenerateBogen: Fehler! Die Geländebogenkennung von " + key +
                       " ist nicht vorhanden.");
    return 101;
  }
  for (int16_t part = 1; part <= 2; ++part) {
    if (part == 2) ++index;
    std::string table;
    if (!db.GetTableName(key, part, table)) {
      log.Ausgabe(2,
                  "FfhBogenGenerateBogen: Fehler! Der Tabellenname der Datenbank konnte nicht "
                  "ermittelt werden.");
      return 101;
    }
    const std::string query =
        "SELECT * FROM " + table + " WHERE GBCODE='" + data::sqlEscape(code) + "'";
    data::Recordset rs;
    if (!db.GetRecordset(index, query, rs)) {
      log.Ausgabe(2, "FfhBogenGenerateBogen: Fehler! Die SQL-Anfrage (" + query +
                         ") auf die Tabelle mit dem Index " + std::to_string(index) +
                         " schlug fehlt.");
      return 101;
    }
    for (; !rs.isEOF(); rs.MoveNext()) {
      for (int n = 1; n < rs.fieldCount(); ++n) {
        const data::Value& v = rs.value(n);
        if (v.isNull()) continue;
        const std::string text = v.toText();
        if (text.empty()) continue;
        if (word::g_WordDoc().SetTextMarke(rs.fieldName(n), text, "11", true) != 100)
          log.Ausgabe(3, "FfhBogenGenerateBogen: Fehler! Die Textmarke " + rs.fieldName(n) +
                             " konnte nicht gesetzt werden.");
      }
    }
  }
  log.Ausgabe(1, "FfhBogenGenerateBogen: OK");
  return 100;
}

}  // namespace sheets
