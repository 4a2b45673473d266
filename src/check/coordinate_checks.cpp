// The shapefile's coordinate system as the cover maps will read it: named for the user, and a
// warning where the maps have to guess it (degrees without ".prj") or cannot read its ".prj".
// The areas the maps and the AREA comparison measure come from the same plan.

#include <algorithm>
#include <limits>
#include <optional>

#include "check/check_run.h"
#include "shape/map_coordinates.h"
#include "shape/map_projection.h"
#include "shape/shape_error.h"

namespace check {
namespace {

// The extent of every point of the layer; nullopt without points.
std::optional<shape::CRect> extentOf(const ShapeLayer& layer) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  double left = kInf, bottom = kInf, right = -kInf, top = -kInf;
  for (const ShapeRecord& r : layer.records) {
    if (r.kind != ShapeRecord::Kind::Polygon || !r.hasPoints()) continue;
    left = std::min(left, r.left);
    bottom = std::min(bottom, r.bottom);
    right = std::max(right, r.right);
    top = std::max(top, r.top);
  }
  if (left > right) return std::nullopt;
  return shape::CRect(left, top, right, bottom);
}

// Twice the signed area of every ring together (shoelace), each ring relative to its first
// point so that large coordinates keep their digits.
double twiceSignedArea(const std::vector<std::vector<double>>& x,
                       const std::vector<std::vector<double>>& y) {
  double sum = 0;
  for (std::size_t r = 0; r < x.size(); ++r) {
    if (x[r].empty()) continue;
    const double x0 = x[r][0], y0 = y[r][0];
    for (std::size_t k = 0; k + 1 < x[r].size(); ++k)
      sum += (x[r][k] - x0) * (y[r][k + 1] - y0) - (x[r][k + 1] - x0) * (y[r][k] - y0);
  }
  return sum;
}

}  // namespace

void checkCoordinates(CheckRun& run) {
  const ShapeLayer& layer = run.shape;
  // A missing or unreadable shapefile is named by the attribute step.
  if (layer.shpPath.empty() || !layer.openError.empty()) return;
  const shape::CoordinateSystem system = shape::readCoordinateSystem(layer.shpPath);
  run.coordinateSystem = shape::coordinateSystemText(system);
  const std::string table =
      system.prjFile.empty() ? layer.shpName : system.prjFile.filename().string();
  const std::optional<shape::CRect> extent = extentOf(layer);
  if (!extent) return;  // nothing to draw, nothing to measure
  try {
    run.shape.mapPlan = shape::planMap(system, *extent);
  } catch (const shape::ShapeError& e) {
    run.add(Severity::Fehler, CheckId::CoordinateSystem, table, 0, {},
            "Die Koordinaten lassen sich nicht in Meter umrechnen: " + e.germanDescription() +
                " Die Deckblätter bekommen keine Karte.");
    return;
  }
  const std::string note = shape::coordinateNote(layer.shpPath.string(), system, run.shape.mapPlan);
  if (!note.empty()) run.add(Severity::Warnung, CheckId::CoordinateSystem, table, 0, {}, note);
}

double squareMetres(const CheckRun& run, int32_t record, double mapUnits) {
  switch (run.shape.mapPlan.kind) {
    case shape::MapPlan::Kind::kAsIs:
      return mapUnits;
    case shape::MapPlan::Kind::kScaled:
      return mapUnits * run.shape.mapPlan.factor * run.shape.mapPlan.factor;
    case shape::MapPlan::Kind::kToUtm:
      break;
  }
  const auto index = static_cast<std::size_t>(record - 1);
  if (record < 1 || index >= run.shape.records.size()) return mapUnits;
  // Projected and unprojected rings measured alike: their ratio turns the area GEOS measured
  // (holes and all) into square metres.
  std::vector<std::vector<double>> x, y;
  for (const auto& ring : run.shape.records[index].rings) {
    auto& rx = x.emplace_back();
    auto& ry = y.emplace_back();
    for (const Place& p : ring) {
      rx.push_back(p.x);
      ry.push_back(p.y);
    }
  }
  const double stored = twiceSignedArea(x, y);
  try {
    const shape::MapProjection& projection = shape::MapProjection::forThisThread(run.shape.mapPlan);
    for (std::size_t r = 0; r < x.size(); ++r) projection.project(x[r], y[r]);
  } catch (const shape::ShapeError&) {
    return mapUnits;
  }
  const double projected = twiceSignedArea(x, y);
  return stored == 0 ? mapUnits : mapUnits * projected / stored;
}

}  // namespace check
