#include "data/sheet_code_rule.h"
#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace sheets {
namespace {

const std::string kRoutine = "FfhBogenGenerateHead";

void writeText(const word::RunContext& run, const std::string& name, const std::string& text,
               const std::string& shown = "") {
  run.doc.writeMark(kRoutine, name, text, "", false, shown);
}

void writeCross(const word::RunContext& run, const std::string& name, bool bold) {
  run.doc.writeImageMark(kRoutine, name, "", bold);
}

// The sheet record's columns by position; a column the table lacks counts as absent.
class SheetRecord {
 public:
  explicit SheetRecord(const data::Recordset& rs) : rs_(rs) {}
  bool present(int n) const {
    return !rs_.isEOF() && n < rs_.fieldCount() && !rs_.value(n).isNull();
  }
  std::string name(int n) const { return n < rs_.fieldCount() ? rs_.fieldName(n) : ""; }
  std::string text(int n) const { return present(n) ? rs_.value(n).toText() : ""; }
  bool equalsNumber(int n, double number) const {
    double v = 0;
    return present(n) && rs_.value(n).toNumber(v) && v == number;
  }
  // True for a non-zero number or a true flag; Null is false.
  bool isTrue(int n) const {
    double v = 0;
    return present(n) && rs_.value(n).toNumber(v) && v != 0;
  }

 private:
  const data::Recordset& rs_;
};

std::string character(const std::string& text, std::size_t position) {
  return position <= text.size() ? text.substr(position - 1, 1) : "";
}

}  // namespace

void FfhGenerateHead(const std::string& value, const std::string& prefix,
                     const word::RunContext& run) {
  for (int i = 1; i <= 5; ++i) {
    const std::string name = prefix + std::to_string(i);
    run.doc.writeMark("FfhGenerateHead", name, character(value, static_cast<std::size_t>(i)), "",
                      false);
  }
}

std::string FfhGenerateImageMarks(const data::Recordset& record, const word::RunContext& run) {
  SheetRecord r(record);
  for (int n : {34, 35, 36}) {
    if (!r.present(n)) continue;
    const std::string name = r.name(n) + r.text(n);
    run.doc.writeImageMark(kRoutine, name, "", true, "Imagemarke");
  }
  return "100";
}

int16_t FfhBogenGenerateHead(const std::string& key, const word::RunContext& run) {
  app::clsDebug& log = run.log;
  data::clsDBFData& db = run.db;
  // Umlauts are repaired only in texts of a table known to be mis-decoded.
  auto correct = [&](int16_t table, std::string text) {
    word::clsWordDoc::CorrectUmlaute(db.umlautRepairFor(db.tableName(table)).get(), text);
    return text;
  };
  const std::string code = sheetCode(key);
  log.Ausgabe(1, "INFO: PolygonID: " + code);

  // FFH area number, digit by digit; its separator at position 5 is left out.
  // FFHNR is numeric; the code's first three characters are bound as a number, and a code
  // that does not start with three digits names no area (it never reaches the query text).
  const std::string areaDigits = code.substr(0, 3);
  std::string query = "SELECT FFH_NR, NAME FROM ffhnum WHERE FFHNR=?";
  data::Recordset rs;
  if (!data::isSheetCode(code)) {
    log.Ausgabe(2, std::string(kRoutine) + ": Fehler! Die Bogennummer " + code +
                       " besteht nicht aus 12 Ziffern.");
    return 101;
  }
  const std::vector<data::Value> areaParams{data::Value::integer(std::stoi(areaDigits))};
  if (!db.GetRecordset(kRoutine, 22, query, rs, areaParams)) return 101;
  std::string area;
  if (rs.isEOF()) {
    log.Ausgabe(2, "Warnung! Das Polygon " + code + " gehört nicht zu einem FFH-Gebiet.");
    db.noteAreaMissing(code);
    area = code.substr(0, 4);
  } else {
    area = rs.value("FFH_NR").toText();
  }
  for (std::size_t pos = 1, box = 1; pos <= 8; ++pos) {
    if (pos == 5) continue;
    writeText(run, "GBGebietNr" + std::to_string(box++), character(area, pos));
  }

  query = "SELECT POLNAME FROM polygone WHERE POLPOLYGON=?";
  const std::vector<data::Value> polygon{data::Value::text(formatCode(key.substr(0, 11), 11))};
  if (!db.GetRecordset(kRoutine, 28, query, rs, polygon)) return 101;
  if (!rs.isEOF() && !rs.value(0).isNull())
    writeText(run, "NAME", correct(28, rs.value(0).toText()));
  else
    writeText(run, "NAME", "", "'NAME'");

  for (std::size_t i = 1; i <= 12; ++i)
    writeText(run, "GBCODENr" + std::to_string(i), character(code, i));

  // A code may carry two sheets of different types: read this sheet's own row.
  query = "SELECT * FROM gbogen WHERE GBCODE=? AND GBBOGEN=?";
  if (!db.GetRecordset(kRoutine, 24, query, rs, ownRowParams(key))) return 101;
  run.ui.processEvents();
  const SheetRecord r(rs);
  const std::string type = key.size() > 12 ? key.substr(12) : "";

  writeText(run, r.name(26), r.present(26) ? correct(24, r.text(26)) : "");
  writeText(run, r.name(24), correct(24, r.text(24)));
  writeText(run, r.name(25), r.text(25));
  if (type != "X" && r.equalsNumber(27, 1)) writeCross(run, r.name(27), false);
  if (r.present(17)) {
    const bool share = r.text(17) == "0" || r.equalsNumber(17, 0);
    writeText(run, r.name(29), share && r.present(29) ? r.text(29) : "");
    writeText(run, r.name(17), r.text(17));
  }
  if (!rs.isEOF()) {
    for (int n = 0; n < rs.fieldCount(); ++n) {
      if (rs.fieldName(n) != "GBVAR5") continue;
      if (r.equalsNumber(n, 1)) writeText(run, "GBVAR5", "X");
    }
  }
  run.ui.processEvents();
  if (r.present(3)) FfhGenerateHead(r.text(3), "GBHNr", run);
  const char* prefixes[] = {"GBN1Nr", "GBN2Nr", "GBN3Nr", "GBN4Nr", "GBN5Nr"};
  for (int n = 4; n <= 8; ++n) FfhGenerateHead(r.text(n), prefixes[n - 4], run);
  for (int n = 46; n <= 49; ++n) writeText(run, r.name(n), r.present(n) ? r.text(n).substr(1) : "");
  run.ui.processEvents();
  for (int n = 10; n <= 16; ++n)
    if (r.present(n)) writeCross(run, r.name(n) + r.text(n), true);
  run.ui.processEvents();
  for (const auto& [column, prefix] : {std::pair{18, "GBFFH1Nr"}, std::pair{19, "GBFFH2Nr"}}) {
    const std::string value = r.text(column);
    for (std::size_t i = 1; i <= 4; ++i)
      writeText(run, prefix + std::to_string(i), character(value, i));
  }
  run.ui.processEvents();
  for (int n : {20, 21})
    if (r.present(n)) writeCross(run, r.name(n) + r.text(n), true);
  if (!rs.isEOF() && rs.value("GBBOGEN").toText() == "K") FfhGenerateImageMarks(rs, run);
  for (int n : {22, 23})
    if (r.isTrue(n)) writeCross(run, r.name(n), true);

  log.Ausgabe(1, "FfhBogenGenerateHead: OK");
  return 100;
}

}  // namespace sheets
