#include "shape/c_point.h"

#include <cmath>
#include <optional>

#include "shape/part_shape.h"
#include "shape/shape_error.h"

namespace shape {
namespace {

// Nearest vertex or perpendicular foot over all parts. Every segment is measured, not only those
// next to the nearest vertex: a long segment can pass closer than any vertex of the line.
double distanceToParts(const CPoint& p, const PartShape& shape) {
  std::optional<double> d;
  auto lower = [&d](double v) {
    if (!d || v < *d) d = v;
  };
  for (const auto& part : shape) {
    const CPoint* previous = nullptr;
    for (const auto& point : *part) {
      lower(p.DistanceToPoint(*point));
      if (previous) {
        const CPoint& a = *previous;
        double dx = point->X() - a.X();
        double dy = point->Y() - a.Y();
        double len = std::sqrt(dx * dx + dy * dy);
        // A zero-length segment has no foot; its end points were measured as vertices.
        if (len > 0) {
          double t = ((p.X() - a.X()) * dx + (p.Y() - a.Y()) * dy) / len;
          if (t > 0 && t < len) {
            double ex = p.X() - a.X() - t * dx / len;
            double ey = p.Y() - a.Y() - t * dy / len;
            lower(std::sqrt(ex * ex + ey * ey));
          }
        }
      }
      previous = point.get();
    }
  }
  if (!d)
    throw ShapeError(kErrNullShapeDistance, "CPoint::IShape_Distance",
                     "Cannot compute distance to a null shape");
  return *d;
}

}  // namespace

double CPoint::Distance(const IShape& other) const {
  if (other.IsNull() || null_)
    throw ShapeError(kErrNullShapeDistance, "CPoint::IShape_Distance",
                     "Cannot compute distance to a null shape");
  std::string_view name = other.className();
  if (name == "CPoint") {
    if (auto* q = dynamic_cast<const CPoint*>(&other)) return DistanceToPoint(*q);
  } else if (name == "CPolyLine") {
    if (auto* line = dynamic_cast<const CPolyLine*>(&other)) return DistanceToPolyLine(*line);
  } else if (name == "CPolygon") {
    if (auto* polygon = dynamic_cast<const CPolygon*>(&other)) return DistanceToPolygon(*polygon);
  }
  return 0;
}

double CPoint::DistanceToPoint(const CPoint& q) const {
  if (x_ == q.x_ && y_ == q.y_) return 0;
  return std::sqrt((y_ - q.y_) * (y_ - q.y_) + (x_ - q.x_) * (x_ - q.x_));
}

double CPoint::DistanceToPolyLine(const CPolyLine& line) const {
  return distanceToParts(*this, line);
}

double CPoint::DistanceToPolygon(const CPolygon& polygon) const {
  return distanceToParts(*this, polygon);
}

}  // namespace shape
