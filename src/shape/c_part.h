#pragma once
// One connected line of a polyline or one ring of a polygon: an ordered list of shared points
// (1-based) and its extent, kept up to date by Add and Remove. Points added are shared with the
// caller; moving a point later does not update the extent. Errors are ShapeError.

#include <memory>
#include <vector>

#include "shape/c_rect.h"

namespace shape {

class CPart : public GeometryObject {
 public:
  using List = std::vector<std::shared_ptr<CPoint>>;

  std::string_view className() const override { return "CPart"; }

  double Left() const { return extent_.Left(); }
  void Left(double v) { extent_.Left(v); }
  double Right() const { return extent_.Right(); }
  void Right(double v) { extent_.Right(v); }
  double Top() const { return extent_.Top(); }
  void Top(double v) { extent_.Top(v); }
  double Bottom() const { return extent_.Bottom(); }
  void Bottom(double v) { extent_.Bottom(v); }

  int32_t Count() const { return static_cast<int32_t>(points_.size()); }
  // 1-based; an index outside 1 to Count throws error 9 "Subscript out of range".
  const std::shared_ptr<CPoint>& Item(int32_t index) const;
  List::const_iterator begin() const { return points_.begin(); }
  List::const_iterator end() const { return points_.end(); }
  // Removes the point and recomputes the extent from the rest; with none left it stays.
  void Remove(int32_t index);
  // Anything but a CPoint throws 0x8004020F and adds nothing.
  void Add(const std::shared_ptr<GeometryObject>& object);

 private:
  List points_;
  CRect extent_;
};

}  // namespace shape
