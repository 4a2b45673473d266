#pragma once
// What the user is told about the coordinates of the polygon shapefile: the name of its
// coordinate system, and a note when the maps had to guess it (no ".prj" and degrees) or could
// not read it. German texts.

#include <string>

#include "shape/coordinate_system.h"

namespace shape {

// "ETRS89 / UTM zone 32N (EPSG:25832)", or why there is none.
std::string coordinateSystemText(const CoordinateSystem& system);

// The note for the run's message file and console, "" when the coordinates are clear.
std::string coordinateNote(const std::string& shpPath, const CoordinateSystem& system,
                           const MapPlan& plan);

// Both for the shapefile at shpPath, as the maps will read it. Throws shape::ShapeError when
// the shapefile cannot be opened or its coordinates cannot be projected.
struct ShapefileCoordinates {
  std::string system;  // coordinateSystemText
  std::string note;    // coordinateNote
};
ShapefileCoordinates describeCoordinates(const std::string& shpPath);

}  // namespace shape
