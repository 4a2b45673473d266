#include "data/schema/gbogen_columns.h"
#include "report/mod_ffh_report_bogen.h"
#include "report/report_format.h"
#include "report/report_record.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace report {
namespace {

std::vector<std::string> splitTypes(const std::string& list) {
  std::vector<std::string> types;
  if (list.empty()) return types;
  std::size_t start = 0;
  for (std::size_t pos; (pos = list.find(',', start)) != std::string::npos; start = pos + 1)
    types.push_back(list.substr(start, pos - start));
  types.push_back(list.substr(start));
  return types;
}

}  // namespace

int16_t FfhReportErfassungseinheiten(const std::string& polygonCode, const std::string& sheetTypes,
                                     const word::RunContext& run) {
  app::clsDebug& log = run.log;
  word::clsWordDoc& doc = run.doc;
  data::clsDBFData& db = run.db;
  // GBPOLYGON holds the first 11 characters of the code, so it finds the polygon's sheets
  // without a LIKE pattern built from database text.
  std::string query = "SELECT DISTINCT * FROM gbogen WHERE ((GBPOLYGON=?) AND (";
  std::vector<data::Value> params{data::Value::text(polygonCode)};
  const auto types = splitTypes(sheetTypes);
  for (std::size_t i = 0; i < types.size(); ++i) {
    query += i ? "OR GBBOGEN=?" : "GBBOGEN=?";
    params.push_back(data::Value::text(types[i]));
  }
  query += "))";
  data::Recordset rows;
  if (!db.GetRecordset("FfhReportErfassungseinheiten", 0, query, rows, params)) return 101;
  const RecordView r(rows);
  using namespace data::schema::gbogen;
  if (r.present(kCode)) {
    const std::string code = r.text(kCode).substr(0, 11);
    if (doc.SetTextMarke("GBCODE", formatTextGroups(code, "&&& &&& &&&&&"), "", true) != 100) {
      log.Ausgabe(2, "Fehler! Die Textmarke GBCODE konnte nicht korrekt gesetzt werden.");
      return 101;
    }
  }
  for (; !rows.isEOF(); rows.MoveNext()) {
    const std::string title =
        "Bogen Nr.: " + (r.present(kCode) ? formatNumberGroups(r.text(kCode), "### ### #### ##")
                                          : std::string("keine"));
    const std::string left = r.present(kBiotope)
                                 ? "Biotoptyp: " + formatTextGroups(r.text(kBiotope), "&&&")
                                 : "Biotoptyp: ---";
    std::string middle =
        " Nebencode(s): " +
        (r.present(kBiotope2) ? formatTextGroups(r.text(kBiotope2), "&&&") : std::string("---"));
    for (int n = kBiotope2 + 1; n <= kBiotope6; ++n)
      if (r.present(n)) middle += ", " + formatTextGroups(r.text(n), "&&&");
    const std::string right =
        r.present(kShare) ? " Flächenanteil: " + r.text(kShare) + "%" : " Flächenanteil: --";
    doc.InsertErfassungseinheit(title, left, middle, right);
  }
  return 100;
}

}  // namespace report
