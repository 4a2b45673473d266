#include "shape/coordinate_system.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <fstream>
#include <iterator>

#include "base/file_lookup.h"
#include "base/system_error_text.h"
#include "shape/proj_handles.h"
#include "shape/shape_error.h"

namespace shape {
namespace {

// Coordinates spanning more than this in either direction are not taken for degrees: a survey
// covers a fraction of one degree, a small local grid in metres easily more.
constexpr double kFewDegrees = 5;
// A ".prj" is one line of WKT; anything much longer is no ".prj".
constexpr std::streamsize kMaxPrjSize = 1 << 20;
// PROJ's confidence from which its identification counts: 100 equal, 90 equal but the name.
constexpr int kSameSystem = 90;

std::string fileText(const std::filesystem::path& file, std::string& reason) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    reason = base::systemErrorText(errno);
    return {};
  }
  std::string text(kMaxPrjSize, '\0');
  in.read(text.data(), kMaxPrjSize);
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

bool european(PJ_CONTEXT* context, const PJ* crs) {
  const projlib::Object datum(proj_crs_get_datum_forced(context, crs));
  const char* name = datum ? proj_get_name(datum.get()) : nullptr;
  if (!name) return false;
  std::string lower = name;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower.find("european") != std::string::npos || lower.find("etrs") != std::string::npos;
}

// The EPSG code and name when PROJ finds the system in its database.
void identify(PJ_CONTEXT* context, const PJ* crs, CoordinateSystem& out) {
  int* confidence = nullptr;
  PJ_OBJ_LIST* found = proj_identify(context, crs, "EPSG", nullptr, &confidence);
  if (found && proj_list_get_count(found) > 0 && confidence && confidence[0] >= kSameSystem) {
    const projlib::Object best(proj_list_get(context, found, 0));
    const char* code = best ? proj_get_id_code(best.get(), 0) : nullptr;
    if (code) {
      out.code = std::string("EPSG:") + code;
      if (const char* name = proj_get_name(best.get())) out.name = name;
    }
  }
  proj_list_destroy(found);
  proj_int_list_destroy(confidence);
}

double metresPerUnit(PJ_CONTEXT* context, const PJ* crs) {
  const projlib::Object axes(proj_crs_get_coordinate_system(context, crs));
  double factor = 1;
  if (!axes || !proj_cs_get_axis_info(context, axes.get(), 0, nullptr, nullptr, nullptr, &factor,
                                      nullptr, nullptr, nullptr))
    return 1;
  return factor > 0 ? factor : 1;
}

std::string labelOf(PJ_CONTEXT* context, const std::string& code) {
  const projlib::Object crs(proj_create(context, code.c_str()));
  const char* name = crs ? proj_get_name(crs.get()) : nullptr;
  return name ? std::string(name) + " (" + code + ")" : code;
}

[[noreturn]] void cannotProject(const std::string& what, const std::string& reason) {
  throw ShapeError(kErrDamaged, "planMap",
                   "Die Koordinaten der Shape-Datei lassen sich nicht " + what +
                       " umrechnen (PROJ: " + reason + ").");
}

// The UTM zone of the extent's centre, on ETRS89 where the data's datum is European.
MapPlan toUtm(const std::string& source, bool europeanDatum, const CRect& extent) {
  const projlib::Context context = projlib::quietContext();
  std::string reason;
  const projlib::Object crs = projlib::coordinateSystem(context.get(), source, reason);
  if (!crs) cannotProject("aus ihrem Koordinatensystem", reason);
  const projlib::Object toDegrees =
      projlib::transformation(context.get(), crs.get(), "EPSG:4326", reason);
  if (!toDegrees) cannotProject("in Grad", reason);
  const PJ_COORD centre = proj_trans(
      toDegrees.get(), PJ_FWD,
      proj_coord((extent.Left() + extent.Right()) / 2, (extent.Top() + extent.Bottom()) / 2, 0, 0));
  const double lon = centre.xy.x, lat = centre.xy.y;
  if (!std::isfinite(lon) || !std::isfinite(lat) || std::abs(lat) > 90)
    throw ShapeError(kErrDamaged, "planMap",
                     "Die Koordinaten der Shape-Datei liegen außerhalb des Bereichs ihres "
                     "Koordinatensystems; passt die .prj-Datei zu ihr?");
  const int zone = std::clamp(static_cast<int>(std::floor((lon + 180) / 6)) + 1, 1, 60);
  const bool north = lat >= 0;
  // ETRS89 has UTM codes of its own for the northern zones 28 to 38 only.
  const bool etrs = europeanDatum && north && zone >= 28 && zone <= 38;
  MapPlan plan;
  plan.kind = MapPlan::Kind::kToUtm;
  plan.source = source;
  plan.target = "EPSG:" + std::to_string(etrs ? 25800 + zone : (north ? 32600 : 32700) + zone);
  plan.targetLabel = labelOf(context.get(), plan.target);
  return plan;
}

}  // namespace

