#pragma once
// Geometry for the cover-sheet map: which polygons of the shapefile lie around the surveyed
// one (by part extents), and one Sutherland-Hodgman pass per window edge that cuts a
// neighbouring ring to the map window. Routines answer 100 (success) or 101 (failure) and log
// into the log they are given; shapefile errors of the surveyed record itself reach the caller.

#include <cstdint>
#include <vector>

#include "app/cls_debug.h"
#include "shape/c_shape_file.h"

namespace word {

class PartExtentIndex;

// One ring row in drawing coordinates (y grows downwards), single precision as drawn.
struct RingPoint {
  float x = 0;
  float y = 0;
};
// A closed ring: the last row repeats the first.
using Ring = std::vector<RingPoint>;

// The sides of an extent in map coordinates (y grows upwards).
struct Box {
  double Left = 0;
  double Right = 0;
  double Top = 0;
  double Bottom = 0;
};

// Record numbers in the order they were found; the surveyed record at its own position.
using NeighbourCollection = std::vector<int32_t>;

// Window edges: 1 x = 0, 2 x = W, 3 y = 0, 4 y = H. A point on an edge is outside.
int16_t PointVisible(double W, double H, float x, float y, int16_t direction, bool& inside);

// Where the segment (x1, y1)-(x2, y2), known to cross the edge, meets it.
int16_t EdgeIntersection(app::clsDebug& log, int16_t direction, double W, double H, float x1,
                         float y1, float x2, float y2, float& x, float& y);

// Replaces ring by its part on the inner side of the edge. With nothing inside, the ring stays
// as it was and completelyOutside is set.
int16_t ClipRingEdge(app::clsDebug& log, int16_t direction, double W, double H, Ring& ring,
                     bool& completelyOutside);

// Record numbers whose part extents touch the extent of record r (r itself always included)
// and that extent. For r outside 1 to Count, or a record r that is no polygon: nothing and a
// zero box. A null or damaged record other than r is logged and skipped; an error reading r
// itself is thrown.
void CollectNeighbourPolygons(app::clsDebug& log, shape::CShapeFile& file, int32_t r,
                              NeighbourCollection& neighbours, Box& box);
// The same answer from part extents read once for many calls; the index's damaged records are
// skipped without a word here: logDamagedRecords tells them once.
// One log line for each damaged record of index.
void logDamagedRecords(app::clsDebug& log, const PartExtentIndex& index);
void CollectNeighbourPolygons(app::clsDebug& log, const PartExtentIndex& index, int32_t r,
                              NeighbourCollection& neighbours, Box& box);

}  // namespace word
