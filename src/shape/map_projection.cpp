#include "shape/map_projection.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "shape/proj_handles.h"
#include "shape/shape_error.h"

namespace shape {

struct MapProjection::Proj {
  projlib::Context context = projlib::quietContext();
  projlib::Object operation;
};

namespace {

[[noreturn]] void cannotProject(const std::string& reason) {
  throw ShapeError(kErrDamaged, "MapProjection",
                   "Die Koordinaten der Shape-Datei lassen sich nicht in Meter umrechnen (PROJ: " +
                       reason + ").");
}

}  // namespace

MapProjection::MapProjection(const MapPlan& plan) : plan_(plan) {
  if (plan.kind != MapPlan::Kind::kToUtm) return;
  proj_ = std::make_unique<Proj>();
  std::string reason;
  const projlib::Object crs = projlib::coordinateSystem(proj_->context.get(), plan.source, reason);
  if (!crs) cannotProject(reason);
  proj_->operation = projlib::transformation(proj_->context.get(), crs.get(), plan.target, reason);
  if (!proj_->operation) cannotProject(reason);
}

MapProjection::~MapProjection() = default;

const MapProjection& MapProjection::forThisThread(const MapPlan& plan) {
  thread_local std::unique_ptr<MapProjection> last;
  if (!last || !(last->plan() == plan)) {
    last.reset();
    last = std::make_unique<MapProjection>(plan);
  }
  return *last;
}

void MapProjection::project(std::vector<double>& xs, std::vector<double>& ys) const {
  if (identity() || xs.empty()) return;
  if (plan_.kind == MapPlan::Kind::kScaled) {
    for (double& x : xs) x *= plan_.factor;
    for (double& y : ys) y *= plan_.factor;
    return;
  }
  const auto count = xs.size();
  proj_trans_generic(proj_->operation.get(), PJ_FWD, xs.data(), sizeof(double), count, ys.data(),
                     sizeof(double), count, nullptr, 0, 0, nullptr, 0, 0);
  for (std::size_t k = 0; k < count; ++k)
    if (!std::isfinite(xs[k]) || !std::isfinite(ys[k]))
      throw ShapeError(kErrDamaged, "MapProjection",
                       "Ein Punkt der Shape-Datei liegt außerhalb des Bereichs ihres "
                       "Koordinatensystems.");
}

void MapProjection::project(PartShape& shape) const {
  if (identity()) return;
  std::vector<double> xs, ys;
  bool firstPart = true;
  for (const auto& part : shape) {
    xs.clear();
    ys.clear();
    for (const auto& point : *part) {
      xs.push_back(point->X());
      ys.push_back(point->Y());
    }
    if (xs.empty()) continue;
    project(xs, ys);
    double left = xs[0], right = xs[0], bottom = ys[0], top = ys[0];
    std::size_t k = 0;
    for (const auto& point : *part) {
      point->X(xs[k]);
      point->Y(ys[k]);
      left = std::min(left, xs[k]);
      right = std::max(right, xs[k]);
      bottom = std::min(bottom, ys[k]);
      top = std::max(top, ys[k]);
      ++k;
    }
    part->Left(left);
    part->Right(right);
    part->Top(top);
    part->Bottom(bottom);
    if (firstPart) {
      shape.SetLeft(left), shape.SetRight(right), shape.SetTop(top), shape.SetBottom(bottom);
      firstPart = false;
    } else {
      shape.SetLeft(std::min(shape.Left(), left));
      shape.SetRight(std::max(shape.Right(), right));
      shape.SetTop(std::max(shape.Top(), top));
      shape.SetBottom(std::min(shape.Bottom(), bottom));
    }
  }
}

}  // namespace shape
