#pragma once
// A set of shared points (1-based) with an extent that Add widens and Remove leaves alone.
// Errors are ShapeError.

#include <memory>
#include <vector>

#include "shape/c_rect.h"

namespace shape {

class CMultiPoint : public IShape {
 public:
  using List = std::vector<std::shared_ptr<CPoint>>;

  std::string_view className() const override { return "CMultiPoint"; }
  int32_t Count() const { return static_cast<int32_t>(points_.size()); }
  List::const_iterator begin() const { return points_.begin(); }
  List::const_iterator end() const { return points_.end(); }
  // 1-based; an index outside 1 to Count throws error 9 "Subscript out of range".
  const std::shared_ptr<CPoint>& Item(int32_t index) const;
  // Anything but a CPoint throws 0x8004020F and adds nothing.
  void Add(const std::shared_ptr<GeometryObject>& object);
  void Remove(int32_t index);

  double Top() const override { return extent_.Top(); }
  double Bottom() const override { return extent_.Bottom(); }
  double Left() const override { return extent_.Left(); }
  double Right() const override { return extent_.Right(); }
  bool IsNull() const override { return null_; }
  void MakeNull(bool flag) override { null_ = flag; }
  double Distance(const IShape& other) const override;

  // For the shapefile reader: one side of the extent, without looking at the points.
  void SetLeft(double v) { extent_.Left(v); }
  void SetRight(double v) { extent_.Right(v); }
  void SetTop(double v) { extent_.Top(v); }
  void SetBottom(double v) { extent_.Bottom(v); }

 private:
  List points_;
  CRect extent_;
  bool null_ = false;
};

}  // namespace shape
