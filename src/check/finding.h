#pragma once
// One finding of the data check: how grave it is, which check found it, where (table or file,
// record, key) and a German sentence saying what is wrong. Plain values.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace check {

enum class Severity { Fehler, Warnung, Hinweis };

// "Fehler", "Warnung", "Hinweis".
const char* severityText(Severity severity);

// Every check the data check runs, in the order the summary lists them. A new check adds its
// entry here and in checkName, and a step in the step list (data_check.cpp).
enum class CheckId {
  // the files of the survey folder
  TableMissing,
  TableUnreadable,
  HeaderCount,
  MemoFileMissing,
  MemoPointer,
  ValueUnreadable,
  TextEncoding,
  CodePageUnmarked,
  // the sheets
  SheetCode,
  SheetType,
  SheetTwice,
  CodeAndPolygon,
  RequiredField,
  DateInvalid,
  DateInFuture,
  // the references between the tables
  BiotopeUnknown,
  HabitatUnknown,
  AreaUnknown,
  PlantUnknown,
  RowWithoutSheet,
  StructureRowsMissing,
  StructureRowTwice,
  PolygonNotInShapefile,
  PolygonWithoutSheet,
  PolygonNotInTable,
  // the shapefile
  ShapefileMissing,
  ShapefileUnreadable,
  CoordinateSystem,
  AttributeRows,
  RecordRefused,
  GeometryMissing,
  RingNotClosed,
  TooFewPoints,
  SelfIntersection,
  InvalidGeometry,
  ZeroArea,
  DuplicatePolygon,
  RingOrientation,
  AreaDiffers,
  AreaMissing,
};

// The check's German name, the "Prüfung" column of the findings ("Bogennummer").
const char* checkName(CheckId id);
// Every check in summary order.
const std::vector<CheckId>& allChecks();

// A point of the shapefile where a geometry fault lies, in the file's coordinates.
struct Place {
  double x = 0;
  double y = 0;
};

struct Finding {
  Severity severity = Severity::Fehler;
  CheckId check = CheckId::TableMissing;
  std::string table;    // file name as found ("GBogen.dbf", "FFH_FLAECHEN.SHP"); "" for none
  uint32_t record = 0;  // 1-based record of that file; 0 for the file as a whole
  std::string key;      // sheet key (code + type), sheet code, polygon code or area; "" for none
  std::string message;  // German sentence
  std::optional<Place> place;
  // The shapefile record of the polygon the finding concerns (1-based), 0 when none; the
  // windows show that polygon on a map.
  int32_t shapeRecord = 0;
};

struct SeverityCount {
  CheckId check;
  std::size_t fehler = 0, warnungen = 0, hinweise = 0;
};
// Counts per check, in summary order, only checks with findings.
std::vector<SeverityCount> countByCheck(const std::vector<Finding>& findings);

// The findings ordered as the console and the file show them: by severity (Fehler first), then
// check order, then table and record; equal findings keep their order.
void sortForDisplay(std::vector<Finding>& findings);

// A text with control characters replaced by "?", so that one finding stays one line.
std::string printable(std::string text);

}  // namespace check
