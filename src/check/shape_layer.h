#pragma once
// The polygon shapefile as the data check reads it, once: every record's rings as stored (or
// why it has none), and the attribute table beside it. The windows draw their maps from the
// same records. Reading never throws: files that are missing or refused are recorded.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "check/finding.h"
#include "check/survey_tables.h"
#include "shape/coordinate_system.h"

namespace check {

struct ShapeRecord {
  enum class Kind { Polygon, Null, Refused };
  Kind kind = Kind::Null;
  std::vector<std::vector<Place>> rings;  // the parts, points as stored
  std::string error;                      // German, for a refused record
  // Extent of all points; meaningless without points.
  double left = 0, bottom = 0, right = 0, top = 0;
  bool hasPoints() const;
};

struct ShapeLayer {
  std::filesystem::path shpPath;  // as found; empty when there is none
  std::string shpName, shxName;   // file names as found; "" when missing
  std::string openError;          // why the .shp/.shx pair could not be opened
  int32_t fileType = 0;
  std::vector<ShapeRecord> records;  // record n at n - 1
  SurveyTable attributes;            // the ".dbf"; fileName "" when missing
  // POLYGONNR of each attribute row as a polygon code (data::polygonKey); "" for Null or a
  // deleted row. Row n describes record n.
  std::vector<std::string> keys;
  std::unordered_map<std::string, int32_t> recordByKey;  // the last record of each code
  // How the maps turn the coordinates into metres; the check's coordinate step sets it.
  shape::MapPlan mapPlan;

  // Reads path (a ".shp" file, also when its name differs in case) and the ".shx" and ".dbf"
  // of the same name beside it. progress(done, count) now and then while records are read.
  static ShapeLayer read(const std::filesystem::path& path,
                         const std::function<void(std::size_t, std::size_t)>& progress = {});

  // The polygon code of record n (1-based); "" when the table has no row for it.
  std::string keyOf(int32_t record) const;
  // The record whose row names polygon code (the last one when several do); 0 when none.
  int32_t recordOf(const std::string& polygonCode) const;
  // Metres per unit of x and of y near (x, y) as mapPlan measures them, so that a map drawn in
  // the file's coordinates keeps its proportions; {1, 1} where the plan cannot project there.
  std::pair<double, double> metresPerUnit(double x, double y) const;
};

}  // namespace check
