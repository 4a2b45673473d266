#include "sheets/ffh_polygon_col.h"

#include <algorithm>

#include "app/run_services.h"
#include "data/schema/sheet_types.h"
#include "data/schema/survey_tables.h"
#include "data/sheet_code_rule.h"

namespace sheets {

int16_t FfhGetPolygonCol(data::clsDBFData& db, const data::TextSet& biotopeTypes,
                         int allBiotopeTypes, const data::TextSet& habitatTypes,
                         int allHabitatTypes, const data::TextSet& sheetTypes,
                         const data::TextSet& sheetCodes, int allAreas, int skipCopies,
                         data::TextSet& result) {
  result = data::TextSet();
  const std::string query =
      "SELECT gbogen.GBCODE, gbogen.GBBOGEN, gbogen.GBBIOTOP, gbogen.GBFFH1, gbogen.GBKOPIE "
      "FROM gbogen";
  data::Recordset rows;
  if (!db.GetRecordset("FfhGetPolygonCol", data::schema::table::kGBogen, query, rows, {},
                       {"gbogen", false}))
    return 101;
  auto outside = [](const data::Value& v, const data::TextSet& set) {
    return v.isNull() || !set.contains(v.toText());
  };
  // A sheet of no known type has no template; when every type is asked for, it would be
  // missing without a word, so it is named.
  const bool everyType = std::all_of(data::kSheetTypes.begin(), data::kSheetTypes.end(),
                                     [&](const std::string& t) { return sheetTypes.contains(t); });
  auto known = [](const data::Value& type) {
    return !type.isNull() && std::find(data::kSheetTypes.begin(), data::kSheetTypes.end(),
                                       type.toText()) != data::kSheetTypes.end();
  };
  for (rows.MoveFirst(); !rows.isEOF(); rows.MoveNext()) {
    const data::Value& code = rows.value(0);
    const data::Value& type = rows.value(1);
    const data::Value& copy = rows.value(4);
    double copyKind = 0;
    if (skipCopies == 1 && !copy.isNull() && copy.toNumber(copyKind) &&
        (copyKind == 3 || copyKind == 4))
      continue;
    if (!known(type) && everyType && !code.isNull() && data::isSheetCode(code.toText()) &&
        (allAreas != 0 || sheetCodes.contains(code.toText())))
      db.skipUnknownType("FfhGetPolygonCol", code.toText(), type);
    if (outside(type, sheetTypes)) continue;
    if (code.isNull() || !data::isSheetCode(code.toText())) {
      db.skipMalformedCode("FfhGetPolygonCol", code, type);
      continue;
    }
    if (allAreas == 0 && !sheetCodes.contains(code.toText())) continue;
    if (allBiotopeTypes == 0 && outside(rows.value(2), biotopeTypes)) continue;
    if (allHabitatTypes == 0 && outside(rows.value(3), habitatTypes)) continue;
    // A pair stored twice in the sheet table is still one sheet.
    const std::string key = code.toText() + type.toText();
    if (result.contains(key)) db.addNote(data::repeatedSheetNote(key));
    result.add(key, key);
  }
  return 100;
}

}  // namespace sheets
