#pragma once
// A point with 64-bit coordinates; the only shape that measures distances (to points, polylines
// and polygons). Distance throws ShapeError 0x80040212 when either side is null.

#include "shape/i_shape.h"

namespace shape {

class CPolyLine;
class CPolygon;

class CPoint : public IShape {
 public:
  CPoint() = default;
  CPoint(double x, double y) : x_(x), y_(y) {}

  double X() const { return x_; }
  void X(double x) { x_ = x; }
  double Y() const { return y_; }
  void Y(double y) { y_ = y; }

  std::string_view className() const override { return "CPoint"; }
  double Top() const override { return y_; }
  double Bottom() const override { return y_; }
  double Left() const override { return x_; }
  double Right() const override { return x_; }
  bool IsNull() const override { return null_; }
  void MakeNull(bool flag) override { null_ = flag; }
  // To a CPoint, CPolyLine or CPolygon; 0 for any other class.
  double Distance(const IShape& other) const override;

  double DistanceToPoint(const CPoint& q) const;
  // The distance to the nearest vertex or segment of any part; a point inside a polygon gets
  // its distance to the nearest ring. Parts with a single point and zero-length segments are
  // measured by their vertices. A shape without any point throws 0x80040212.
  double DistanceToPolyLine(const CPolyLine& line) const;
  double DistanceToPolygon(const CPolygon& polygon) const;

 private:
  double x_ = 0;
  double y_ = 0;
  bool null_ = false;
};

}  // namespace shape