std::string CoordinateSystem::label() const {
  return code.empty() ? name : name + " (" + code + ")";
}

CoordinateSystem readCoordinateSystem(const std::filesystem::path& shpPath) {
  CoordinateSystem out;
  const std::filesystem::path prj =
      base::findFileNoCase(shpPath.parent_path(), shpPath.stem().string() + ".prj");
  if (prj.empty()) return out;
  out.prjFile = prj;
  out.kind = CoordinateSystem::Kind::kUnreadable;
  out.definition = fileText(prj, out.problem);
  if (!out.problem.empty()) {
    out.notOpened = true;
    return out;
  }
  const projlib::Context context = projlib::quietContext();
  projlib::Object crs = projlib::coordinateSystem(context.get(), out.definition, out.problem);
  if (!crs) return out;
  crs = projlib::horizontal(context.get(), std::move(crs));
  if (const char* name = crs ? proj_get_name(crs.get()) : nullptr) out.name = name;
  identify(context.get(), crs.get(), out);
  switch (proj_get_type(crs.get())) {
    case PJ_TYPE_PROJECTED_CRS:
      out.kind = CoordinateSystem::Kind::kProjected;
      out.metresPerUnit = metresPerUnit(context.get(), crs.get());
      break;
    case PJ_TYPE_GEOGRAPHIC_2D_CRS:
    case PJ_TYPE_GEOGRAPHIC_3D_CRS:
      out.kind = CoordinateSystem::Kind::kGeographic;
      out.europeanDatum = european(context.get(), crs.get());
      break;
    default:
      out.kind = CoordinateSystem::Kind::kUnsupported;
  }
  return out;
}

bool looksLikeDegrees(const CRect& extent) {
  const double width = extent.Right() - extent.Left(), height = extent.Top() - extent.Bottom();
  return extent.Left() >= -180 && extent.Right() <= 180 && extent.Bottom() >= -90 &&
         extent.Top() <= 90 && width >= 0 && height >= 0 && width + height > 0 &&
         width <= kFewDegrees && height <= kFewDegrees;
}

MapPlan planMap(const CoordinateSystem& system, const CRect& extent) {
  MapPlan plan;
  switch (system.kind) {
    case CoordinateSystem::Kind::kProjected:
      if (std::abs(system.metresPerUnit - 1) > 1e-12) {
        plan.kind = MapPlan::Kind::kScaled;
        plan.factor = system.metresPerUnit;
      }
      return plan;
    case CoordinateSystem::Kind::kGeographic:
      return toUtm(system.definition, system.europeanDatum, extent);
    default:
      if (!looksLikeDegrees(extent)) return plan;
      plan = toUtm("EPSG:4326", false, extent);
      plan.degreesGuessed = true;
      return plan;
  }
}

}  // namespace shape
