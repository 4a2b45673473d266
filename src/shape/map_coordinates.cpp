#include "shape/map_coordinates.h"

#include "shape/c_file_name.h"
#include "shape/c_shape_file.h"

namespace shape {
namespace {

// How the maps take the coordinates when the ".prj" gives no answer.
std::string fallback(const MapPlan& plan) {
  if (plan.degreesGuessed)
    return "Die Koordinaten der Shape-Datei sehen nach Grad aus: die Karten, Maßstäbe und "
           "berechneten Flächen nehmen WGS 84 an und rechnen in " +
           plan.targetLabel + ".";
  return "Die Karten nehmen die Koordinaten der Shape-Datei als Meter.";
}

}  // namespace

std::string coordinateSystemText(const CoordinateSystem& system) {
  using Kind = CoordinateSystem::Kind;
  switch (system.kind) {
    case Kind::kNone:
      return "keines (die Shape-Datei hat keine .prj-Datei)";
    case Kind::kUnreadable:
      return "unbekannt (die Datei " + system.prjFile.string() + " ist nicht lesbar)";
    default:
      return system.label();
  }
}

std::string coordinateNote(const std::string& shpPath, const CoordinateSystem& system,
                           const MapPlan& plan) {
  using Kind = CoordinateSystem::Kind;
  const std::string prj = system.prjFile.string();
  switch (system.kind) {
    case Kind::kNone:
      if (!plan.degreesGuessed) return "";
      return "Die Shape-Datei " + shpPath + " hat keine .prj-Datei. " + fallback(plan);
    case Kind::kUnreadable:
      return "Die Datei " + prj + " ist nicht lesbar" +
             (system.notOpened ? " (" + system.problem + ")"
                               : ", PROJ meldet: „" + system.problem + "“") +
             ". " + fallback(plan);
    case Kind::kUnsupported:
      return "Die Datei " + prj + " nennt das Koordinatensystem " + system.label() +
             ", das weder projiziert noch geographisch ist. " + fallback(plan);
    default:
      return "";
  }
}

ShapefileCoordinates describeCoordinates(const std::string& shpPath) {
  CFileName name;
  name.SetFileSpec(shpPath);
  CShapeFile file;
  file.SetFileSpec(name, CShapeFile::OPENIT, CShapeFile::kPolygon);
  const CoordinateSystem system = readCoordinateSystem(shpPath);
  const MapPlan plan = planMap(system, CRect(file.Left(), file.Top(), file.Right(), file.Bottom()));
  return {coordinateSystemText(system), coordinateNote(shpPath, system, plan)};
}

}  // namespace shape
