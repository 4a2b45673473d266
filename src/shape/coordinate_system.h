#pragma once
// The coordinate system a shapefile's ".prj" names, read with PROJ, and the plan by which the
// cover map turns the file's coordinates into metres: a projected system in metres is used as
// it is, one in other units (US feet) is scaled, and geographic degrees are projected into the
// UTM zone of the data's centre. Reading never throws: a ".prj" that PROJ cannot read is
// answered with PROJ's reason; planning throws ShapeError when PROJ cannot make the projection.

#include <filesystem>
#include <string>

#include "shape/c_rect.h"

namespace shape {

struct CoordinateSystem {
  enum class Kind {
    kNone,         // no ".prj" beside the shapefile
    kProjected,    // eastings and northings
    kGeographic,   // longitudes and latitudes
    kUnsupported,  // read, but neither (geocentric, vertical, engineering)
    kUnreadable    // PROJ could not read the file
  };
  Kind kind = Kind::kNone;
  std::filesystem::path prjFile;  // the ".prj" read; empty without one
  std::string name;               // as PROJ names it, e.g. "ETRS89 / UTM zone 32N"
  std::string code;               // "EPSG:25832" when PROJ identifies it, else ""
  std::string definition;         // the file's text
  double metresPerUnit = 1;       // kProjected: length of one unit of its axes
  bool europeanDatum = false;     // kGeographic: on a European datum (ETRS89, ED50)
  std::string problem;            // kUnreadable: PROJ's reason, in its own (English) words,
  bool notOpened = false;         // or the system's (German) when the file could not be opened

  // "ETRS89 / UTM zone 32N (EPSG:25832)", or the name alone when it has no code.
  std::string label() const;
};

// The ".prj" beside shpPath (same base name, extension in any letter case).
CoordinateSystem readCoordinateSystem(const std::filesystem::path& shpPath);

// How the map's metres come from a file's coordinates.
struct MapPlan {
  enum class Kind {
    kAsIs,    // metres already
    kScaled,  // projected in other units: times factor
    kToUtm    // geographic: projected into the UTM zone of the data's centre
  };
  Kind kind = Kind::kAsIs;
  double factor = 1;
  std::string source;           // kToUtm: the geographic system, a definition or "EPSG:4326"
  std::string target;           // kToUtm: e.g. "EPSG:25832"
  std::string targetLabel;      // kToUtm: e.g. "ETRS89 / UTM zone 32N (EPSG:25832)"
  bool degreesGuessed = false;  // no usable ".prj", coordinates that look like degrees

  bool operator==(const MapPlan&) const = default;
};

// Every coordinate within ±180 / ±90 and an extent of a few degrees at most.
bool looksLikeDegrees(const CRect& extent);

// The plan for a file of this system and extent (its header's). Without a usable system,
// coordinates that look like degrees are taken as WGS 84 degrees, others as metres.
MapPlan planMap(const CoordinateSystem& system, const CRect& extent);

}  // namespace shape
