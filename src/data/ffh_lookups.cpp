#include "data/ffh_lookups.h"

#include "app/program_objects.h"
#include "data/sql_text.h"

namespace data {

int16_t FfhReportGetBogentypen(const std::string& polygonCode, std::string& types,
                               clsDBFData& db) {
  types.clear();
  int16_t result = 101;
  const std::string query =
      "SELECT GBogen.GBCODE, GBogen.GBBOGEN From GBogen WHERE GBogen.GBCODE like '" +
      sqlEscape(polygonCode) + "_" + "'";
  Recordset rows;
  if (!db.GetRecordset(0, query, rows)) {
    app::g_Debug().Ausgabe(2, "FfhReportGetBogentypen: Fehler! Die SQL-Anfrage (" + query +
                                  ") auf die Tabelle mit dem Index " + "0" + " schlug fehlt.");
    return 101;
  }
  for (; !rows.isEOF(); rows.MoveNext()) {
    const Value& type = rows.value(1);
    if (type.isNull()) continue;
    result = 100;
    types += (types.empty() ? "" : ",") + type.toText();
  }
  return result;
}

bool FfhBogenIsCopy(const std::string& codeOrPattern, clsDBFData& db) {
  const std::string pattern = codeOrPattern.find('_') == std::string::npos
                                  ? codeOrPattern.substr(0, 12)
                                  : codeOrPattern;
  const std::string query =
      "SELECT GBogen.GBCODE, GBogen.GBKOPIE From GBogen WHERE (GBogen.GBCODE like '" +
      sqlEscape(pattern) + "' AND (GBogen.GBKOPIE='3' OR GBogen.GBKOPIE='4'))";
  Recordset rows;
  if (!db.GetRecordset(0, query, rows)) {
    app::g_Debug().Ausgabe(2, "FfhBogenIsCopy: Fehler! Die SQL-Anfrage (" + query +
                                  ") auf die Tabelle mit dem Index " + "0" + " schlug fehlt.");
    return false;
  }
  return !(rows.isBOF() && rows.isEOF());
}

}  // namespace data
