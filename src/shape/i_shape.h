#pragma once
// The common interface of the geometry classes. Every geometry object names its class so that
// the containers can refuse objects of the wrong kind with a numbered error, as the file and
// drawing code expect, instead of relying on the compiler alone.
//
// Ownership: geometry objects live in std::shared_ptr. A container (CPart, CPolyLine, CPolygon,
// CMultiPoint) holds shared_ptr to its elements, so an element added to a container is shared,
// not copied: later changes to it are seen through every holder, and it lives as long as anyone
// holds it. Elements never point back at their containers, so no cycles can form.

#include <memory>
#include <string_view>

namespace shape {

class GeometryObject {
 public:
  virtual ~GeometryObject() = default;
  // "CPoint", "CRect", "CPart", "CPolyLine", "CPolygon" or "CMultiPoint".
  virtual std::string_view className() const = 0;
};

class IShape : public GeometryObject {
 public:
  // Extent in map convention: Left smallest X, Right largest X, Bottom smallest Y, Top largest Y.
  virtual double Top() const = 0;
  virtual double Bottom() const = 0;
  virtual double Left() const = 0;
  virtual double Right() const = 0;
  virtual bool IsNull() const = 0;
  virtual void MakeNull(bool flag) = 0;
  // Only CPoint measures; the other shapes show "NOT IMPLEMENTED" and answer 0.
  virtual double Distance(const IShape& other) const = 0;
};

// The answer of a distance that a class does not compute: a message box, then 0.
double notImplementedDistance();

}  // namespace shape
