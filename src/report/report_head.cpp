#include <cctype>
#include <stdexcept>

#include "report/mod_ffh_report_bogen.h"
#include "report/report_format.h"
#include "report/report_record.h"
#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace report {
namespace {

const std::string kRoutine = "FfhReportGenerateHead";

// The head's writes and look-ups around one open document.
class HeadWriter {
 public:
  explicit HeadWriter(const word::RunContext& run) : run_(run) {}

  // Umlauts are repaired only in texts of a table (catalogue index) known to be mis-decoded.
  std::string corrected(int16_t table, std::string text) const {
    word::clsWordDoc::CorrectUmlaute(run_.db.umlautRepairFor(run_.db.tableName(table)).get(), text);
    return text;
  }

  // Writes text; a failure is logged under logName (the bookmark's own name unless given).
  void write(const std::string& name, const std::string& text, bool bold = true,
             const std::string& logName = "") const {
    run_.doc.writeMark(kRoutine, name, text, "", bold, logName);
  }

  void tick(const std::string& name) const { run_.doc.writeImageMark(kRoutine, name, "", true); }

  // A catalogue look-up of steps habitat and biotope; false when the query failed (logged).
  bool lookUp(int16_t index, const std::string& query, const std::string& code,
              data::Recordset& rows) const {
    const std::vector<data::Value> params{data::Value::text(code)};
    // The line has always named index 22, whichever catalogue was asked.
    return run_.db.GetRecordset(kRoutine, index, query, rows, params, {"mit dem Index 22", false});
  }

  // Habitat type: code bookmark (written by the catalogue's column name for the first, by
  // codeBookmark for the second) and name bookmark.
  bool habitat(const std::string& code, const std::string& codeBookmark,
               const std::string& nameBookmark, bool first) const {
    if (code.empty()) {
      write(codeBookmark, "");
      write(nameBookmark, "keiner");
      return true;
    }
    const std::string query =
        std::string("SELECT CODE_ALT, CODE_EG, NAME") + " FROM ffh_ref WHERE ((CODE_EG=?))";
    data::Recordset rows;
    if (!lookUp(23, query, code, rows)) return false;
    if (rows.isEOF()) {
      write(codeBookmark, "", true, first ? "CODE_E" : "");
      write(nameBookmark, "keiner");
      return true;
    }
    const RecordView r(rows);
    if (r.present(1)) {
      write(first ? r.name(1) : codeBookmark, corrected(23, r.text(1)));
      write(nameBookmark, corrected(23, r.text(2)));
    } else {
      write(nameBookmark, "keiner");
    }
    return true;
  }

  // Biotope type: an unknown code leaves the name bookmark's template text.
  bool biotope(const std::string& code, const std::string& codeBookmark,
               const std::string& nameBookmark) const {
    if (code.empty()) {
      write(codeBookmark, "");
      write(nameBookmark, "keiner");
      return true;
    }
    const std::string query = "SELECT CODE, BIOTYP FROM biottyp WHERE ((CODE=?))";
    data::Recordset rows;
    if (!lookUp(21, query, code, rows)) return false;
    const RecordView r(rows);
    if (r.present(1)) write(nameBookmark, corrected(21, r.text(1)));
    return true;
  }

 private:
  const word::RunContext& run_;
};

// The FFH area number from the code's first three characters ("007" → 7). A code that does
// not start with digits cannot name an area; it is refused rather than pasted into the query.
int areaNumber(const std::string& code) {
  const std::string digits = code.substr(0, 3);
  if (digits.empty()) throw std::invalid_argument("Typen unverträglich: leere FFH-Gebietsnummer");
  int number = 0;
  for (unsigned char c : digits) {
    if (!std::isdigit(c))
      throw std::invalid_argument("Typen unverträglich: FFH-Gebietsnummer " + digits);
    number = number * 10 + (c - '0');
  }
  return number;
}

std::string copyText(const std::string& status, const std::string& source) {
  if (status == "1") return "Kopiervorlage";
  if (status == "2") return "einfache Kopie";
  if (status == "3") return "Kopie (von Sammelbogen Nr.: " + source + ")";
  if (status == "4") return "Kopie (von Komplexbogen Nr.: " + source + ")";
  return "";
}

}  // namespace

int16_t FfhReportGenerateHead(const std::string& key, const word::RunContext& run) {
  app::clsDebug& log = run.log;
  data::clsDBFData& db = run.db;
  const std::string code = sheets::sheetCode(key);
  const HeadWriter out(run);

  out.write("GBCODE", code, true);

  std::string query = "SELECT FFH_NR, NAME FROM ffhnum WHERE FFHNR=?";
  data::Recordset rs;
  const std::vector<data::Value> areaParams{data::Value::integer(areaNumber(code))};
  if (!db.GetRecordset(kRoutine, 22, query, rs, areaParams, {"", true})) return 101;
  std::string area;
  if (rs.isBOF() && rs.isEOF()) {
    log.Ausgabe(2, "Warnung! Das Polygon " + code + " gehört nicht zu einem FFH-Gebiet.");
    db.noteAreaMissing(code);
    area = code.substr(0, 4);
  } else {
    area = rs.value(1).toText();
  }
  out.write("NAME", out.corrected(22, area));

  // A code may carry two sheets of different types: read this sheet's own row.
  query = "SELECT * FROM gbogen WHERE GBCODE=? AND GBBOGEN=?";
  if (!db.GetRecordset(kRoutine, 24, query, rs, sheets::ownRowParams(key), {"", true})) return 101;
  const RecordView r(rs);

  const std::string source = r.present(40) ? r.text(40) : std::string(15, '.');
  out.write(r.name(40), r.present(27) ? copyText(r.text(27), source) : "", false);

  out.write(r.name(26), r.present(26) ? out.corrected(24, r.text(26)) : "");
  out.write(r.name(24), out.corrected(24, r.text(24)));
  out.write(r.name(25), r.text(25));
  const std::string mainBiotope = r.text(3);
  if (r.present(3)) out.write(r.name(3), mainBiotope);
  if (r.present(29)) out.write(r.name(29), out.corrected(24, r.text(29)), false);
  for (int n = 46; n <= 49; ++n)
    out.write(r.name(n), r.present(n) ? withoutFirstCharacter(r.text(n)) : "", false);
  std::string secondary[5];
  for (int n = 4; n <= 8; ++n) {
    secondary[n - 4] = r.text(n);
    if (r.present(n)) out.write(r.name(n), secondary[n - 4]);
  }
  for (int n : {20, 21, 17}) out.write(r.name(n), r.text(n));
  for (int n : {22, 23}) {
    if (r.isTrue(n))
      out.tick(r.name(n));
    else
      out.write(r.name(n), "");
  }

  if (!out.habitat(r.text(18), "CODE_EG", "LEBENSRAUMNAME", true)) return 101;
  if (!out.habitat(r.text(19), "CODE_EG2", "LEBENSRAUMNAME2", false)) return 101;
  if (!out.biotope(mainBiotope, "GBBIOTOP", "BIOHAUPTTYPNAME")) return 101;
  const char* codeMarks[] = {"GBBIOTOP2", "GBBIOTOP3", "GBBIOTOP4", "GBBIOTOP5", "GBBIOTOP6"};
  const char* nameMarks[] = {"BIONEBENTYPNAME", "BIONEBENTYP2NAME", "BIONEBENTYP3NAME",
                             "BIONEBENTYP4NAME", "BIONEBENTYP5NAME"};
  for (int i = 0; i < 5; ++i)
    if (!out.biotope(secondary[i], codeMarks[i], nameMarks[i])) return 101;
  return 100;
}

}  // namespace report
