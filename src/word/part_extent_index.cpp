#include "word/part_extent_index.h"

#include <memory>

namespace word {

RecordExtents readRecordExtents(shape::CShapeFile& file, int32_t j) {
  RecordExtents out;
  try {
    auto polygon = std::dynamic_pointer_cast<shape::CPolygon>(file.Item(j));
    if (!polygon) return out;
    out.kind = RecordExtents::Kind::Polygon;
    out.parts.reserve(static_cast<size_t>(polygon->Count()));
    for (const auto& part : *polygon)
      out.parts.push_back({part->Left(), part->Right(), part->Top(), part->Bottom()});
  } catch (const shape::ShapeError& e) {
    out.kind = RecordExtents::Kind::Damaged;
    out.parts.clear();
    out.error = e;
  }
  return out;
}

PartExtentIndex::PartExtentIndex(shape::CShapeFile& file) {
  records_.reserve(static_cast<size_t>(file.Count()));
  for (int32_t j = 1; j <= file.Count(); ++j) records_.push_back(readRecordExtents(file, j));
}

}  // namespace word
