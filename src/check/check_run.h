#pragma once
// What the steps of one data check share: the options, the tables and the shapefile as read
// once, the sheets of GBogen indexed once, the polygons' computed areas and the findings so far.
// Each step is a function over this object (data_check.cpp lists them in order).

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "check/data_check.h"
#include "check/shape_layer.h"
#include "check/survey_tables.h"

namespace check {

// One record of GBogen that is not deleted.
struct SheetRow {
  std::size_t row = 0;  // in the table's rows
  std::string code;     // GBCODE as stored ("" for Null)
  std::string type;     // GBBOGEN as stored ("" for Null)
  bool codeNull = false;
  bool validCode = false;  // 12 digits
  bool knownType = false;  // one of the sheet types
  std::string polygon;     // GBPOLYGON, or the code's first 11 digits when it is Null
  uint32_t record() const { return static_cast<uint32_t>(row + 1); }
  std::string key() const { return code + type; }
};

struct CheckRun {
  CheckOptions options;
  SurveyTables tables;
  ShapeLayer shape;
  std::vector<SheetRow> sheets;
  std::unordered_set<std::string> sheetCodes;  // valid codes of sheets of a known type
  // Each valid code's sheet types.
  std::unordered_map<std::string, std::vector<std::string>> typesByCode;
  // The shapefile's system as named for the user ("" without a shapefile whose coordinates
  // could be read); how the maps make metres of them is shape.mapPlan.
  std::string coordinateSystem;
  // Area of each shape record's geometry in square map units; negative when unknown.
  std::vector<double> geometryArea;
  std::vector<Finding> findings;

  void add(Severity severity, CheckId check, const std::string& table, uint32_t record,
           const std::string& key, const std::string& message);
  // Builds sheets, sheetCodes and typesByCode from GBogen.
  void indexSheets();
  const SurveyTable& table(const char* name) const { return tables[name]; }
};

// The key of a row as the findings name it: in GBogen the sheet key (code and type), elsewhere
// the sheet code (GBCODE, GELBOGENNR) or the table's own key column; "" when there is none.
std::string rowKey(const SurveyTable& table, std::size_t row);

// The main and the second table of a sheet type ("bgg", "bgg2" for "GN"); empty for none.
std::vector<std::string> structureTables(const std::string& sheetType);
// Every sheet type with its main table, in the order of the sheet-type list.
const std::vector<std::string>& sheetTypes();

// The steps, in the order they run.
void checkTableFiles(CheckRun& run);
void checkSheets(CheckRun& run);
void checkDatesAndFields(CheckRun& run);
void checkCatalogues(CheckRun& run);
void checkRowsWithoutSheet(CheckRun& run);
void checkPolygonReferences(CheckRun& run);
void checkAttributes(CheckRun& run);
void checkCoordinates(CheckRun& run);
void checkGeometry(CheckRun& run);
void checkAreas(CheckRun& run);

// Square metres of record (1-based) whose geometry covers mapUnits square units of the file's
// coordinates, as the maps measure it (run.shape.mapPlan); mapUnits when the plan cannot project
// it.
double squareMetres(const CheckRun& run, int32_t record, double mapUnits);

}  // namespace check
