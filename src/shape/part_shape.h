#pragma once
// What a polyline and a polygon share: an ordered list of shared parts (1-based), the extent
// that Add keeps as the union of the parts' extents, and the null flag. Remove leaves the extent
// as it is. The shapefile reader sets the extent sides directly. Errors are ShapeError.

#include "shape/c_part.h"

namespace shape {

class PartShape : public ListShape<CPart> {
 protected:
  std::string refusal() const override {
    return std::string(className()) + " Add can only accept objects of type CPart";
  }
};

class CPolyLine : public PartShape {
 public:
  std::string_view className() const override { return "CPolyLine"; }
};

class CPolygon : public PartShape {
 public:
  std::string_view className() const override { return "CPolygon"; }

 protected:
  // Polygons name their Remove differently from their Add and Item.
  std::string removeSource() const override { return "C_Polygon::Remove"; }
};

}  // namespace shape
