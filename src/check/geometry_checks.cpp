// The shapefile: its files and attribute table, each record's geometry (GEOS's validity test
// with its reason and place), polygons stored twice, and the AREA column against the geometry.

#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "check/check_run.h"
#include "check/geos_context.h"
#include "data/value.h"

namespace check {
namespace {

std::string number(double v, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  return data::withGermanDecimal(buffer);
}

std::string point(const Place& p) {
  return "(" + number(p.x, 2) + " / " + number(p.y, 2) + ")";
}

// GEOS's reasons for an invalid geometry, in the check and the words the findings use.
struct Reason {
  const char* geos;
  CheckId check;
  const char* german;
};
constexpr Reason kReasons[] = {
    {"Ring Self-intersection", CheckId::SelfIntersection, "Ein Ring überschneidet sich selbst"},
    {"Self-intersection", CheckId::SelfIntersection, "Die Ringe überschneiden sich"},
    {"Too few", CheckId::TooFewPoints, "Ein Ring hat zu wenige verschiedene Punkte"},
    {"Hole lies outside shell", CheckId::InvalidGeometry,
     "Ein Loch liegt außerhalb seines äußeren Rings"},
    {"nested", CheckId::InvalidGeometry, "Löcher liegen ineinander"},
    {"Nested shells", CheckId::InvalidGeometry, "Äußere Ringe liegen ineinander"},
    {"Interior is disconnected", CheckId::InvalidGeometry,
     "Die Löcher zerteilen die Fläche in getrennte Stücke"},
    {"Duplicate Rings", CheckId::InvalidGeometry, "Ein Ring ist doppelt gespeichert"},
    {"Invalid Coordinate", CheckId::InvalidGeometry, "Eine Koordinate ist keine Zahl"},
    {"not closed", CheckId::RingNotClosed, "Ein Ring ist nicht geschlossen"},
};

class GeometryChecker {
 public:
  explicit GeometryChecker(CheckRun& run) : run_(run), layer_(run.shape) {}

  void all() {
    run_.geometryArea.assign(layer_.records.size(), -1);
    for (std::size_t i = 0; i < layer_.records.size(); ++i)
      record(static_cast<int32_t>(i + 1), layer_.records[i]);
  }

 private:
  void add(Severity severity, CheckId id, int32_t record, const std::string& message,
           std::optional<Place> place = {}) {
    run_.findings.push_back({severity, id, layer_.shpName, static_cast<uint32_t>(record),
                             printable(layer_.keyOf(record)), message, place, record});
  }

  void record(int32_t j, const ShapeRecord& r) {
    switch (r.kind) {
      case ShapeRecord::Kind::Refused:
        return add(Severity::Fehler, CheckId::RecordRefused, j,
                   "Der Datensatz kann nicht gelesen werden: " + r.error);
      case ShapeRecord::Kind::Null:
        return add(Severity::Fehler, CheckId::GeometryMissing, j,
                   "Der Datensatz hat keine Geometrie (Nullform); das Polygon hat keine Karte.");
      case ShapeRecord::Kind::Polygon:
        break;
    }
    if (!r.hasPoints())
      return add(Severity::Fehler, CheckId::GeometryMissing, j, "Das Polygon hat keine Punkte.");
    std::vector<GeosContext::Geometry> shells, holes;
    std::vector<int> shellRings, holeRings;
    for (std::size_t k = 0; k < r.rings.size(); ++k) {
      const int ring = static_cast<int>(k + 1);
      auto g = usableRing(j, ring, r.rings[k]);
      if (!g) continue;
      char ccw = 0;
      GEOSCoordSeq_isCCW_r(geos_.handle(), GEOSGeom_getCoordSeq_r(geos_.handle(), g.get()), &ccw);
      (ccw ? holes : shells).push_back(std::move(g));
      (ccw ? holeRings : shellRings).push_back(ring);
    }
    auto polygons = assemble(j, r, shells, shellRings, holes, holeRings);
    if (polygons.empty()) return;
    auto whole = geos_.multiPolygon(std::move(polygons));
    if (!whole)
      return add(Severity::Fehler, CheckId::InvalidGeometry, j,
                 "GEOS kann das Polygon nicht bilden: " + geos_.lastError() + ".");
    validity(j, whole.get());
    run_.geometryArea[static_cast<std::size_t>(j - 1)] = geos_.area(whole.get());
    duplicate(j, r, std::move(whole));
  }

