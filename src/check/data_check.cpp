#include "check/data_check.h"

#include <algorithm>
#include <ctime>
#include <system_error>

#include "check/check_run.h"
#include "data/schema/sheet_types.h"
#include "data/schema/survey_tables.h"
#include "data/sheet_code_rule.h"

namespace check {
namespace {

namespace fs = std::filesystem;

struct Step {
  const char* what;
  void (*run)(CheckRun&);
};

// The checks in the order they run; each sees what the ones before it computed (the areas of
// checkGeometry feed checkAreas). A further check is one more line here.
const Step kSteps[] = {
    {"Dateien der Tabellen prüfen", checkTableFiles},
    {"Bogennummern und Bogentypen prüfen", checkSheets},
    {"Datumsangaben und Pflichtfelder prüfen", checkDatesAndFields},
    {"Kataloge prüfen", checkCatalogues},
    {"Zeilen ohne Bogen suchen", checkRowsWithoutSheet},
    {"Polygone der Bögen suchen", checkPolygonReferences},
    {"Attributtabelle des Shapefiles prüfen", checkAttributes},
    {"Koordinatensystem bestimmen", checkCoordinates},
    {"Geometrie prüfen", checkGeometry},
    {"Flächenangaben vergleichen", checkAreas},
};

std::vector<std::string> catalogueNames() {
  std::vector<std::string> names;
  for (const auto& table : data::schema::surveySchema()) names.push_back(table.name);
  return names;
}

// Why folder cannot be read at all, "" when it can.
std::string unreadableFolder(const fs::path& folder) {
  if (folder.empty()) return "Der Ordner der DBF-Dateien ist nicht gesetzt.";
  std::error_code ec;
  if (!fs::exists(folder, ec))
    return "Der Ordner der DBF-Dateien " + folder.string() + " existiert nicht.";
  if (!fs::is_directory(folder, ec))
    return "Der Pfad der DBF-Dateien " + folder.string() + " ist kein Ordner.";
  fs::directory_iterator it(folder, ec);
  if (ec)
    return "Der Ordner der DBF-Dateien " + folder.string() +
           " kann nicht gelesen werden: " + ec.message() + ".";
  return {};
}

// A finding about a sheet or polygon names the polygon's shape record, for its map.
void linkToShapes(CheckRun& run) {
  for (Finding& f : run.findings) {
    if (f.shapeRecord != 0 || f.key.size() < 11) continue;
    const std::string polygon = f.key.substr(0, 11);
    if (std::all_of(polygon.begin(), polygon.end(), [](char c) { return c >= '0' && c <= '9'; }))
      f.shapeRecord = run.shape.recordOf(polygon);
  }
}

}  // namespace

void CheckRun::add(Severity severity, CheckId check, const std::string& table, uint32_t record,
                   const std::string& key, const std::string& message) {
  findings.push_back({severity, check, table, record, printable(key), printable(message), {}, 0});
}

void CheckRun::indexSheets() {
  const SurveyTable& t = tables["GBogen"];
  const int code = t.column("GBCODE"), type = t.column("GBBOGEN"), polygon = t.column("GBPOLYGON");
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    if (t.deleted[r]) continue;
    SheetRow s;
    s.row = r;
    s.code = t.text(r, code);
    s.type = t.text(r, type);
    s.codeNull = t.value(r, code).isNull();
    s.validCode = data::isSheetCode(s.code);
    s.knownType = std::find(data::kSheetTypes.begin(), data::kSheetTypes.end(), s.type) !=
                  data::kSheetTypes.end();
    s.polygon = t.text(r, polygon);
    if (s.polygon.empty() && s.validCode) s.polygon = s.code.substr(0, 11);
    if (s.validCode && s.knownType) {
      sheetCodes.insert(s.code);
      typesByCode[s.code].push_back(s.type);
    }
    sheets.push_back(std::move(s));
  }
}

std::string rowKey(const SurveyTable& table, std::size_t row) {
  if (table.name == "GBogen")
    return table.text(row, table.column("GBCODE")) + table.text(row, table.column("GBBOGEN"));
  for (const char* column : {"GBCODE", "GELBOGENNR", "POLPOLYGON", "POLYGONNR", "SATZNUMMER",
                             "CODE_EG", "CODE", "FFHNR"})
    if (const int c = table.column(column); c >= 0) return table.text(row, c);
  return {};
}

const std::vector<std::string>& sheetTypes() {
  return data::kSheetTypes;
}

std::vector<std::string> structureTables(const std::string& sheetType) {
  const data::schema::SheetType* type = data::schema::findSheetType(sheetType);
  if (!type) return {};
  return {type->table1, type->table2};
}

std::size_t CheckResult::count(Severity severity) const {
  return static_cast<std::size_t>(std::count_if(
      findings.begin(), findings.end(), [&](const Finding& f) { return f.severity == severity; }));
}

CheckResult runDataCheck(const CheckOptions& options, const CheckProgress& progress,
                         const std::atomic<bool>* cancel) {
  CheckResult result;
  result.reason = unreadableFolder(options.surveyFolder);
  if (!result.reason.empty()) {
    result.unreadable = true;
    return result;
  }
  const std::vector<std::string> names = catalogueNames();
  const std::size_t steps = names.size() + 1 + std::size(kSteps);
  std::size_t step = 0;
  auto stopped = [&] { return cancel && cancel->load(); };
  auto report = [&](const std::string& what) {
    if (progress) progress(step, steps, what);
  };

  auto run = std::make_unique<CheckRun>();
  run->options = options;
  run->tables = SurveyTables::read(options.surveyFolder, names, [&](const std::string& name) {
    report("Tabelle " + name + " lesen");
    ++step;
  });
  report("Shapefile lesen");
  if (!options.shapefile.empty()) run->shape = ShapeLayer::read(options.shapefile);
  ++step;
  run->indexSheets();
  for (const Step& s : kSteps) {
    if (stopped()) {
      result.cancelled = true;
      break;
    }
    report(s.what);
    s.run(*run);
    ++step;
  }
  linkToShapes(*run);
  sortForDisplay(run->findings);
  result.findings = std::move(run->findings);
  result.coordinateSystem = std::move(run->coordinateSystem);
  result.shape = std::make_shared<const ShapeLayer>(std::move(run->shape));
  return result;
}

data::Date today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace check
