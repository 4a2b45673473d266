#include "word/part_extent_index.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace word {
namespace {

// Cells a part may cover before its record is listed among the wide ones.
constexpr long kMaxCellsPerPart = 64;
constexpr int kMaxColumns = 1024;

}  // namespace

RecordExtents readRecordExtents(shape::CShapeFile& file, int32_t j,
                                const shape::MapProjection* projection, bool keepPoints) {
  RecordExtents out;
  try {
    auto polygon = std::dynamic_pointer_cast<shape::CPolygon>(file.Item(j));
    if (!polygon || polygon->IsNull()) return out;  // no geometry: never on a map
    if (projection) projection->project(*polygon);
    out.kind = RecordExtents::Kind::Polygon;
    out.parts.reserve(static_cast<size_t>(polygon->Count()));
    for (const auto& part : *polygon) {
      out.parts.push_back({part->Left(), part->Right(), part->Top(), part->Bottom()});
      if (!keepPoints) continue;
      out.points.starts.push_back(static_cast<int32_t>(out.points.x.size()));
      for (const auto& point : *part) {
        out.points.x.push_back(point->X());
        out.points.y.push_back(point->Y());
      }
    }
  } catch (const shape::ShapeError& e) {
    out = RecordExtents();
    out.kind = RecordExtents::Kind::Damaged;
    out.error = e;
  }
  return out;
}

PartExtentIndex::PartExtentIndex(shape::CShapeFile& file, const shape::MapProjection* projection,
                                 std::size_t pointsKept) {
  records_.reserve(static_cast<size_t>(file.Count()));
  std::size_t kept = 0;
  for (int32_t j = 1; j <= file.Count(); ++j) {
    records_.push_back(readRecordExtents(file, j, projection, kept < pointsKept));
    kept += records_.back().points.x.size();
  }
  buildGrid();
}

PartExtentIndex::PartExtentIndex(std::vector<RecordExtents> records)
    : records_(std::move(records)) {
  buildGrid();
}

void PartExtentIndex::cellRange(const Box& b, int& x0, int& y0, int& x1, int& y1) const {
  auto cell = [](double v, double origin, double size, int count) {
    const double c = std::floor((v - origin) / size);
    return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(count - 1)));
  };
  x0 = cell(b.Left, extent_.Left, cellWidth_, columns_);
  x1 = cell(b.Right, extent_.Left, cellWidth_, columns_);
  y0 = cell(b.Bottom, extent_.Bottom, cellHeight_, rows_);
  y1 = cell(b.Top, extent_.Bottom, cellHeight_, rows_);
}

void PartExtentIndex::buildGrid() {
  size_t parts = 0;
  bool first = true;
  for (size_t i = 0; i < records_.size(); ++i) {
    const RecordExtents& r = records_[i];
    if (r.kind == RecordExtents::Kind::Damaged) damaged_.push_back(static_cast<int32_t>(i + 1));
    if (r.kind != RecordExtents::Kind::Polygon) continue;
    for (const Box& p : r.parts) {
      ++parts;
      if (first) {
        extent_ = p;
        first = false;
        continue;
      }
      extent_.Left = std::min(extent_.Left, p.Left);
      extent_.Right = std::max(extent_.Right, p.Right);
      extent_.Top = std::max(extent_.Top, p.Top);
      extent_.Bottom = std::min(extent_.Bottom, p.Bottom);
    }
  }
  if (parts == 0) return;
  // About one part per cell.
  const int side =
      std::clamp(static_cast<int>(std::ceil(std::sqrt(double(parts)))), 1, kMaxColumns);
  columns_ = rows_ = side;
  cellWidth_ = std::max((extent_.Right - extent_.Left) / side, 1e-9);
  cellHeight_ = std::max((extent_.Top - extent_.Bottom) / side, 1e-9);
  cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), {});
  for (size_t i = 0; i < records_.size(); ++i) {
    const RecordExtents& r = records_[i];
    if (r.kind != RecordExtents::Kind::Polygon) continue;
    const auto number = static_cast<int32_t>(i + 1);
    bool wide = false;
    for (const Box& p : r.parts) {
      int x0, y0, x1, y1;
      cellRange(p, x0, y0, x1, y1);
      if (long(x1 - x0 + 1) * long(y1 - y0 + 1) > kMaxCellsPerPart) wide = true;
    }
    if (wide) {
      wide_.push_back(number);
      continue;
    }
    for (const Box& p : r.parts) {
      int x0, y0, x1, y1;
      cellRange(p, x0, y0, x1, y1);
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          auto& cell = cells_[static_cast<size_t>(y) * static_cast<size_t>(columns_) + x];
          if (cell.empty() || cell.back() != number) cell.push_back(number);
        }
    }
  }
}

std::vector<int32_t> PartExtentIndex::candidates(const Box& box) const {
  std::vector<int32_t> out(wide_);
  if (columns_ > 0 && !(box.Right < extent_.Left || box.Left > extent_.Right ||
                        box.Top < extent_.Bottom || box.Bottom > extent_.Top)) {
    int x0, y0, x1, y1;
    cellRange(box, x0, y0, x1, y1);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const auto& cell = cells_[static_cast<size_t>(y) * static_cast<size_t>(columns_) + x];
        out.insert(out.end(), cell.begin(), cell.end());
      }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace word
