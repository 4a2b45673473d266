#pragma once
// Carries out a MapPlan: turns the points of a polygon or polyline read from the shapefile into
// the map's metres, in place, with the extents of its parts and of itself renewed. PROJ's
// objects serve one thread at a time, so every thread takes its own through forThisThread.
// Errors are ShapeError: a plan PROJ cannot carry out, a point it cannot project.

#include <memory>
#include <vector>

#include "shape/coordinate_system.h"
#include "shape/part_shape.h"

namespace shape {

class MapProjection {
 public:
  explicit MapProjection(const MapPlan& plan);
  ~MapProjection();
  MapProjection(const MapProjection&) = delete;
  MapProjection& operator=(const MapProjection&) = delete;

  // The projection of plan for the calling thread, made on its first use there.
  static const MapProjection& forThisThread(const MapPlan& plan);

  const MapPlan& plan() const { return plan_; }
  bool identity() const { return plan_.kind == MapPlan::Kind::kAsIs; }
  void project(PartShape& shape) const;
  // The same for coordinates read without shapes.
  void project(std::vector<double>& x, std::vector<double>& y) const;

 private:
  struct Proj;
  MapPlan plan_;
  std::unique_ptr<Proj> proj_;
};

}  // namespace shape