  // The ring as a GEOS ring, or null after a finding: too few points, not closed, no area.
  GeosContext::Geometry usableRing(int32_t j, int ring, const std::vector<Place>& points) {
    const std::string which = "Ring " + std::to_string(ring);
    if (points.size() < 4) {
      add(Severity::Fehler, CheckId::TooFewPoints, j,
          which + " hat nur " + std::to_string(points.size()) +
              (points.size() == 1 ? " Punkt" : " Punkte") +
              "; ein geschlossener Ring braucht mindestens vier.",
          points.empty() ? std::optional<Place>() : points.front());
      return geos_.own(nullptr);
    }
    if (points.front().x != points.back().x || points.front().y != points.back().y) {
      add(Severity::Fehler, CheckId::RingNotClosed, j,
          which + " ist nicht geschlossen: er endet bei " + point(points.back()) +
              " statt an seinem Anfang " + point(points.front()) + ".",
          points.back());
      return geos_.own(nullptr);
    }
    auto g = geos_.ring(points);
    if (!g) {
      add(Severity::Fehler, CheckId::InvalidGeometry, j,
          which + " ist kein gültiger Ring: " + geos_.lastError() + ".", points.front());
      return g;
    }
    auto alone = geos_.polygon(geos_.own(GEOSGeom_clone_r(geos_.handle(), g.get())), {});
    if (alone && geos_.area(alone.get()) == 0) {
      add(Severity::Fehler, CheckId::ZeroArea, j, which + " umschließt keine Fläche.",
          points.front());
      return geos_.own(nullptr);
    }
    return g;
  }

  // Shells (clockwise rings) with the holes (counter-clockwise rings) inside them. A ring that
  // runs the wrong way round is taken for what its place makes it, and named.
  std::vector<GeosContext::Geometry> assemble(int32_t j, const ShapeRecord& r,
                                              std::vector<GeosContext::Geometry>& shells,
                                              std::vector<int>& shellRings,
                                              std::vector<GeosContext::Geometry>& holes,
                                              const std::vector<int>& holeRings) {
    auto wrongWay = [&](int ring) {
      add(Severity::Warnung, CheckId::RingOrientation, j,
          "Ring " + std::to_string(ring) +
              " läuft gegen den Uhrzeigersinn, liegt aber in keinem anderen Ring; äußere Ringe "
              "laufen im Uhrzeigersinn.",
          r.rings[static_cast<std::size_t>(ring - 1)].front());
    };
    std::vector<GeosContext::Geometry> areas;  // one polygon per shell, for the hole test
    for (const auto& s : shells)
      areas.push_back(geos_.polygon(geos_.own(GEOSGeom_clone_r(geos_.handle(), s.get())), {}));
    std::vector<std::vector<GeosContext::Geometry>> holesOf(shells.size());
    for (std::size_t h = 0; h < holes.size(); ++h) {
      std::size_t owner = shells.size();
      for (std::size_t s = 0; s < areas.size() && owner == shells.size(); ++s)
        if (areas[s] && GEOSCovers_r(geos_.handle(), areas[s].get(), holes[h].get()) == 1)
          owner = s;
      if (owner < shells.size()) {
        holesOf[owner].push_back(std::move(holes[h]));
      } else {
        wrongWay(holeRings[h]);
        shells.push_back(std::move(holes[h]));
        shellRings.push_back(holeRings[h]);
        holesOf.emplace_back();
      }
    }
    std::vector<GeosContext::Geometry> polygons;
    for (std::size_t s = 0; s < shells.size(); ++s) {
      auto p = geos_.polygon(std::move(shells[s]), std::move(holesOf[s]));
      if (p) polygons.push_back(std::move(p));
    }
    return polygons;
  }

