#pragma once
// The polygon shapefile of the sample survey database: ".shp", ".shx" and the ".dbf" attribute
// table for a list of polygon codes, reproducible from a seed.
//
// The polygons tile a piece of land in Gauss-Krueger-like metres around 3,450,000 / 5,550,000:
// a jittered grid whose cells share their vertices and edge points exactly, so neighbours
// share edges. Every tenth polygon or so has a second, distant part; every fortieth has a hole
// that the next polygon fills as an island. The table has one row per code in record order:
// POLYGONNR C(11) and AREA N(14,2), the true area in m^2 (outer rings minus holes). A form
// other than the default changes only how the same polygons are stored.
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
};

inline constexpr const char* kNullRecordPolygon = "99999999999";

void writeSampleShapefile(const std::filesystem::path& shpPath,
                          const std::vector<std::string>& polygonCodes, uint32_t seed,
                          const ShapefileForm& form = {});

}  // namespace sample
