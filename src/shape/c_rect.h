#pragma once
// A rectangle held as two corners: the first carries Left (X) and Top (Y), the second Right (X)
// and Bottom (Y). It keeps what it is given and does not order its sides. Owns its corners.

#include "shape/c_point.h"

namespace shape {

class CRect : public IShape {
 public:
  CRect() = default;
  CRect(double left, double top, double right, double bottom)
      : first_(left, top), second_(right, bottom) {}

  std::string_view className() const override { return "CRect"; }
  double Top() const override { return first_.Y(); }
  double Left() const override { return first_.X(); }
  double Bottom() const override { return second_.Y(); }
  double Right() const override { return second_.X(); }
  void Top(double v) { first_.Y(v); }
  void Bottom(double v) { second_.Y(v); }
  void Left(double v) { first_.X(v); }
  void Right(double v) { second_.X(v); }

  void MakeEmpty() { MakeXY(0, 0, 0, 0); }
  // Copies the coordinates; the rectangle never shares the points it is made from.
  void Make(const CPoint& first, const CPoint& second) {
    MakeXY(first.X(), first.Y(), second.X(), second.Y());
  }
  void MakeXY(double x1, double y1, double x2, double y2) {
    first_ = CPoint(x1, y1);
    second_ = CPoint(x2, y2);
  }

  bool IsNull() const override { return null_; }
  void MakeNull(bool flag) override { null_ = flag; }
  double Distance(const IShape& other) const override;

 private:
  CPoint first_;
  CPoint second_;
  bool null_ = false;
};

}  // namespace shape