  void validity(int32_t j, const GEOSGeometry* g) {
    char* reason = nullptr;
    GEOSGeometry* location = nullptr;
    const char valid = GEOSisValidDetail_r(geos_.handle(), g, 0, &reason, &location);
    const auto where = geos_.own(location);
    const std::string text = reason ? reason : geos_.lastError();
    if (reason) GEOSFree_r(geos_.handle(), reason);
    if (valid == 1) return;
    std::optional<Place> place;
    double x = 0, y = 0;
    if (where && GEOSGeomGetX_r(geos_.handle(), where.get(), &x) &&
        GEOSGeomGetY_r(geos_.handle(), where.get(), &y))
      place = Place{x, y};
    const Reason* known = nullptr;
    for (const Reason& candidate : kReasons)
      if (!known && text.find(candidate.geos) != std::string::npos) known = &candidate;
    const std::string at = place ? " bei " + point(*place) : "";
    if (known)
      add(Severity::Fehler, known->check, j, std::string(known->german) + at + ".", place);
    else
      add(Severity::Fehler, CheckId::InvalidGeometry, j,
          "Die Geometrie ist ungültig" + at + " (GEOS: " + text + ").", place);
  }

  // Records whose geometry is the same, point for point once normalised (start point and
  // ring order do not count).
  void duplicate(int32_t j, const ShapeRecord& r, GeosContext::Geometry g) {
    if (GEOSNormalize_r(geos_.handle(), g.get()) != 0) return;
    auto& bucket = seen_[std::make_tuple(r.left, r.bottom, r.right, r.top)];
    for (const auto& [other, geometry] : bucket) {
      if (GEOSEqualsExact_r(geos_.handle(), geometry.get(), g.get(), 0) != 1) continue;
      const std::string name = layer_.keyOf(other);
      add(Severity::Fehler, CheckId::DuplicatePolygon, j,
          "Das Polygon ist dieselbe Fläche wie Datensatz " + std::to_string(other) +
              (name.empty() ? "" : " (Polygon " + name + ")") + ".");
      return;
    }
    bucket.emplace_back(j, std::move(g));
  }

