#include "shape/proj_handles.h"

namespace shape::projlib {
namespace {

std::string lastReason(PJ_CONTEXT* context, const char* fallback) {
  const char* text = proj_context_errno_string(context, proj_context_errno(context));
  return text && *text ? text : fallback;
}

}  // namespace

Context quietContext() {
  Context context(proj_context_create());
  proj_log_level(context.get(), PJ_LOG_NONE);
  return context;
}

Object coordinateSystem(PJ_CONTEXT* context, const std::string& text, std::string& reason) {
  if (text.starts_with("EPSG:")) {
    Object crs(proj_create(context, text.c_str()));
    if (!crs) reason = lastReason(context, "unknown code");
    return crs;
  }
  PROJ_STRING_LIST warnings = nullptr, errors = nullptr;
  const char* const options[] = {"STRICT=NO", nullptr};
  Object crs(proj_create_from_wkt(context, text.c_str(), options, &warnings, &errors));
  if (!crs) {
    reason = errors && errors[0] ? errors[0] : lastReason(context, "no WKT");
  } else if (!proj_is_crs(crs.get())) {
    reason = "no coordinate system";
    crs.reset();
  }
  proj_string_list_destroy(warnings);
  proj_string_list_destroy(errors);
  return crs;
}

Object horizontal(PJ_CONTEXT* context, Object crs) {
  for (int depth = 0; crs && depth < 4; ++depth) {
    const PJ_TYPE type = proj_get_type(crs.get());
    if (type == PJ_TYPE_BOUND_CRS)
      crs = Object(proj_get_source_crs(context, crs.get()));
    else if (type == PJ_TYPE_COMPOUND_CRS)
      crs = Object(proj_crs_get_sub_crs(context, crs.get(), 0));
    else
      break;
  }
  return crs;
}

Object transformation(PJ_CONTEXT* context, const PJ* crs, const std::string& target,
                      std::string& reason) {
  Object to(proj_create(context, target.c_str()));
  if (!to) {
    reason = lastReason(context, "unknown target");
    return nullptr;
  }
  Object operation(proj_create_crs_to_crs_from_pj(context, crs, to.get(), nullptr, nullptr));
  if (!operation) {
    reason = lastReason(context, "no transformation");
    return nullptr;
  }
  Object normalized(proj_normalize_for_visualization(context, operation.get()));
  if (!normalized) reason = lastReason(context, "no transformation");
  return normalized;
}

}  // namespace shape::projlib
