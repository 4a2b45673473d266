#include "check/geos_context.h"

#include <stdexcept>

namespace check {

GeosContext::GeosContext() : handle_(GEOS_init_r()) {
  if (!handle_) throw std::runtime_error("GEOS: kein Kontext");
  GEOSContext_setErrorMessageHandler_r(handle_, &GeosContext::onError, this);
}

GeosContext::~GeosContext() {
  GEOS_finish_r(handle_);
}

void GeosContext::onError(const char* message, void* self) {
  static_cast<GeosContext*>(self)->lastError_ = message ? message : "";
}

GeosContext::Geometry GeosContext::ring(const std::vector<Place>& points) const {
  std::vector<double> xy;
  xy.reserve(points.size() * 2);
  for (const Place& p : points) {
    xy.push_back(p.x);
    xy.push_back(p.y);
  }
  GEOSCoordSequence* sequence =
      GEOSCoordSeq_copyFromBuffer_r(handle_, xy.data(), static_cast<unsigned>(points.size()), 0, 0);
  if (!sequence) return own(nullptr);
  return own(GEOSGeom_createLinearRing_r(handle_, sequence));
}

GeosContext::Geometry GeosContext::polygon(Geometry shell, std::vector<Geometry> holes) const {
  std::vector<GEOSGeometry*> raw;
  for (auto& h : holes) raw.push_back(h.release());
  return own(GEOSGeom_createPolygon_r(handle_, shell.release(), raw.data(),
                                      static_cast<unsigned>(raw.size())));
}

GeosContext::Geometry GeosContext::multiPolygon(std::vector<Geometry> polygons) const {
  std::vector<GEOSGeometry*> raw;
  for (auto& p : polygons) raw.push_back(p.release());
  return own(GEOSGeom_createCollection_r(handle_, GEOS_MULTIPOLYGON, raw.data(),
                                         static_cast<unsigned>(raw.size())));
}

double GeosContext::area(const GEOSGeometry* g) const {
  double a = 0;
  return GEOSArea_r(handle_, g, &a) ? a : -1;
}

}  // namespace check
