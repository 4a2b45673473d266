#pragma once
// The polygon shapefile of the sample survey database: ".shp", ".shx" and the ".dbf" attribute
// table for a list of polygon codes, reproducible from a seed.
//
// The polygons tile a piece of land in Gauss-Krueger-like metres around 3,450,000 / 5,550,000:
// a jittered grid whose cells share their vertices and edge points exactly, so neighbours
// share edges. Every tenth polygon or so has a second, distant part; every fortieth has a hole
// that the next polygon fills as an island. The table has one row per code in record order:
// POLYGONNR C(11) and AREA N(14,2), the true area in m^2 (outer rings minus holes). A form
// other than the default changes only how the same polygons are stored; crs stores them in
// another coordinate system, transformed with PROJ, with a ".prj" naming it.
// Throws shape::ShapeError or data::dbf::DbfError when a file cannot be written.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sample {

// Forms in which GIS programs export the same polygons.
struct ShapefileForm {
  bool islandsFirst = false;    // each island is stored before the polygon with its hole
  bool polygonZ = false;        // shape type 15 (PolygonZ) with Z and M values
  bool numericNumbers = false;  // POLYGONNR as N(11): leading zeros are lost
  // A record without geometry (shape type 0, legal in any shapefile) in the middle of the file,
  // its row naming kNullRecordPolygon, a polygon without sheets.
  bool nullRecord = false;
  // EPSG code of the coordinates, written into an ESRI-style ".prj": 31467 (Gauss-Krueger zone
  // 3, as generated), 25832 (ETRS89 / UTM 32N) or 4326 (WGS 84 degrees); 0: as generated and
  // without ".prj". Others throw shape::ShapeError.
  int crs = 0;
  // Behind the polygons, 5 km west of them, records whose geometry a delivery must not have,
  // each with its row naming a polygon without sheets (the codes below): a ring that is not
  // closed, one of three points, one that crosses itself (at kCrossing), one without area, a
  // square stored twice, one stored counter-clockwise, one whose AREA is 20 % too large and
  // one whose record number the reader refuses.
  bool faultyRecords = false;
};

// The codes crs takes besides 0.
inline constexpr int kSampleCoordinateSystems[] = {31467, 25832, 4326};

inline constexpr const char* kNullRecordPolygon = "99999999999";
inline constexpr const char* kUnclosedRingPolygon = "99999999901";
inline constexpr const char* kFewPointsPolygon = "99999999902";
inline constexpr const char* kSelfIntersectingPolygon = "99999999903";
inline constexpr const char* kZeroAreaPolygon = "99999999904";
inline constexpr const char* kOriginalPolygon = "99999999905";
inline constexpr const char* kDuplicatePolygon = "99999999906";  // the same square as ...905
inline constexpr const char* kCounterClockwisePolygon = "99999999907";
inline constexpr const char* kWrongAreaPolygon = "99999999908";
inline constexpr const char* kRefusedRecordPolygon = "99999999909";
// Where the rings of kSelfIntersectingPolygon cross.
inline constexpr double kCrossingX = 3450000 - 5000 + 3 * 300 + 37.5;
inline constexpr double kCrossingY = 5550000 + 37.5;

void writeSampleShapefile(const std::filesystem::path& shpPath,
                          const std::vector<std::string>& polygonCodes, uint32_t seed,
                          const ShapefileForm& form = {});

}  // namespace sample
