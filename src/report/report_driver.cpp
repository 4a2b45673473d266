#include "app/run_services.h"
#include "data/schema/survey_tables.h"
#include "data/sheet_code_rule.h"
#include "report/mod_ffh_report_bogen.h"
#include "sheets/document_cycle.h"
#include "word/cls_word_doc.h"

namespace report {

int16_t FfhReportGetBogen(const std::string& polygonCode, data::clsDBFData& db,
                          std::vector<std::string>& sheets) {
  sheets.clear();
  const std::string query =
      "SELECT gbogen.GBCODE, gbogen.GBBOGEN From gbogen WHERE (((gbogen.GBPOLYGON)=?))";
  const std::vector<data::Value> params{data::Value::text(polygonCode)};
  data::Recordset rows;
  if (!db.GetRecordset("FfhReportGetBogen", data::schema::table::kGBogen, query, rows, params,
                       {"gbogen", false}))
    return 101;
  for (; !rows.isEOF(); rows.MoveNext()) {
    const data::Value& code = rows.value(0);
    if (code.isNull() || !data::isSheetCode(code.toText())) {
      db.skipMalformedCode("FfhReportGetBogen", code, rows.value(1));
      continue;
    }
    sheets.push_back(code.toText() + rows.value(1).toText());
  }
  return 100;
}

word::Result generateReport(const std::string& key, const word::RunContext& run,
                            std::vector<std::string>& messages) {
  return sheets::generateDocument(
      "FfhReportGenerateBoegen", key, key + "-Report", run, messages,
      {FfhReportGenerateHead, FfhReportGenerateBogen, FfhReportGenerateFooter},
      [&run] { run.log.Ausgabe(3, std::string(59, '#')); });
}

int16_t FfhReportGenerateBoegen(const std::string& key, const word::RunContext& run,
                                std::vector<std::string>& messages) {
  return generateReport(key, run, messages).legacy();
}

}  // namespace report
