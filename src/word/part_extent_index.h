#pragma once
// The part extents of every record of a polygon shapefile, read in one pass, with a grid over
// them, so that the neighbour search of each cover sheet in a run looks only at the records
// near the surveyed polygon instead of reading or scanning the whole file again. Holds copies
// only; the shapefile may go once the index is built. Damaged records are kept with their error
// so that each search reports them as a file pass would.

#include <optional>
#include <vector>

#include "shape/c_shape_file.h"
#include "shape/map_projection.h"
#include "shape/shape_error.h"
#include "word/shape_subs.h"

namespace word {

struct RecordExtents {
  enum class Kind { Polygon, Other, Damaged };
  Kind kind = Kind::Other;
  std::vector<Box> parts;                  // for Polygon: one box per part, in part order
  std::optional<shape::ShapeError> error;  // for Damaged: what reading the record raised
  // For Polygon, when kept: its points (projected like the extents), as ReadPoints gives them.
  shape::CShapeFile::PartPoints points;
};

// Reads record j of file into extents, in the map's metres when a projection is given, with
// its points when keepPoints; a ShapeError (of reading or projecting) is kept, not thrown.
RecordExtents readRecordExtents(shape::CShapeFile& file, int32_t j,
                                const shape::MapProjection* projection = nullptr,
                                bool keepPoints = false);

class PartExtentIndex {
 public:
  // Reads records 1 to Count of file once, projected when a projection is given; errors are
  // kept per record. The points of the records are kept as well, as long as they come to no
  // more than pointsKept in all: the maps of a run then need not read and project them again.
  explicit PartExtentIndex(shape::CShapeFile& file,
                           const shape::MapProjection* projection = nullptr,
                           std::size_t pointsKept = 0);
  explicit PartExtentIndex(std::vector<RecordExtents> records);

  int32_t Count() const { return static_cast<int32_t>(records_.size()); }
  // Record j, 1-based, within 1 to Count.
  const RecordExtents& record(int32_t j) const { return records_[static_cast<size_t>(j - 1)]; }

  // The polygon records with a part extent that may touch box, in record order (a superset:
  // the caller tests the parts), and the damaged records, which have no extent.
  std::vector<int32_t> candidates(const Box& box) const;
  const std::vector<int32_t>& damaged() const { return damaged_; }

 private:
  void buildGrid();
  // Cell range of a box, clamped to the grid.
  void cellRange(const Box& b, int& x0, int& y0, int& x1, int& y1) const;

  std::vector<RecordExtents> records_;
  std::vector<int32_t> damaged_;
  // Grid over the extent of all parts: each cell lists the records with a part reaching into
  // it; records with a part spanning very many cells are listed once in wide_ instead.
  Box extent_;
  int columns_ = 0, rows_ = 0;
  double cellWidth_ = 1, cellHeight_ = 1;
  std::vector<std::vector<int32_t>> cells_;
  std::vector<int32_t> wide_;
};

}  // namespace word
