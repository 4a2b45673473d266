#pragma once
// The part extents of every record of a polygon shapefile, read in one pass, so that many
// neighbour searches on one file (one per cover sheet of a report run) do not read the file
// again each time. Holds copies only; the shapefile may go once the index is built. Damaged
// records are kept with their error so that each search reports them as a file pass would.

#include <optional>
#include <vector>

#include "shape/c_shape_file.h"
#include "shape/shape_error.h"
#include "word/shape_subs.h"

namespace word {

struct RecordExtents {
  enum class Kind { Polygon, Other, Damaged };
  Kind kind = Kind::Other;
  std::vector<Box> parts;                  // for Polygon: one box per part, in part order
  std::optional<shape::ShapeError> error;  // for Damaged: what reading the record raised
};

// Reads record j of file into extents; a ShapeError is kept, not thrown.
RecordExtents readRecordExtents(shape::CShapeFile& file, int32_t j);

class PartExtentIndex {
 public:
  // Reads records 1 to Count of file once; errors are kept per record.
  explicit PartExtentIndex(shape::CShapeFile& file);

  int32_t Count() const { return static_cast<int32_t>(records_.size()); }
  // Record j, 1-based, within 1 to Count.
  const RecordExtents& record(int32_t j) const { return records_[static_cast<size_t>(j - 1)]; }

 private:
  std::vector<RecordExtents> records_;
};

}  // namespace word
