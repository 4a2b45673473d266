#include "check/finding.h"

#include <algorithm>
#include <map>

namespace check {

const char* severityText(Severity severity) {
  switch (severity) {
    case Severity::Fehler:
      return "Fehler";
    case Severity::Warnung:
      return "Warnung";
    case Severity::Hinweis:
      return "Hinweis";
  }
  return "";
}

const char* checkName(CheckId id) {
  switch (id) {
    case CheckId::TableMissing:
      return "Tabelle fehlt";
    case CheckId::TableUnreadable:
      return "Tabelle unlesbar";
    case CheckId::HeaderCount:
      return "Datensatzzahl im Kopf";
    case CheckId::MemoFileMissing:
      return "Memodatei fehlt";
    case CheckId::MemoPointer:
      return "Memoverweis";
    case CheckId::ValueUnreadable:
      return "Wert unlesbar";
    case CheckId::TextEncoding:
      return "Zeichenkodierung";
    case CheckId::CodePageUnmarked:
      return "Codepage nicht gekennzeichnet";
    case CheckId::SheetCode:
      return "Bogennummer";
    case CheckId::SheetType:
      return "Bogentyp";
    case CheckId::SheetTwice:
      return "Bogen doppelt";
    case CheckId::CodeAndPolygon:
      return "Bogennummer und Polygon";
    case CheckId::RequiredField:
      return "Pflichtfeld leer";
    case CheckId::DateInvalid:
      return "Datum ungültig";
    case CheckId::DateInFuture:
      return "Datum in der Zukunft";
    case CheckId::BiotopeUnknown:
      return "Biotoptyp unbekannt";
    case CheckId::HabitatUnknown:
      return "Lebensraumtyp unbekannt";
    case CheckId::AreaUnknown:
      return "FFH-Gebiet unbekannt";
    case CheckId::PlantUnknown:
      return "Pflanzenart unbekannt";
    case CheckId::RowWithoutSheet:
      return "Zeile ohne Bogen";
    case CheckId::StructureRowsMissing:
      return "Strukturdaten fehlen";
    case CheckId::StructureRowTwice:
      return "Strukturdaten doppelt";
    case CheckId::PolygonNotInShapefile:
      return "Polygon fehlt im Shapefile";
    case CheckId::PolygonWithoutSheet:
      return "Polygon ohne Bogen";
    case CheckId::PolygonNotInTable:
      return "Polygon fehlt in polygone";
    case CheckId::ShapefileMissing:
      return "Shapefile fehlt";
    case CheckId::ShapefileUnreadable:
      return "Shapefile unlesbar";
    case CheckId::CoordinateSystem:
      return "Koordinatensystem";
    case CheckId::AttributeRows:
      return "Attributtabelle";
    case CheckId::RecordRefused:
      return "Datensatz unlesbar";
    case CheckId::GeometryMissing:
      return "Geometrie fehlt";
    case CheckId::RingNotClosed:
      return "Ring nicht geschlossen";
    case CheckId::TooFewPoints:
      return "Zu wenige Punkte";
    case CheckId::SelfIntersection:
      return "Selbstüberschneidung";
    case CheckId::InvalidGeometry:
      return "Ungültige Geometrie";
    case CheckId::ZeroArea:
      return "Fläche null";
    case CheckId::DuplicatePolygon:
      return "Polygon doppelt";
    case CheckId::RingOrientation:
      return "Ringorientierung";
    case CheckId::AreaDiffers:
      return "Fläche weicht ab";
    case CheckId::AreaMissing:
      return "Fläche fehlt";
  }
  return "";
}

const std::vector<CheckId>& allChecks() {
  static const std::vector<CheckId> all = [] {
    std::vector<CheckId> ids;
    for (int i = 0; i <= static_cast<int>(CheckId::AreaMissing); ++i)
      ids.push_back(static_cast<CheckId>(i));
    return ids;
  }();
  return all;
}

std::vector<SeverityCount> countByCheck(const std::vector<Finding>& findings) {
  std::map<CheckId, SeverityCount> counts;
  for (const Finding& f : findings) {
    SeverityCount& c = counts.try_emplace(f.check, SeverityCount{f.check}).first->second;
    switch (f.severity) {
      case Severity::Fehler:
        ++c.fehler;
        break;
      case Severity::Warnung:
        ++c.warnungen;
        break;
      case Severity::Hinweis:
        ++c.hinweise;
        break;
    }
  }
  std::vector<SeverityCount> out;
  for (const auto& [id, count] : counts) out.push_back(count);
  return out;
}

void sortForDisplay(std::vector<Finding>& findings) {
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    if (a.severity != b.severity) return a.severity < b.severity;
    if (a.check != b.check) return a.check < b.check;
    if (a.table != b.table) return a.table < b.table;
    return a.record < b.record;
  });
}

std::string printable(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return text;
}

}  // namespace check
