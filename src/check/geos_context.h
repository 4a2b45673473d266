#pragma once
// A context of GEOS's reentrant C API, one per check, so that a check may run on any thread, and
// geometries owned by it. Keeps the last error GEOS reported. Owns the handle; not copyable.

#include <geos_c.h>

#include <memory>
#include <string>
#include <vector>

#include "check/finding.h"

namespace check {

class GeosContext {
 public:
  GeosContext();
  ~GeosContext();
  GeosContext(const GeosContext&) = delete;
  GeosContext& operator=(const GeosContext&) = delete;

  GEOSContextHandle_t handle() const { return handle_; }
  // What GEOS said last when an operation failed.
  const std::string& lastError() const { return lastError_; }

  struct Deleter {
    GEOSContextHandle_t handle;
    void operator()(GEOSGeometry* g) const { GEOSGeom_destroy_r(handle, g); }
  };
  using Geometry = std::unique_ptr<GEOSGeometry, Deleter>;
  // Takes ownership of g (which may be null, after a failure).
  Geometry own(GEOSGeometry* g) const { return Geometry(g, Deleter{handle_}); }

  // A linear ring of the points; null (lastError says why) when GEOS refuses it.
  Geometry ring(const std::vector<Place>& points) const;
  // A polygon of one shell and its holes (all taken over).
  Geometry polygon(Geometry shell, std::vector<Geometry> holes) const;
  Geometry multiPolygon(std::vector<Geometry> polygons) const;
  // The area; negative when GEOS cannot compute it.
  double area(const GEOSGeometry* g) const;

 private:
  static void onError(const char* message, void* self);

  GEOSContextHandle_t handle_;
  std::string lastError_;
};

}  // namespace check
