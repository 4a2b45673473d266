// The rows of GBogen as sheets: codes, types, sheets stored twice, codes that do not belong to
// their polygon; and in every table: dates in the future and the fields the documents need.

#include <cstdio>
#include <map>
#include <set>

#include "check/check_run.h"

namespace check {
namespace {

std::string typeList() {
  std::string list;
  for (const auto& t : sheetTypes()) list += (list.empty() ? "" : ", ") + t;
  return list;
}

std::string dateText(const data::Date& d) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", d.day, d.month, d.year);
  return buffer;
}

bool after(const data::Date& a, const data::Date& b) {
  if (a.year != b.year) return a.year > b.year;
  if (a.month != b.month) return a.month > b.month;
  return a.day > b.day;
}

// Fields a document cannot do without, per table, with what they hold.
struct Required {
  const char* table;
  const char* field;
  const char* meaning;
};
constexpr Required kRequired[] = {
    {"GBogen", "GBPOLYGON", "die Polygonnummer"},
    {"GBogen", "GBBIOTOP", "den Hauptbiotoptyp"},
    {"GBogen", "GBKARTIER", "den Kartierer"},
    {"GBogen", "GBDATUM", "das Datum der Erfassung"},
    {"artenbew", "SATZNUMMER", "die Pflanzenart"},
    {"pflanzen", "GATTUNG", "die Gattung für die Artenliste"},
    {"pflanzen", "ART", "die Art für die Artenliste"},
};

void checkFutureDates(CheckRun& run, const SurveyTable& t) {
  for (std::size_t c = 0; c < t.fields.size(); ++c) {
    if (t.fields[c].type != 'D') continue;
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      const data::Value& v = t.rows[r][c];
      if (t.deleted[r] || v.kind() != data::Value::Kind::Date) continue;
      if (after(v.asDate(), run.options.today))
        run.add(Severity::Fehler, CheckId::DateInFuture, t.fileName, static_cast<uint32_t>(r + 1),
                rowKey(t, r),
                "Feld " + t.fields[c].name + ": das Datum " + dateText(v.asDate()) +
                    " liegt in der Zukunft.");
    }
  }
}

void checkRequired(CheckRun& run, const Required& req) {
  const SurveyTable& t = run.table(req.table);
  if (!t.readable()) return;
  const int c = t.column(req.field);
  if (c < 0) {
    run.add(Severity::Fehler, CheckId::RequiredField, t.fileName, 0, {},
            std::string("Das Feld ") + req.field + " fehlt in der Tabelle; das Dokument braucht " +
                req.meaning + ".");
    return;
  }
  // A value that could not be read is named by its own check.
  std::set<uint32_t> unreadable;
  for (const auto& bad : t.badValues)
    if (bad.field == t.fields[static_cast<std::size_t>(c)].name) unreadable.insert(bad.record);
  // In GBogen only the rows that make documents.
  std::set<std::size_t> sheetRows;
  const bool sheets = t.name == "GBogen";
  if (sheets)
    for (const SheetRow& s : run.sheets)
      if (s.validCode && s.knownType) sheetRows.insert(s.row);
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    const auto record = static_cast<uint32_t>(r + 1);
    if (t.deleted[r] || (sheets && !sheetRows.count(r)) || !t.value(r, c).isNull() ||
        unreadable.count(record))
      continue;
    run.add(Severity::Fehler, CheckId::RequiredField, t.fileName, record, rowKey(t, r),
            std::string("Das Feld ") + req.field + " ist leer; das Dokument braucht " +
                req.meaning + ".");
  }
}

}  // namespace

void checkSheets(CheckRun& run) {
  const SurveyTable& t = run.table("GBogen");
  if (!t.readable()) return;
  std::map<std::string, uint32_t> firstRecord;
  for (const SheetRow& s : run.sheets) {
    if (s.codeNull) {
      run.add(Severity::Fehler, CheckId::SheetCode, t.fileName, s.record(), {},
              "Die Bogennummer (GBCODE) ist leer; der Bogen kann nicht ausgegeben werden.");
      continue;
    }
    if (!s.validCode) {
      run.add(Severity::Fehler, CheckId::SheetCode, t.fileName, s.record(), s.code,
              "Die Bogennummer '" + s.code +
                  "' besteht nicht aus genau 12 Ziffern; der Bogen kann nicht ausgegeben werden.");
      continue;
    }
    if (!s.knownType) {
      run.add(Severity::Fehler, CheckId::SheetType, t.fileName, s.record(), s.key(),
              s.type.empty() ? "Der Bogen hat keinen Bogentyp (GBBOGEN ist leer)."
                             : "Zum Bogentyp " + s.type +
                                   " gibt es keine Vorlage (Bogentypen: " + typeList() + ").");
      continue;
    }
    if (const auto [it, fresh] = firstRecord.emplace(s.key(), s.record()); !fresh)
      run.add(Severity::Fehler, CheckId::SheetTwice, t.fileName, s.record(), s.key(),
              "Der Bogen steht schon in Datensatz " + std::to_string(it->second) +
                  "; nur einer der beiden wird ausgegeben.");
    const std::string own = s.code.substr(0, 11);
    if (s.polygon != own)
      run.add(Severity::Fehler, CheckId::CodeAndPolygon, t.fileName, s.record(), s.key(),
              "GBPOLYGON nennt das Polygon " + s.polygon +
                  ", die Bogennummer gehört aber zum "
                  "Polygon " +
                  own + ".");
  }
}

void checkDatesAndFields(CheckRun& run) {
  for (const SurveyTable& t : run.tables.all())
    if (t.readable()) checkFutureDates(run, t);
  for (const Required& req : kRequired) checkRequired(run, req);
}

}  // namespace check
