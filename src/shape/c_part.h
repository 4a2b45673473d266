#pragma once
// One connected line of a polyline or one ring of a polygon: an ordered list of shared points
// (1-based) and its extent, kept up to date by Add and Remove. Points added are shared with the
// caller; moving a point later does not update the extent. Errors are ShapeError.

#include "shape/shared_list.h"

namespace shape {

class CPart : public SharedList<CPoint, GeometryObject> {
 public:
  std::string_view className() const override { return "CPart"; }

  using SharedList::Bottom;
  using SharedList::Left;
  using SharedList::Right;
  using SharedList::Top;
  void Left(double v) { SetLeft(v); }
  void Right(double v) { SetRight(v); }
  void Top(double v) { SetTop(v); }
  void Bottom(double v) { SetBottom(v); }

  // Removes the point and recomputes the extent from the rest; with none left it stays.
  void Remove(int32_t index);

 protected:
  std::string refusal() const override { return "CPart can only accept objects of type CPoint"; }
};

}  // namespace shape
