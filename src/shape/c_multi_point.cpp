#include "shape/c_multi_point.h"

#include "shape/shape_error.h"

namespace shape {

const std::shared_ptr<CPoint>& CMultiPoint::Item(int32_t index) const {
  if (index < 1 || index > Count())
    throw ShapeError(kErrSubscriptOutOfRange, "CMultiPoint::Item", "Subscript out of range");
  return points_[static_cast<size_t>(index - 1)];
}

void CMultiPoint::Add(const std::shared_ptr<GeometryObject>& object) {
  auto point = std::dynamic_pointer_cast<CPoint>(object);
  if (!point)
    throw ShapeError(kErrWrongObjectType, "CMultiPoint::Add",
                     "CMultiPoint Add can only accept objects of type CPoints");
  if (points_.empty()) {
    extent_.Make(*point, *point);
  } else {
    if (point->X() < extent_.Left()) extent_.Left(point->X());
    if (point->X() > extent_.Right()) extent_.Right(point->X());
    if (point->Y() < extent_.Bottom()) extent_.Bottom(point->Y());
    if (point->Y() > extent_.Top()) extent_.Top(point->Y());
  }
  points_.push_back(std::move(point));
}

void CMultiPoint::Remove(int32_t index) {
  if (index < 1 || index > Count())
    throw ShapeError(kErrSubscriptOutOfRange, "CMultiPoint::Remove", "Subscript out of range");
  points_.erase(points_.begin() + (index - 1));
}

double CMultiPoint::Distance(const IShape&) const {
  return notImplementedDistance();
}

}  // namespace shape
