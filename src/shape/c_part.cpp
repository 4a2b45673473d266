#include "shape/c_part.h"

#include <algorithm>

#include "shape/shape_error.h"

namespace shape {

const std::shared_ptr<CPoint>& CPart::Item(int32_t index) const {
  if (index < 1 || index > Count())
    throw ShapeError(kErrSubscriptOutOfRange, "CPart::Item", "Subscript out of range");
  return points_[static_cast<size_t>(index - 1)];
}

void CPart::Remove(int32_t index) {
  if (index < 1 || index > Count())
    throw ShapeError(kErrSubscriptOutOfRange, "CPart::Remove", "Subscript out of range");
  points_.erase(points_.begin() + (index - 1));
  if (points_.empty()) return;
  double left = points_.front()->X(), right = left;
  double bottom = points_.front()->Y(), top = bottom;
  for (const auto& p : points_) {
    left = std::min(left, p->X());
    right = std::max(right, p->X());
    bottom = std::min(bottom, p->Y());
    top = std::max(top, p->Y());
  }
  extent_ = CRect(left, top, right, bottom);
}

void CPart::Add(const std::shared_ptr<GeometryObject>& object) {
  auto point = std::dynamic_pointer_cast<CPoint>(object);
  if (!point || point->className() != "CPoint")
    throw ShapeError(kErrWrongObjectType, "CPart::Add",
                     "CPart can only accept objects of type CPoint");
  if (points_.empty()) {
    extent_.Make(*point, *point);
  } else {
    if (point->X() < Left())
      Left(point->X());
    else if (point->X() > Right())
      Right(point->X());
    if (point->Y() < Bottom())
      Bottom(point->Y());
    else if (point->Y() > Top())
      Top(point->Y());
  }
  points_.push_back(std::move(point));
}

}  // namespace shape
