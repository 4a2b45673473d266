#include "data/ffh_lookups.h"

#include <cstdint>
#include <vector>

#include "app/run_services.h"

namespace data {
namespace {

// The codes that start with prefix and have exactly one character more, as a condition the
// index of GBCODE serves: every text that starts with prefix lies between prefix and prefix
// with its last byte raised by one. A LIKE pattern would need an index of its own collation and
// a text column, and read the survey's table once per polygon when either is missing.
struct PrefixRange {
  std::string condition;
  std::vector<Value> params;
};

PrefixRange oneMoreCharacter(const std::string& prefix) {
  // An empty prefix gives an empty range: no polygon code is empty.
  std::string end = prefix;
  while (!end.empty() && static_cast<unsigned char>(end.back()) == 0xFF) end.pop_back();
  if (!end.empty()) end.back() = static_cast<char>(end.back() + 1);
  std::int64_t characters = 1;
  for (unsigned char c : prefix) characters += (c & 0xC0) != 0x80 ? 1 : 0;
  return {"GBogen.GBCODE>=? AND GBogen.GBCODE<? AND length(GBogen.GBCODE)=?",
          {Value::text(prefix), Value::text(end), Value::integer(characters)}};
}

}  // namespace

int16_t FfhReportGetBogentypen(const std::string& polygonCode, std::string& types, clsDBFData& db) {
  types.clear();
  int16_t result = 101;
  const PrefixRange range = oneMoreCharacter(polygonCode);
  const std::string query =
      "SELECT GBogen.GBCODE, GBogen.GBBOGEN From GBogen WHERE " + range.condition;
  Recordset rows;
  if (!db.GetRecordset("FfhReportGetBogentypen", 0, query, rows, range.params)) return 101;
  for (; !rows.isEOF(); rows.MoveNext()) {
    const Value& type = rows.value(1);
    if (type.isNull()) continue;
    result = 100;
    if (!types.empty()) types += ',';
    types += type.toText();
  }
  return result;
}

std::vector<SheetOfCode> sheetsByCode(const std::string& polygonCode, clsDBFData& db) {
  const PrefixRange range = oneMoreCharacter(polygonCode);
  Recordset rows;
  std::vector<SheetOfCode> sheets;
  if (!db.GetRecordset("sheetsByCode", 0,
                       "SELECT GBogen.GBCODE, GBogen.GBBOGEN, GBogen.GBPOLYGON From GBogen WHERE " +
                           range.condition,
                       rows, range.params))
    return sheets;
  for (; !rows.isEOF(); rows.MoveNext())
    sheets.push_back({rows.value(0).toText() + rows.value(1).toText(), rows.value(2)});
  return sheets;
}

bool FfhBogenIsCopy(const std::string& codeOrPattern, clsDBFData& db) {
  // A sheet key is looked up by its code and its own type: a code may carry two sheets, and
  // only one of them may be the copy.
  const std::size_t wildcard = codeOrPattern.find('_');
  const bool isPattern = wildcard != std::string::npos;
  PrefixRange range;
  if (isPattern) {
    range = oneMoreCharacter(codeOrPattern.substr(0, wildcard));
  } else {
    range.condition = "GBogen.GBCODE=?";
    range.params.push_back(Value::text(codeOrPattern.substr(0, 12)));
    if (codeOrPattern.size() > 12) {
      range.condition += " AND GBogen.GBBOGEN=?";
      range.params.push_back(Value::text(codeOrPattern.substr(12)));
    }
  }
  const std::string query = "SELECT GBogen.GBCODE, GBogen.GBKOPIE From GBogen WHERE (" +
                            range.condition + " AND (GBogen.GBKOPIE='3' OR GBogen.GBKOPIE='4'))";
  Recordset rows;
  if (!db.GetRecordset("FfhBogenIsCopy", 0, query, rows, range.params)) return false;
  return !(rows.isBOF() && rows.isEOF());
}

}  // namespace data
