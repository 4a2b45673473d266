#include "check/shape_layer.h"

#include <algorithm>
#include <cmath>

#include "base/file_lookup.h"
#include "data/shape_attributes.h"
#include "shape/c_file_name.h"
#include "shape/c_shape_file.h"
#include "shape/map_projection.h"
#include "shape/shape_error.h"

namespace check {
namespace {

namespace fs = std::filesystem;

// The file beside path with path's base name and extension ext, in any case.
fs::path sibling(const fs::path& path, const std::string& ext) {
  return base::findFileNoCase(path.parent_path(), path.stem().string() + ext);
}

ShapeRecord fromShape(const shape::IShape& shape) {
  ShapeRecord r;
  if (shape.IsNull()) return r;
  r.kind = ShapeRecord::Kind::Polygon;
  const auto* polygon = dynamic_cast<const shape::PartShape*>(&shape);
  if (!polygon) return r;
  bool first = true;
  for (const auto& part : *polygon) {
    std::vector<Place> ring;
    ring.reserve(static_cast<std::size_t>(part->Count()));
    for (const auto& p : *part) {
      ring.push_back({p->X(), p->Y()});
      if (first) {
        r.left = r.right = p->X();
        r.bottom = r.top = p->Y();
        first = false;
      }
      r.left = std::min(r.left, p->X());
      r.right = std::max(r.right, p->X());
      r.bottom = std::min(r.bottom, p->Y());
      r.top = std::max(r.top, p->Y());
    }
    r.rings.push_back(std::move(ring));
  }
  return r;
}

}  // namespace

bool ShapeRecord::hasPoints() const {
  return std::any_of(rings.begin(), rings.end(), [](const auto& ring) { return !ring.empty(); });
}

ShapeLayer ShapeLayer::read(const fs::path& path,
                            const std::function<void(std::size_t, std::size_t)>& progress) {
  ShapeLayer layer;
  fs::path shp =
      fs::exists(path) ? path : base::findFileNoCase(path.parent_path(), path.filename().string());
  const fs::path shx = sibling(path, ".shx");
  const fs::path dbf = sibling(path, ".dbf");
  if (!shp.empty()) layer.shpName = shp.filename().string();
  if (!shx.empty()) layer.shxName = shx.filename().string();
  layer.attributes = readSurveyTable(dbf, path.stem().string());
  if (layer.attributes.readable()) {
    const int number = layer.attributes.column("POLYGONNR");
    for (std::size_t r = 0; r < layer.attributes.rows.size(); ++r) {
      std::string key = number < 0 || layer.attributes.deleted[r]
                            ? std::string()
                            : data::polygonKey(layer.attributes.value(r, number));
      if (!key.empty()) layer.recordByKey[key] = static_cast<int32_t>(r + 1);
      layer.keys.push_back(std::move(key));
    }
  }
  if (shp.empty() || shx.empty()) return layer;
  layer.shpPath = shp;

  shape::CShapeFile file;
  try {
    shape::CFileName spec;
    spec.SetFileSpec(fs::absolute(shp).lexically_normal().string());
    file.SetFileSpec(spec, shape::CShapeFile::OPENIT);
  } catch (const shape::ShapeError& e) {
    layer.openError = e.germanDescription();
    return layer;
  }
  layer.fileType = file.FileType();
  const auto count = static_cast<std::size_t>(std::max(0, file.Count()));
  layer.records.reserve(count);
  for (int32_t j = 1; j <= file.Count(); ++j) {
    if (progress && j % 500 == 0) progress(static_cast<std::size_t>(j), count);
    try {
      const auto item = file.Item(j);
      layer.records.push_back(item ? fromShape(*item) : ShapeRecord{});
    } catch (const shape::ShapeError& e) {
      ShapeRecord refused;
      refused.kind = ShapeRecord::Kind::Refused;
      refused.error = e.germanDescription();
      layer.records.push_back(std::move(refused));
    }
  }
  return layer;
}

std::string ShapeLayer::keyOf(int32_t record) const {
  if (record < 1 || static_cast<std::size_t>(record) > keys.size()) return {};
  return keys[static_cast<std::size_t>(record - 1)];
}

int32_t ShapeLayer::recordOf(const std::string& polygonCode) const {
  const auto it = recordByKey.find(data::polygonKey(polygonCode));
  return it == recordByKey.end() ? 0 : it->second;
}

std::pair<double, double> ShapeLayer::metresPerUnit(double x, double y) const {
  switch (mapPlan.kind) {
    case shape::MapPlan::Kind::kAsIs:
      return {1, 1};
    case shape::MapPlan::Kind::kScaled:
      return {mapPlan.factor, mapPlan.factor};
    case shape::MapPlan::Kind::kToUtm:
      break;
  }
  // A step of a thousandth of a degree: about 100 m, within which the projection is linear.
  constexpr double kStep = 1e-3;
  std::vector<double> xs{x, x + kStep, x}, ys{y, y, y + kStep};
  try {
    shape::MapProjection::forThisThread(mapPlan).project(xs, ys);
  } catch (const shape::ShapeError&) {
    return {1, 1};
  }
  const double east = std::hypot(xs[1] - xs[0], ys[1] - ys[0]) / kStep;
  const double north = std::hypot(xs[2] - xs[0], ys[2] - ys[0]) / kStep;
  if (!(east > 0) || !(north > 0) || !std::isfinite(east) || !std::isfinite(north)) return {1, 1};
  return {east, north};
}

}  // namespace check
