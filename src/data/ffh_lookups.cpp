#include "data/ffh_lookups.h"

#include "app/program_objects.h"
#include "data/shown_query.h"

namespace data {
namespace {

// text as a LIKE pattern that matches only itself.
std::string likeLiteral(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '%' || c == '_' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

int16_t FfhReportGetBogentypen(const std::string& polygonCode, std::string& types, clsDBFData& db) {
  types.clear();
  int16_t result = 101;
  const std::string query =
      "SELECT GBogen.GBCODE, GBogen.GBBOGEN From GBogen WHERE GBogen.GBCODE like ? ESCAPE '\\'";
  const std::vector<Value> params{Value::text(likeLiteral(polygonCode) + "_")};
  Recordset rows;
  if (!db.GetRecordset(0, query, rows, params)) {
    app::g_Debug().Ausgabe(2, "FfhReportGetBogentypen: Fehler! Die SQL-Anfrage (" +
                                  shownQuery(query, params) + ") auf die Tabelle mit dem Index " +
                                  "0" + " schlug fehlt.");
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
  // A sheet key is looked up by its code and its own type: a code may carry two sheets, and
  // only one of them may be the copy.
  const bool isPattern = codeOrPattern.find('_') != std::string::npos;
  const std::string pattern =
      isPattern ? likeLiteral(codeOrPattern.substr(0, codeOrPattern.find('_'))) + "_"
                : likeLiteral(codeOrPattern.substr(0, 12));
  const std::string sheetType =
      !isPattern && codeOrPattern.size() > 12 ? codeOrPattern.substr(12) : "";
  const std::string typeCondition = sheetType.empty() ? "" : " AND GBogen.GBBOGEN=?";
  const std::string query =
      "SELECT GBogen.GBCODE, GBogen.GBKOPIE From GBogen WHERE (GBogen.GBCODE like ? ESCAPE '\\' "
      "AND (GBogen.GBKOPIE='3' OR GBogen.GBKOPIE='4')" +
      typeCondition + ")";
  std::vector<Value> params{Value::text(pattern)};
  if (!sheetType.empty()) params.push_back(Value::text(sheetType));
  Recordset rows;
  if (!db.GetRecordset(0, query, rows, params)) {
    app::g_Debug().Ausgabe(2, "FfhBogenIsCopy: Fehler! Die SQL-Anfrage (" +
                                  shownQuery(query, params) + ") auf die Tabelle mit dem Index " +
                                  "0" + " schlug fehlt.");
    return false;
  }
  return !(rows.isBOF() && rows.isEOF());
}

}  // namespace data
