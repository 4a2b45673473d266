// What the tables say about each other: codes that are not in their catalogues, rows whose
// sheet does not exist, sheets without their structure rows, and polygons that the sheets, the
// polygon table and the shapefile do not agree on.

#include <algorithm>
#include <map>
#include <unordered_set>

#include "check/check_run.h"

namespace check {
namespace {

// The non-empty texts of a column of the rows that are not deleted.
std::unordered_set<std::string> columnValues(const SurveyTable& t, const char* column) {
  std::unordered_set<std::string> values;
  const int c = t.column(column);
  for (std::size_t r = 0; r < t.rows.size(); ++r)
    if (!t.deleted[r] && c >= 0 && !t.value(r, c).isNull()) values.insert(t.text(r, c));
  return values;
}

// The sheets' values of fields against a catalogue column; nothing when the catalogue is
// missing or unreadable (its own finding says so).
void checkCodes(CheckRun& run, CheckId id, const std::vector<std::string>& fields,
                const char* catalogue, const char* column, const char* what) {
  const SurveyTable& cat = run.table(catalogue);
  const SurveyTable& t = run.table("GBogen");
  if (!cat.readable() || !t.readable()) return;
  const auto known = columnValues(cat, column);
  for (const std::string& field : fields) {
    const int c = t.column(field);
    if (c < 0) continue;
    for (const SheetRow& s : run.sheets) {
      if (!s.validCode || !s.knownType || t.value(s.row, c).isNull()) continue;
      const std::string code = t.text(s.row, c);
      if (!known.count(code))
        run.add(Severity::Fehler, id, t.fileName, s.record(), s.key(),
                "Feld " + field + ": " + what + " " + code + " steht nicht in der Tabelle " +
                    cat.name + ".");
    }
  }
}

// Sheets whose FFH area (the code's first three digits) ffhnum does not list: once per area.
void checkFfhAreas(CheckRun& run) {
  const SurveyTable& cat = run.table("ffhnum");
  const SurveyTable& t = run.table("GBogen");
  if (!cat.readable() || !t.readable()) return;
  std::unordered_set<long long> known;
  const int c = cat.column("FFHNR");
  for (std::size_t r = 0; r < cat.rows.size(); ++r) {
    double number = 0;
    if (!cat.deleted[r] && c >= 0 && cat.value(r, c).toNumber(number))
      known.insert(static_cast<long long>(number));
  }
  struct Missing {
    uint32_t record;
    std::size_t sheets;
  };
  std::map<std::string, Missing> missing;
  for (const SheetRow& s : run.sheets) {
    if (!s.validCode || !s.knownType) continue;
    const std::string area = s.code.substr(0, 3);
    if (known.count(std::stoll(area))) continue;
    missing.try_emplace(area, Missing{s.record(), 0}).first->second.sheets++;
  }
  for (const auto& [area, m] : missing)
    run.add(Severity::Fehler, CheckId::AreaUnknown, t.fileName, m.record, area,
            "Das FFH-Gebiet " + area + " fehlt in der Tabelle ffhnum (FFHNR); " +
                (m.sheets == 1 ? std::string("1 Bogen liegt")
                               : std::to_string(m.sheets) + " Bögen liegen") +
                " darin.");
}

void checkPlants(CheckRun& run) {
  const SurveyTable& cat = run.table("pflanzen");
  const SurveyTable& t = run.table("artenbew");
  if (!cat.readable() || !t.readable()) return;
  const auto known = columnValues(cat, "SATZNUMMER");
  const int c = t.column("SATZNUMMER");
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    if (t.deleted[r] || c < 0 || t.value(r, c).isNull() || known.count(t.text(r, c))) continue;
    run.add(Severity::Fehler, CheckId::PlantUnknown, t.fileName, static_cast<uint32_t>(r + 1),
            rowKey(t, r),
            "Die Pflanzenart " + t.text(r, c) +
                " (SATZNUMMER) steht nicht in der Tabelle pflanzen; die Artenliste lässt sie aus.");
  }
}

// Rows of table (keyed by column) whose sheet is not among sheets.
void checkOwnedRows(CheckRun& run, const SurveyTable& t, const char* column,
                    const std::unordered_set<std::string>& sheets, const std::string& which) {
  if (!t.readable()) return;
  const int c = t.column(column);
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    if (t.deleted[r]) continue;
    const std::string code = t.text(r, c);
    if (sheets.count(code)) continue;
    run.add(
        Severity::Fehler, CheckId::RowWithoutSheet, t.fileName, static_cast<uint32_t>(r + 1), code,
        code.empty()
            ? "Die Zeile nennt keinen Bogen (" + std::string(column) + " ist leer)."
            : "Zu dieser Zeile gibt es keinen Bogen " + code + which + " in der Tabelle GBogen.");
  }
}

