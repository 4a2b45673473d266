#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace sheets {
namespace {

const std::string kRoutine = "FfhBogenGenerateFooter";

// The first n characters (not bytes) of a UTF-8 text.
std::string firstCharacters(const std::string& text, std::size_t n) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (count++ == n) return text.substr(0, i);
  }
  return text;
}

}  // namespace

int16_t FfhBogenGenerateFooter(const std::string& key, const word::RunContext& run) {
  app::clsDebug& log = run.log;
  word::clsWordDoc& doc = run.doc;
  data::clsDBFData& db = run.db;
  const std::string code = sheetCode(key);
  const std::vector<data::Value> byCode{data::Value::text(code)};

  std::string query = "SELECT * FROM anmerk WHERE GBCODE=?";
  data::Recordset rs;
  if (!db.GetRecordset(kRoutine, 1, query, rs, byCode)) return 101;
  if (!rs.isEOF() && rs.fieldCount() > 1 && !rs.value(1).isNull()) {
    std::string text = rs.value(1).toText();
    word::clsWordDoc::CorrectUmlaute(db.umlautRepairFor(db.tableName(1)).get(), text);
    doc.writeMark(kRoutine, "SONSTIGES", text, "11", false);
  }

  query = "SELECT * FROM pfsozbew WHERE GELBOGENNR=?";
  if (!db.GetRecordset(kRoutine, 27, query, rs, byCode)) return 101;
  std::string joined;
  for (; !rs.isEOF(); rs.MoveNext()) {
    if (rs.fieldCount() < 2 || rs.value(1).isNull()) continue;
    joined += (joined.empty() ? "" : ", ") + rs.value(1).toText();
  }
  const int16_t limit = doc.GetTextMarkeLength("PFSOZ");
  if (!joined.empty()) {
    std::string text =
        firstCharacters(joined, static_cast<std::size_t>(std::max<int16_t>(limit, 0)));
    word::clsWordDoc::CorrectUmlaute(db.umlautRepairFor(db.tableName(27)).get(), text);
    doc.writeMark(kRoutine, "PFSOZ", text, "11", false);
  }

  if (OutputPflanzenartenRoteListe(run, code, db.umlautRepairFor(db.tableName(25)).get()) != 100)
    log.Ausgabe(3, "FfhBogenGenerateFooter: Fehler beim Setzen der Pflanzenarten.");

  const std::string page = code.size() == 12 ? code.substr(0, 3) + " " + code.substr(3, 3) + " " +
                                                   code.substr(6, 4) + " " + code.substr(10, 2)
                                             : code;
  doc.writeMark(kRoutine, "POLYGONNR_SEITE", page, "", false, "",
                &word::clsWordDoc::SetTextMarke_HeadersFooters);
  log.Ausgabe(1, "FfhBogenGenerateFooter: OK");
  return 100;
}

}  // namespace sheets
