#include <algorithm>
#include <cctype>

#include "report/mod_ffh_report_bogen.h"
#include "sheets/document_cycle.h"
#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace report {
namespace {

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// Writes every column but the first of every row into the bookmark of its name, texts with
// their umlauts repaired.
void writeColumns(const word::RunContext& run, data::Recordset& rows, const std::string& size,
                  const data::UmlautDict* dict) {
  for (; !rows.isEOF(); rows.MoveNext()) {
    for (int n = 1; n < rows.fieldCount(); ++n) {
      const data::Value& v = rows.value(n);
      std::string text = v.isNull() ? std::string() : v.toText();
      if (v.kind() == data::Value::Kind::Text) word::clsWordDoc::CorrectUmlaute(dict, text);
      run.doc.writeMark("FfhReportGenerateBogen", rows.fieldName(n), text, size, true, "",
                        &word::clsWordDoc::SetReportTextMarke);
    }
  }
}

}  // namespace

int16_t FfhReportGenerateBogen(const std::string& key, const word::RunContext& run) {
  const std::string type = upper(key.size() > 12 ? key.substr(12) : "");
  const std::string size = type == "GT" || type == "GN" ? "10" : "11";
  return sheets::forEachTypeTable(
      "FfhReportGenerateBogen", key, run, [&](data::Recordset& rows, const std::string& table) {
        writeColumns(run, rows, size, run.db.umlautRepairFor(table).get());
      });
}

int16_t FfhReportGenerateFooter(const std::string& key, const word::RunContext& run) {
  app::clsDebug& log = run.log;
  word::clsWordDoc& doc = run.doc;
  data::clsDBFData& db = run.db;
  const std::string code = sheets::sheetCode(key);
  const std::vector<data::Value> byCode{data::Value::text(code)};

  std::string query = "SELECT * FROM anmerk WHERE GBCODE=?";
  data::Recordset rows;
  if (!db.GetRecordset("FfhReportGenerateFooter", 1, query, rows, byCode)) return 101;
  std::string remarks = "keine";
  if (!rows.isEOF() && rows.fieldCount() > 1 && !rows.value(1).isNull()) {
    remarks = rows.value(1).toText();
    word::clsWordDoc::CorrectUmlaute(db.umlautRepairFor(db.tableName(1)).get(), remarks);
  }
  doc.writeMark("FfhReportGenerateFooter", "ANMERKUNGEN", remarks, "11", true);

  query = "SELECT * FROM pfsozbew WHERE GELBOGENNR=?";
  if (!db.GetRecordset("FfhReportGenerateFooter", 27, query, rows, byCode)) return 101;
  std::string units;
  for (; !rows.isEOF(); rows.MoveNext()) {
    if (rows.fieldCount() < 2 || rows.value(1).isNull()) continue;
    units += (units.empty() ? "" : ", ") + rows.value(1).toText();
  }
  if (units.empty())
    units = "keine";
  else
    word::clsWordDoc::CorrectUmlaute(db.umlautRepairFor(db.tableName(27)).get(), units);
  doc.writeMark("FfhReportGenerateFooter", "PFLANZENSOZ", units, "11", true);

  if (doc.TableCleanUp() != 100)
    log.Ausgabe(3,
                "FfhReportGenerateFooter: Fehler! Die Tabelle in dem Reportbogen konnte nicht "
                "bearbeitet werden.");
  if (sheets::OutputPflanzenartenRoteListe(run, code, db.umlautRepairFor(db.tableName(25)).get()) !=
      100)
    log.Ausgabe(3, "FfhReportGenerateFooter: Fehler beim Setzen der Pflanzenarten.");
  return 100;
}

}  // namespace report
