#pragma once
// The ordered, 1-based list of shared elements and the extent around them that a part (of
// points), a multipoint (of points) and a polyline or polygon (of parts) are made of. Add widens
// the extent by the element's sides; Remove leaves it (a part recomputes it). Errors are
// ShapeError with the class's name as source.

#include <memory>
#include <string>
#include <vector>

#include "shape/c_rect.h"
#include "shape/shape_error.h"

namespace shape {

// Interface is GeometryObject for a part, IShape for the shapes (whose extent getters override).
template <class Element, class Interface>
class SharedList : public Interface {
 public:
  using List = std::vector<std::shared_ptr<Element>>;

  int32_t Count() const { return static_cast<int32_t>(elements_.size()); }
  typename List::const_iterator begin() const { return elements_.begin(); }
  typename List::const_iterator end() const { return elements_.end(); }
  // 1-based; an index outside 1 to Count throws error 9 "Subscript out of range".
  const std::shared_ptr<Element>& Item(int32_t index) const {
    return elements_[offset(index, false)];
  }
  // Anything but an Element throws 0x8004020F with refusal() and adds nothing.
  void Add(const std::shared_ptr<GeometryObject>& object) {
    auto element = std::dynamic_pointer_cast<Element>(object);
    if (!element)
      throw ShapeError(kErrWrongObjectType, std::string(this->className()) + "::Add", refusal());
    Append(std::move(element));
  }
  // Add for an Element, which needs no type check: the reader adds every point of a file so.
  void Append(std::shared_ptr<Element> element) {
    if (!element)
      throw ShapeError(kErrWrongObjectType, std::string(this->className()) + "::Add", refusal());
    if (elements_.empty()) {
      extent_ = CRect(element->Left(), element->Top(), element->Right(), element->Bottom());
    } else {
      if (element->Left() < extent_.Left()) extent_.Left(element->Left());
      if (element->Right() > extent_.Right()) extent_.Right(element->Right());
      if (element->Bottom() < extent_.Bottom()) extent_.Bottom(element->Bottom());
      if (element->Top() > extent_.Top()) extent_.Top(element->Top());
    }
    elements_.push_back(std::move(element));
  }
  void Reserve(int32_t count) { elements_.reserve(static_cast<std::size_t>(count)); }
  void Remove(int32_t index) {
    elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(offset(index, true)));
  }

  double Top() const { return extent_.Top(); }
  double Bottom() const { return extent_.Bottom(); }
  double Left() const { return extent_.Left(); }
  double Right() const { return extent_.Right(); }
  // One side of the extent, without looking at the elements (the shapefile reader's).
  void SetLeft(double v) { extent_.Left(v); }
  void SetRight(double v) { extent_.Right(v); }
  void SetTop(double v) { extent_.Top(v); }
  void SetBottom(double v) { extent_.Bottom(v); }

 protected:
  // The description of the error for an object that is no Element.
  virtual std::string refusal() const = 0;
  // The source of Remove's error.
  virtual std::string removeSource() const { return std::string(this->className()) + "::Remove"; }

  CRect extent_;

 private:
  // The error's source is only spelled out when there is an error: Item is called per point.
  std::size_t offset(int32_t index, bool removing) const {
    if (index < 1 || index > Count())
      throw ShapeError(kErrSubscriptOutOfRange,
                       removing ? removeSource() : std::string(this->className()) + "::Item",
                       "Subscript out of range");
    return static_cast<std::size_t>(index - 1);
  }

  List elements_;
};

// A shape made of a list: the extent, a null flag and no distance of its own.
template <class Element>
class ListShape : public SharedList<Element, IShape> {
 public:
  bool IsNull() const override { return null_; }
  void MakeNull(bool flag) override { null_ = flag; }
  double Distance(const IShape&) const override { return notImplementedDistance(); }

 private:
  bool null_ = false;
};

}  // namespace shape
