#pragma once
// Owners of PROJ's context and objects for the coordinate-system code of this folder, and the
// few steps both of its files take with them. A context and what was made in it belong to one
// thread.

#include <proj.h>

#include <memory>
#include <string>

namespace shape::projlib {

struct ContextDeleter {
  void operator()(PJ_CONTEXT* context) const { proj_context_destroy(context); }
};
struct ObjectDeleter {
  void operator()(PJ* object) const { proj_destroy(object); }
};
using Context = std::unique_ptr<PJ_CONTEXT, ContextDeleter>;
using Object = std::unique_ptr<PJ, ObjectDeleter>;

// A context that writes nothing to stderr: its failures reach the caller as reasons.
Context quietContext();

// The coordinate system text names: WKT (ESRI's or OGC's) or an authority code such as
// "EPSG:4326"; null with PROJ's reason.
Object coordinateSystem(PJ_CONTEXT* context, const std::string& text, std::string& reason);

// The horizontal system of crs: a bound system's source, a compound system's first part.
Object horizontal(PJ_CONTEXT* context, Object crs);

// From crs to the system of the authority code target, with x as easting or longitude and y as
// northing or latitude whatever the systems' axis order; null with PROJ's reason.
Object transformation(PJ_CONTEXT* context, const PJ* crs, const std::string& target,
                      std::string& reason);

}  // namespace shape::projlib
