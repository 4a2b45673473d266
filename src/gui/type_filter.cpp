#include "gui/type_filter.h"

#include <QString>

#include "app/program_objects.h"
#include "word/cls_word_doc.h"

namespace gui {
namespace {

// The texts of one look-up; the habitat look-up words its messages differently.
struct LookUp {
  const char* routine;
  int table;            // catalogue index of the table searched
  const char* query;    // the pattern is its one parameter
  const char* subject;  // "Biotoptyp" / "Lebensraum"
  const char* codeColumn;
  const char* textColumn;
  const char* duplicateTail;
};

constexpr LookUp kBiotope{"FfhGetBiotoptyp",
                          21,
                          "SELECT * FROM biottyp WHERE CODE like ?",
                          "Biotoptyp",
                          "CODE",
                          "BIOTOPTYP",
                          " befindet sich mehrfach in der Datenbank."};
constexpr LookUp kHabitat{"FfhGetLebensraum",
                          23,
                          "SELECT CODE_EG,NAME FROM ffh_ref WHERE CODE_EG like ?",
                          "Lebensraum",
                          "CODE_EG",
                          "NAME",
                          " befindet sich schon in der Auflistung."};

int16_t damaged(const LookUp& l, const std::string& column) {
  const std::string sentence = std::string("Die Daten für den ") + l.subject +
                               " sind in der Tabellenspalte '" + column + "' fehlerhaft.";
  app::ui().message(app::MessageIcon::Error,
                    sentence + "\nBitte benachrichtigen Sie Ihren Administrator.");
  app::g_Debug().Ausgabe(2, std::string(l.routine) + ": Fehler! " + sentence +
                                " Bitte benachrichtigen Sie Ihren Administrator.");
  return 101;
}

int16_t lookUp(const LookUp& l, const std::string& pattern, data::clsDBFData& db,
               data::OrderedDict<std::string>& types) {
  types.clear();
  // The pattern the user typed is bound as a value: a quote in it is searched for literally.
  const std::string sql = l.query;
  const std::vector<data::Value> params{data::Value::text(pattern)};
  data::Recordset rs;
  if (!db.GetRecordset(l.routine, 1, sql, rs, params)) return 101;
  // Umlauts are repaired only when the table's texts are known to be mis-decoded.
  const auto umlauts = db.umlautRepairFor(db.tableName(l.table));
  for (; !rs.isEOF(); rs.MoveNext()) {
    if (rs.fieldCount() < 2) return damaged(l, l.textColumn);
    const data::Value& code = rs.value(0);
    if (code.isNull()) return damaged(l, l.codeColumn);
    const data::Value& text = rs.value(1);
    if (text.isNull()) return damaged(l, l.textColumn);
    const std::string key = code.toText();
    if (types.contains(key)) {
      app::ui().message(app::MessageIcon::Error,
                        std::string("Der ") + l.subject + " " + key + l.duplicateTail);
      app::g_Debug().Ausgabe(
          2, std::string(l.routine) + ": Fehler! Der " + l.subject + " " + key + l.duplicateTail);
      return 101;
    }
    std::string longText = text.toText();
    word::clsWordDoc::CorrectUmlaute(umlauts.get(), longText);
    types.add(key, longText);
  }
  return 100;
}

}  // namespace

int16_t FfhGetBiotoptyp(const std::string& pattern, data::clsDBFData& db,
                        data::OrderedDict<std::string>& types) {
  return lookUp(kBiotope, pattern, db, types);
}

int16_t FfhGetLebensraum(const std::string& pattern, data::clsDBFData& db,
                         data::OrderedDict<std::string>& types) {
  return lookUp(kHabitat, pattern, db, types);
}

int16_t TypeFilter::search(data::clsDBFData& db, const std::string& typed) {
  const std::string pattern = QString::fromStdString(typed).toUpper().toStdString() + "%";
  data::OrderedDict<std::string> found;
  const int16_t result = kind_ == Kind::Biotope ? FfhGetBiotoptyp(pattern, db, found)
                                                : FfhGetLebensraum(pattern, db, found);
  if (result == 100) available_ = std::move(found);
  return result;
}

void TypeFilter::choose(const std::vector<std::string>& codes) {
  for (const auto& code : codes)
    if (const std::string* text = available_.find(code)) chosen_.emplace(code, *text);
}

void TypeFilter::chooseAll() {
  for (const auto& [code, text] : available_) chosen_.emplace(code, text);
}

void TypeFilter::remove(const std::vector<std::string>& codes) {
  for (const auto& code : codes) chosen_.erase(code);
}

data::TextSet TypeFilter::restriction(bool all) const {
  data::TextSet set;
  if (all) {
    for (const auto& [code, text] : available_) set.add(code, code);
  } else {
    for (const auto& [code, text] : chosen_) set.add(code, code);
  }
  return set;
}

}  // namespace gui