  CheckRun& run_;
  const ShapeLayer& layer_;
  GeosContext geos_;
  std::map<std::tuple<double, double, double, double>,
           std::vector<std::pair<int32_t, GeosContext::Geometry>>>
      seen_;
};

bool polygonType(int32_t type) {
  return type == 5 || type == 15 || type == 25;
}

}  // namespace

void checkAttributes(CheckRun& run) {
  const ShapeLayer& s = run.shape;
  const SurveyTable& t = s.attributes;
  const std::string shp = run.options.shapefile.filename().string();
  if (run.options.shapefile.empty()) {
    run.add(Severity::Fehler, CheckId::ShapefileMissing, {}, 0, {},
            "Es ist kein Shapefile angegeben; Polygone und Geometrie bleiben ungeprüft.");
    return;
  }
  if (s.shpName.empty() || s.shxName.empty())
    run.add(Severity::Fehler, CheckId::ShapefileMissing, shp, 0, {},
            "Die Datei " +
                (s.shpName.empty() ? shp : run.options.shapefile.stem().string() + ".shx") +
                " fehlt im Ordner " + run.options.shapefile.parent_path().string() + ".");
  else if (!s.openError.empty())
    run.add(Severity::Fehler, CheckId::ShapefileUnreadable, s.shpName, 0, {},
            "Das Shapefile kann nicht geöffnet werden: " + s.openError);
  else if (!polygonType(s.fileType))
    run.add(Severity::Fehler, CheckId::ShapefileUnreadable, s.shpName, 0, {},
            "Das Shapefile enthält keine Polygone (Formtyp " + std::to_string(s.fileType) + ").");
  if (t.fileName.empty())
    return run.add(Severity::Fehler, CheckId::ShapefileMissing, shp, 0, {},
                   "Die Attributtabelle " + run.options.shapefile.stem().string() +
                       ".dbf fehlt neben dem Shapefile.");
  if (!t.openError.empty())
    return run.add(Severity::Fehler, CheckId::ShapefileUnreadable, t.fileName, 0, {},
                   "Die Attributtabelle kann nicht gelesen werden: " + t.openError + ".");
  if (t.column("POLYGONNR") < 0)
    return run.add(Severity::Fehler, CheckId::AttributeRows, t.fileName, 0, {},
                   "Die Attributtabelle hat keine Spalte POLYGONNR.");
  if (!s.shpPath.empty() && s.openError.empty() && t.rows.size() != s.records.size())
    run.add(Severity::Fehler, CheckId::AttributeRows, t.fileName, 0, {},
            "Die Attributtabelle hat " + std::to_string(t.rows.size()) + " Zeilen, das Shapefile " +
                std::to_string(s.records.size()) +
                " Datensätze; Zeile und Datensatz gehören nur bei gleicher Anzahl zusammen.");
  std::map<std::string, uint32_t> first;
  for (std::size_t r = 0; r < s.keys.size(); ++r) {
    if (t.deleted[r]) continue;
    const auto record = static_cast<uint32_t>(r + 1);
    if (s.keys[r].empty()) {
      run.add(Severity::Fehler, CheckId::AttributeRows, t.fileName, record, {},
              "Die Zeile nennt kein Polygon (POLYGONNR ist leer).");
      continue;
    }
    const auto [it, fresh] = first.emplace(s.keys[r], record);
    if (!fresh)
      run.add(Severity::Fehler, CheckId::AttributeRows, t.fileName, record, s.keys[r],
              "Die Polygonnummer steht schon in Zeile " + std::to_string(it->second) +
                  "; die Dokumente finden nur eine der beiden Geometrien.");
  }
}

void checkGeometry(CheckRun& run) {
  if (run.shape.shpPath.empty() || !run.shape.openError.empty() || !polygonType(run.shape.fileType))
    return;
  GeometryChecker(run).all();
}

void checkAreas(CheckRun& run) {
  const SurveyTable& t = run.shape.attributes;
  const int area = t.column("AREA");
  if (!t.readable() || area < 0) return;
  const std::size_t n = std::min(t.rows.size(), run.geometryArea.size());
  for (std::size_t r = 0; r < n; ++r) {
    if (t.deleted[r] || run.geometryArea[r] <= 0) continue;
    const auto record = static_cast<int32_t>(r + 1);
    // AREA holds square metres; the geometry may be in degrees or feet.
    const double geometry = squareMetres(run, record, run.geometryArea[r]);
    const data::Value& v = t.value(r, area);
    double stored = 0;
    if (v.isNull() || !v.toNumber(stored)) {
      run.findings.push_back(
          {Severity::Hinweis,
           CheckId::AreaMissing,
           t.fileName,
           static_cast<uint32_t>(record),
           printable(run.shape.keys[r]),
           "AREA ist leer; die Geometrie umschließt " + number(geometry, 2) + " m².",
           {},
           record});
      continue;
    }
    if (std::abs(stored - geometry) <= 0.05 * geometry) continue;
    run.findings.push_back({Severity::Warnung,
                            CheckId::AreaDiffers,
                            t.fileName,
                            static_cast<uint32_t>(record),
                            printable(run.shape.keys[r]),
                            "AREA nennt " + number(stored, 2) + " m², die Geometrie umschließt " +
                                number(geometry, 2) + " m² (" +
                                number(100 * (stored - geometry) / geometry, 1) + " %).",
                            {},
                            record});
  }
}

}  // namespace check
