#include "word/map_coordinates.h"

#include "shape/c_file_name.h"
#include "shape/c_shape_file.h"

namespace word {
namespace {

// How the maps take the coordinates when the ".prj" gives no answer.
std::string fallback(const shape::MapPlan& plan) {
  if (plan.degreesGuessed)
    return "Die Koordinaten der Shape-Datei sehen nach Grad aus: die Karten, Maßstäbe und "
           "berechneten Flächen nehmen WGS 84 an und rechnen in " +
           plan.targetLabel + ".";
  return "Die Karten nehmen die Koordinaten der Shape-Datei als Meter.";
}

}  // namespace

std::string coordinateSystemText(const shape::CoordinateSystem& system) {
  using Kind = shape::CoordinateSystem::Kind;
  switch (system.kind) {
    case Kind::kNone:
      return "keines (die Shape-Datei hat keine .prj-Datei)";
    case Kind::kUnreadable:
      return "unbekannt (die Datei " + system.prjFile.string() + " ist nicht lesbar)";
    default:
      return system.label();
  }
}

std::string coordinateNote(const std::string& shpPath, const shape::CoordinateSystem& system,
                           const shape::MapPlan& plan) {
  using Kind = shape::CoordinateSystem::Kind;
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
  shape::CFileName name;
  name.SetFileSpec(shpPath);
  shape::CShapeFile file;
  file.SetFileSpec(name, shape::CShapeFile::OPENIT, shape::CShapeFile::kPolygon);
  const shape::CoordinateSystem system = shape::readCoordinateSystem(shpPath);
  const shape::MapPlan plan =
      shape::planMap(system, shape::CRect(file.Left(), file.Top(), file.Right(), file.Bottom()));
  return {coordinateSystemText(system), coordinateNote(shpPath, system, plan)};
}

}  // namespace word
