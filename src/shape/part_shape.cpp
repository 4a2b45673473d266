#include "shape/part_shape.h"

#include "shape/shape_error.h"

namespace shape {

const std::shared_ptr<CPart>& PartShape::Item(int32_t index) const {
  if (index < 1 || index > Count())
    throw ShapeError(kErrSubscriptOutOfRange, std::string(className()) + "::Item",
                     "Subscript out of range");
  return parts_[static_cast<size_t>(index - 1)];
}

void PartShape::Add(const std::shared_ptr<GeometryObject>& object) {
  auto part = std::dynamic_pointer_cast<CPart>(object);
  if (!part) {
    std::string name(className());
    throw ShapeError(kErrWrongObjectType, name + "::Add",
                     name + " Add can only accept objects of type CPart");
  }
  if (parts_.empty()) {
    extent_ = CRect(part->Left(), part->Top(), part->Right(), part->Bottom());
  } else {
    if (part->Left() < extent_.Left()) extent_.Left(part->Left());
    if (part->Right() > extent_.Right()) extent_.Right(part->Right());
    if (part->Bottom() < extent_.Bottom()) extent_.Bottom(part->Bottom());
    if (part->Top() > extent_.Top()) extent_.Top(part->Top());
  }
  parts_.push_back(std::move(part));
}

void PartShape::Remove(int32_t index) {
  if (index < 1 || index > Count())
    throw ShapeError(kErrSubscriptOutOfRange, removeSource_, "Subscript out of range");
  parts_.erase(parts_.begin() + (index - 1));
}

double PartShape::Distance(const IShape&) const {
  return notImplementedDistance();
}

}  // namespace shape
