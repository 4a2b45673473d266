#pragma once
// What the cover-sheet maps know of the polygon shapefile, made once per file identity: its
// coordinate system, how its coordinates become the map's metres, and the part extents of its
// records in those metres. A run over N polygons then reads the whole shapefile and its ".prj"
// once instead of N times. The identity is the file's path with inode, size and change times of
// ".shp", ".shx" and ".prj", so a rewritten shapefile is read again. Holds one file at a time;
// safe to use from the workers of a run.

#include <memory>
#include <string>
#include <vector>

#include "shape/c_shape_file.h"
#include "shape/coordinate_system.h"
#include "word/part_extent_index.h"

namespace app {
struct RunServices;
}

namespace word {

struct ShapefileMap {
  shape::CoordinateSystem system;
  shape::MapPlan plan;
  std::string note;  // on the coordinates, for the user (German); "" when they are clear
  PartExtentIndex extents;
};

// The map view of the open shapefile file whose ".shp" lies at shpPath; made from file when
// the cached one belongs to another identity, logging its damaged records then. With tell, the
// coordinate note goes to the log and, as a note, to the user, once until forgetPartExtents.
// Throws what reading or projecting the file throws.
std::shared_ptr<const ShapefileMap> shapefileMapFor(const std::string& shpPath,
                                                    shape::CShapeFile& file,
                                                    const app::RunServices& run, bool tell = true);

// For the run's message file: the coordinate note of the cached file, then one line for each
// of its records that could not be read and so is missing from every map that would show it;
// empty without a cached file.
std::vector<std::string> mapNotes();

// Drops the cached file (start and end of a run), so that the next run says its note again.
void forgetPartExtents();

// How many times a file was read since the program started (for tests and measurements).
long partExtentBuilds();
// How many points of a file the next read keeps for the maps (for tests; 0: none, so that the
// maps read every neighbour from the file), and the program's own number.
void setPointsKept(std::size_t points);
std::size_t defaultPointsKept();

}  // namespace word