void checkStructureRows(CheckRun& run) {
  const SurveyTable& sheetsTable = run.table("GBogen");
  std::map<std::string, std::vector<std::string>> typesOfTable;
  for (const std::string& type : sheetTypes())
    for (const std::string& table : structureTables(type)) typesOfTable[table].push_back(type);
  for (const auto& [name, types] : typesOfTable) {
    const SurveyTable& t = run.table(name.c_str());
    if (!t.readable()) continue;
    std::unordered_set<std::string> owners;
    for (const auto& [code, codeTypes] : run.typesByCode)
      for (const auto& type : codeTypes)
        if (std::find(types.begin(), types.end(), type) != types.end()) owners.insert(code);
    std::string which = " vom Typ " + types.front();
    for (std::size_t i = 1; i < types.size(); ++i) which += " oder " + types[i];
    checkOwnedRows(run, t, "GBCODE", owners, which);

    const int c = t.column("GBCODE");
    std::map<std::string, uint32_t> seen;
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      if (t.deleted[r] || t.value(r, c).isNull()) continue;
      const auto [it, fresh] = seen.emplace(t.text(r, c), static_cast<uint32_t>(r + 1));
      if (!fresh)
        run.add(Severity::Warnung, CheckId::StructureRowTwice, t.fileName,
                static_cast<uint32_t>(r + 1), it->first,
                "Der Bogen hat schon in Datensatz " + std::to_string(it->second) +
                    " eine Zeile; das Dokument zeigt nur eine.");
    }
    if (!sheetsTable.readable()) continue;
    for (const SheetRow& s : run.sheets) {
      if (!s.validCode || !s.knownType ||
          std::find(types.begin(), types.end(), s.type) == types.end() || seen.count(s.code))
        continue;
      run.add(Severity::Fehler, CheckId::StructureRowsMissing, sheetsTable.fileName, s.record(),
              s.key(),
              "In der Tabelle " + t.name +
                  " fehlt die Zeile des Bogens; sein Dokument bleibt "
                  "ohne diese Angaben.");
    }
  }
}

}  // namespace

void checkCatalogues(CheckRun& run) {
  checkCodes(run, CheckId::BiotopeUnknown,
             {"GBBIOTOP", "GBBIOTOP2", "GBBIOTOP3", "GBBIOTOP4", "GBBIOTOP5", "GBBIOTOP6"},
             "biottyp", "CODE", "der Biotoptyp");
  checkCodes(run, CheckId::HabitatUnknown, {"GBFFH1", "GBFFH2"}, "ffh_ref", "CODE_EG",
             "der Lebensraumtyp");
  checkFfhAreas(run);
  checkPlants(run);
}

void checkRowsWithoutSheet(CheckRun& run) {
  // Without the sheet table every row would be one without its sheet; its own finding says it.
  if (!run.table("GBogen").readable()) return;
  checkOwnedRows(run, run.table("anmerk"), "GBCODE", run.sheetCodes, "");
  checkOwnedRows(run, run.table("artenbew"), "GELBOGENNR", run.sheetCodes, "");
  checkOwnedRows(run, run.table("pfsozbew"), "GELBOGENNR", run.sheetCodes, "");
  checkStructureRows(run);
}

void checkPolygonReferences(CheckRun& run) {
  const SurveyTable& t = run.table("GBogen");
  if (!t.readable()) return;
  const bool shapeKnown =
      run.shape.attributes.readable() && run.shape.attributes.column("POLYGONNR") >= 0;
  const SurveyTable& polygons = run.table("polygone");
  const auto named = columnValues(polygons, "POLPOLYGON");
  std::unordered_set<std::string> used;
  for (const SheetRow& s : run.sheets) {
    if (!s.validCode || !s.knownType) continue;
    used.insert(s.polygon);
    used.insert(s.code.substr(0, 11));
    if (shapeKnown && run.shape.recordOf(s.polygon) == 0)
      run.add(Severity::Fehler, CheckId::PolygonNotInShapefile, t.fileName, s.record(), s.key(),
              "Das Polygon " + s.polygon +
                  " steht nicht im Shapefile; der Bogen bekommt "
                  "kein Deckblatt und keinen Datenreport.");
    if (polygons.readable() && !named.count(s.polygon))
      run.add(Severity::Warnung, CheckId::PolygonNotInTable, t.fileName, s.record(), s.key(),
              "Das Polygon " + s.polygon +
                  " steht nicht in der Tabelle polygone; sein Name "
                  "bleibt leer.");
  }
  if (!shapeKnown) return;
  const SurveyTable& attributes = run.shape.attributes;
  for (std::size_t r = 0; r < run.shape.keys.size(); ++r) {
    const std::string& key = run.shape.keys[r];
    if (key.empty() || used.count(key)) continue;
    run.findings.push_back({Severity::Warnung,
                            CheckId::PolygonWithoutSheet,
                            attributes.fileName,
                            static_cast<uint32_t>(r + 1),
                            printable(key),
                            "Zum Polygon " + printable(key) + " gibt es keinen Geländebogen.",
                            {},
                            static_cast<int32_t>(r + 1)});
  }
}

}  // namespace check
