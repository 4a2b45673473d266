#pragma once
// What a polyline and a polygon share: an ordered list of shared parts (1-based), the extent
// that Add keeps as the union of the parts' extents, and the null flag. Remove leaves the extent
// as it is. The shapefile reader sets the extent sides directly. Errors are ShapeError.

#include <memory>
#include <string>
#include <vector>

#include "shape/c_part.h"

namespace shape {

class PartShape : public IShape {
 public:
  using List = std::vector<std::shared_ptr<CPart>>;

  int32_t Count() const { return static_cast<int32_t>(parts_.size()); }
  List::const_iterator begin() const { return parts_.begin(); }
  List::const_iterator end() const { return parts_.end(); }
  // 1-based; an index outside 1 to Count throws error 9 "Subscript out of range".
  const std::shared_ptr<CPart>& Item(int32_t index) const;
  // Anything but a CPart throws 0x8004020F and adds nothing.
  void Add(const std::shared_ptr<GeometryObject>& object);
  void Remove(int32_t index);

  double Top() const override { return extent_.Top(); }
  double Bottom() const override { return extent_.Bottom(); }
  double Left() const override { return extent_.Left(); }
  double Right() const override { return extent_.Right(); }
  bool IsNull() const override { return null_; }
  void MakeNull(bool flag) override { null_ = flag; }
  double Distance(const IShape& other) const override;

  // For the shapefile reader: one side of the extent, without looking at the parts.
  void SetLeft(double v) { extent_.Left(v); }
  void SetRight(double v) { extent_.Right(v); }
  void SetTop(double v) { extent_.Top(v); }
  void SetBottom(double v) { extent_.Bottom(v); }

 protected:
  // removeSource differs from "<class>::Remove" for polygons, which report "C_Polygon::Remove".
  explicit PartShape(std::string removeSource) : removeSource_(std::move(removeSource)) {}

 private:
  List parts_;
  CRect extent_;
  bool null_ = false;
  std::string removeSource_;
};

class CPolyLine : public PartShape {
 public:
  CPolyLine() : PartShape("CPolyLine::Remove") {}
  std::string_view className() const override { return "CPolyLine"; }
};

class CPolygon : public PartShape {
 public:
  CPolygon() : PartShape("C_Polygon::Remove") {}
  std::string_view className() const override { return "CPolygon"; }
};

}  // namespace shape
