#include "report/polygon_map.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <numeric>
#include <optional>

#include "report/map_outline.h"
#include "report/mod_ffh_report_bogen.h"
#include "shape/c_file_name.h"
#include "shape/c_shape_file.h"
#include "shape/map_projection.h"
#include "shape/shape_error.h"
#include "word/cls_word_doc.h"
#include "word/error_text.h"
#include "word/part_extent_cache.h"
#include "word/run_context.h"
#include "word/shape_subs.h"

namespace report {
namespace {

// The clipping edges in the order the map cuts a neighbour: right, bottom, left, top.
constexpr int16_t kClipOrder[] = {2, 4, 1, 3};
// The map's longer side on the page, in points.
constexpr float kMapSize = 300;
// Neighbour parts smaller than this on the page (points, on their longer side) are left out:
// nothing of them could be told apart.
constexpr double kSmallestPart = 0.5;
// Outlines on the page, in points: the neighbours' thin, the surveyed polygon's strong, so that
// it stands out however dense its surroundings.
constexpr float kNeighbourLine = 0.25f;
constexpr float kPolygonLine = 1.5f;
// The neighbours share at most this many shapes per layer: a map spanning a whole survey would
// otherwise carry tens of thousands of shapes, each with its own frame and style.
constexpr std::size_t kNeighbourShapes = 250;
// Shapes the counter can number besides the surveyed polygon's rings: the frame, both
// neighbour layers, the scale label and bar, and the position after the last shape, which the
// counter reaches when drawing ends.
// An outer ring of the surveyed polygon smaller than kClearingBelow points on the page gets a
// clearing: a white disc kClearing points wide with the strong outline, under the grey, so that
// it can be found among thousands of neighbours. At most kClearings of them.
constexpr double kClearingBelow = 6;
constexpr double kClearing = 16;
constexpr std::size_t kClearings = 20;
constexpr int kFixedShapes = 4 + 2 * static_cast<int>(kNeighbourShapes) + kClearings;
constexpr int kMaxParts = std::numeric_limits<int16_t>::max() - kFixedShapes;

// A ring ready to draw, with what decides whether and in which layer it is drawn.
struct MapRing {
  word::Ring ring;
  double size = 0;      // the longer side of its extent, in drawing units
  bool inHole = false;  // a neighbour inside a hole of the surveyed polygon (an island)
};

// Twice the signed area in map coordinates: negative for a clockwise ring, which a shapefile
// uses for outer rings, positive for the holes.
double signedArea(const shape::CPart& part) {
  double sum = 0;
  // Relative to the first point: map coordinates are large and the products would lose the
  // digits that decide the sign of a small ring.
  if (part.Count() == 0) return 0;
  const double x0 = part.Item(1)->X(), y0 = part.Item(1)->Y();
  for (auto a = part.begin(), b = std::next(a); b != part.end(); ++a, ++b)
    sum += ((*a)->X() - x0) * ((*b)->Y() - y0) - ((*b)->X() - x0) * ((*a)->Y() - y0);
  return sum;
}

// Square metres inside the polygon's outer rings and outside its holes: a ring turning the
// other way than the first is a hole.
double areaOf(const shape::PartShape& polygon) {
  double sum = 0, firstSign = 0;
  for (const auto& part : polygon) {
    const double twice = signedArea(*part);
    if (firstSign == 0) firstSign = twice;
    sum += twice;
  }
  return firstSign < 0 ? -sum / 2 : sum / 2;
}

double longerSide(const word::Ring& ring) {
  if (ring.empty()) return 0;
  float left = ring[0].x, right = left, top = ring[0].y, bottom = top;
  for (const auto& p : ring) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  return std::max(right - left, bottom - top);
}

// Keeps the largest rings when there are more than room, in their order; answers how many
// were left out.
std::size_t keepLargest(std::vector<MapRing>& rings, std::size_t room) {
  if (rings.size() <= room) return 0;
  std::vector<std::size_t> order(rings.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rings[a].size > rings[b].size; });
  order.resize(room);
  std::sort(order.begin(), order.end());
  std::vector<MapRing> kept;
  kept.reserve(room);
  for (std::size_t i : order) kept.push_back(std::move(rings[i]));
  const std::size_t dropped = rings.size() - kept.size();
  rings = std::move(kept);
  return dropped;
}

// Where the map's parts go on the page, and which of them are too small to show there.
struct MapScale {
  word::Box box;  // the surveyed polygon's neighbourhood, in map coordinates
  double frameWidth = 0;
  double frameHeight = 0;
  double point = 0;        // a point on the page, in drawing units
  double minimumSize = 0;  // kSmallestPart in drawing units
  float step = 0;          // a quarter point on the page: what an outline may be simplified by

  explicit MapScale(const word::Box& b)
      : box(b), frameWidth(b.Right - b.Left + 150), frameHeight(b.Top - b.Bottom + 150) {
    point = 1.0 / word::clsWordDoc::mapScale(width(), height(), kMapSize);
    minimumSize = kSmallestPart * point;
    step = static_cast<float>(point / 4);
  }
  float width() const { return static_cast<float>(frameWidth); }
  float height() const { return static_cast<float>(frameHeight); }
  bool tooSmall(const word::Box& b) const {
    return std::max(b.Right - b.Left, b.Top - b.Bottom) < minimumSize;
  }
  word::Ring toDrawing(const shape::CPart& part) const {
    word::Ring ring;
    ring.reserve(static_cast<std::size_t>(part.Count()));
    for (const auto& point : part) ring.push_back(toDrawing(point->X(), point->Y()));
    return ring;
  }
  word::RingPoint toDrawing(double x, double y) const {
    return {static_cast<float>(x - box.Left + 75), static_cast<float>(box.Top - y + 75)};
  }
};

// One part of a neighbour read without making shapes: its points and extent in map metres.
struct NeighbourPart {
  const double* x;
  const double* y;
  std::size_t count;
  word::Box box;
};

word::Box extentOf(const shape::CPart& part) {
  return {part.Left(), part.Right(), part.Top(), part.Bottom()};
}

// The rings of the map in their layers.
struct MapRings {
  std::vector<MapRing> outer;  // the surveyed polygon's outer rings
  std::vector<MapRing> holes;  // its holes
  std::vector<word::Box> holeBoxes;
  std::vector<MapRing> neighbours;
};

// The surveyed polygon first: its holes decide which neighbours are islands.
void addOwnRings(const shape::PartShape& own, const MapScale& scale, MapRings& rings) {
  double firstSign = 0;
  for (const auto& part : own) {
    const double area = signedArea(*part);
    if (firstSign == 0) firstSign = area;
    // The first ring is an outer ring; a ring turning the other way is a hole.
    const bool hole = firstSign != 0 && area != 0 && (area > 0) != (firstSign > 0);
    MapRing r{scale.toDrawing(*part), 0, false};
    r.size = longerSide(r.ring);
    if (hole) {
      rings.holeBoxes.push_back(extentOf(*part));
      rings.holes.push_back(std::move(r));
    } else {
      rings.outer.push_back(std::move(r));
    }
  }
}

// A neighbour's part clipped to the map's frame; nothing when it lies outside or shows too small.
std::optional<MapRing> neighbourRing(const NeighbourPart& part, const MapScale& scale,
                                     const std::vector<word::Box>& holeBoxes, app::clsDebug& log) {
  if (scale.tooSmall(part.box)) return std::nullopt;
  MapRing r;
  r.ring.reserve(part.count);
  for (std::size_t k = 0; k < part.count; ++k)
    r.ring.push_back(scale.toDrawing(part.x[k], part.y[k]));
  // A ring wholly inside the frame (by the clipping's own test) comes out of every clipping
  // pass as it went in.
  const float right = scale.width(), bottom = scale.height();
  const bool inside = std::all_of(r.ring.begin(), r.ring.end(), [&](const word::RingPoint& p) {
    return p.x > 0 && p.x < right && p.y > 0 && p.y < bottom;
  });
  for (int16_t direction : kClipOrder) {
    if (inside) break;
    bool outside = false;
    if (word::ClipRingEdge(log, direction, scale.frameWidth, scale.frameHeight, r.ring, outside) !=
            100 ||
        outside)
      return std::nullopt;
  }
  r.size = longerSide(r.ring);
  if (r.size < scale.minimumSize) return std::nullopt;
  const word::Box& b = part.box;
  r.inHole = std::any_of(holeBoxes.begin(), holeBoxes.end(), [&](const word::Box& h) {
    return b.Left >= h.Left && b.Right <= h.Right && b.Top <= h.Top && b.Bottom >= h.Bottom;
  });
  return r;
}

void addNeighbourRings(shape::CShapeFile& file, const word::PartExtentIndex& extents,
                       const shape::MapProjection& projection,
                       const word::NeighbourCollection& records, int32_t recordNumber,
                       const MapScale& scale, const app::RunServices& run, MapRings& rings) {
  shape::CShapeFile::PartPoints points;
  for (int32_t record : records) {
    if (record == recordNumber) continue;
    // Known from the index: a neighbour all of whose parts are too small is not even read.
    const auto& parts = extents.record(record).parts;
    if (std::all_of(parts.begin(), parts.end(),
                    [&](const word::Box& b) { return scale.tooSmall(b); }))
      continue;
    // The points the run keeps; else only the points, read and projected: a map spanning a
    // whole survey has thousands of neighbours.
    const shape::CShapeFile::PartPoints* source = &extents.record(record).points;
    try {
      if (source->starts.empty()) {
        if (!file.ReadPoints(record, points)) continue;
        projection.project(points.x, points.y);
        source = &points;
      }
    } catch (const shape::ShapeError& e) {
      run.log.Ausgabe(
          2, "ffhReportSetPolygon: Fehler! Der Datensatz " + std::to_string(record) +
                 " der Shape-Datei ist nicht lesbar und wird übergangen: " + word::errorText(e));
      continue;
    }
    run.ui.processEvents();
    const auto& starts = source->starts;
    for (std::size_t i = 0; i < starts.size(); ++i) {
      const auto first = static_cast<std::size_t>(starts[i]);
      const std::size_t end =
          i + 1 < starts.size() ? static_cast<std::size_t>(starts[i + 1]) : source->x.size();
      NeighbourPart part{source->x.data() + first, source->y.data() + first, end - first, {}};
      const auto [left, right] = std::minmax_element(part.x, part.x + part.count);
      const auto [low, high] = std::minmax_element(part.y, part.y + part.count);
      part.box = {*left, *right, *high, *low};
      if (auto r = neighbourRing(part, scale, rings.holeBoxes, run.log))
        rings.neighbours.push_back(std::move(*r));
    }
  }
}

// Whatever the survey, the counter must not run past its range: of the surveyed polygon's
// rings the largest are drawn.
void keepCountable(MapRings& rings, app::clsDebug& log) {
  std::size_t dropped = keepLargest(rings.outer, kMaxParts);
  dropped += keepLargest(rings.holes, kMaxParts - rings.outer.size());
  if (dropped > 0)
    log.Ausgabe(3, "ffhReportSetPolygon: Warnung! Die Karte enthält zu viele Teilflächen; " +
                       std::to_string(dropped) + " kleine werden nicht gezeichnet.");
}

// The clearing around a small ring: a disc of kClearing points around its middle, cut at the
// frame; nothing when the cut fails.
std::optional<word::PointList> clearingAround(const word::Ring& ring, const MapScale& scale,
                                              app::clsDebug& log) {
  const auto [left, right] = std::minmax_element(
      ring.begin(), ring.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
  const auto [top, bottom] = std::minmax_element(
      ring.begin(), ring.end(), [](const auto& a, const auto& b) { return a.y < b.y; });
  const double cx = (left->x + right->x) / 2.0, cy = (top->y + bottom->y) / 2.0;
  const double radius = kClearing / 2 * scale.point;
  constexpr int kCorners = 32;
  word::Ring disc;
  for (int k = 0; k <= kCorners; ++k) {
    const double angle = 2 * M_PI * (k % kCorners) / kCorners;
    disc.push_back({static_cast<float>(cx + radius * std::cos(angle)),
                    static_cast<float>(cy + radius * std::sin(angle))});
  }
  for (int16_t direction : kClipOrder) {
    bool outside = false;
    if (word::ClipRingEdge(log, direction, scale.frameWidth, scale.frameHeight, disc, outside) !=
            100 ||
        outside)
      return std::nullopt;
  }
  word::PointList points;
  for (const auto& p : disc) points.push_back({p.x, p.y});
  return points;
}

// The rings in their layers, from bottom to top: the surroundings, the clearings around the
// surveyed polygon's small rings, the polygon with every outer ring marked, its holes, and the
// islands in them, so that nothing stored later covers it.
std::vector<MapShape> layered(const MapScale& scale, const MapRings& rings, app::clsDebug& log) {
  std::vector<MapShape> shapes;
  auto addNeighbours = [&](bool islands) {
    std::vector<const word::Ring*> layer;
    for (const auto& r : rings.neighbours)
      if (r.inHole == islands) layer.push_back(&r.ring);
    // An edge two neighbours share is drawn once: half the lines of a tiled survey.
    std::vector<word::PointList> lines = outlinesOnce(layer, scale.step);
    auto next = lines.begin();
    for (std::size_t count : shareOut(lines.size(), kNeighbourShapes)) {
      MapShape& shape = shapes.emplace_back();
      shape.lines.assign(std::make_move_iterator(next), std::make_move_iterator(next + count));
      next += static_cast<std::ptrdiff_t>(count);
    }
  };
  auto addOwn = [&](const MapRing& r, bool mark) {
    shapes.push_back({{simplifiedRing(r.ring, scale.step)}, mark, true});
  };
  addNeighbours(false);
  std::size_t clearings = 0;
  for (const auto& r : rings.outer) {
    if (r.size >= kClearingBelow * scale.point || clearings == kClearings) continue;
    if (auto disc = clearingAround(r.ring, scale, log)) {
      shapes.push_back({{std::move(*disc)}, false, true});
      ++clearings;
    }
  }
  for (const auto& r : rings.outer) addOwn(r, true);
  for (const auto& r : rings.holes) addOwn(r, false);
  addNeighbours(true);
  return shapes;
}

// Draws the frame and the shapes; answers the counter after the last shape drawn.
int16_t drawMap(word::clsWordDoc& doc, const PolygonMap& map) {
  const float fw = map.width, fh = map.height;
  const word::PointList frame = {{0, fh}, {0, 0}, {fw, 0}, {fw, fh}, {0, fh}};
  int16_t counter = 1;
  doc.AddPolyline(counter, frame);
  counter = 2;
  for (const MapShape& shape : map.shapes) {
    // Paths in quarter points, as finely as the outlines are simplified; EMU would only add
    // digits.
    doc.AddOutlines(counter, shape.lines, map.resolution);
    doc.SetLineWeight(counter, shape.own ? kPolygonLine : kNeighbourLine);
    if (shape.marked) doc.MarkPolygon(counter);
    ++counter;
  }
  return counter;
}

// What keeps record from giving the map, as the end of a sentence beginning with "der Datensatz"
// and its number ("fehlt in der Shape-Datei, ..."), or "" when it is a polygon with parts.
std::string ownRecordProblem(shape::CShapeFile& file, const word::PartExtentIndex& extents,
                             int32_t record) {
  if (record < 1 || record > extents.Count())
    return "fehlt in der Shape-Datei, sie enthält " +
           (extents.Count() == 0 ? std::string("keine Datensätze")
                                 : "nur " + std::to_string(extents.Count()) + " Datensätze");
  const word::RecordExtents& own = extents.record(record);
  if (own.kind == word::RecordExtents::Kind::Polygon)
    return own.parts.empty() ? "der Shape-Datei ist ein Polygon ohne Teilflächen" : "";
  // The record's own type tells what it is; a record of another type than the file's is
  // refused as damaged when read.
  int32_t type = 0;
  try {
    type = file.RecordShapeType(record);
  } catch (const shape::ShapeError& e) {
    return "der Shape-Datei ist nicht lesbar: " + e.germanDescription();
  }
  if (type == shape::CShapeFile::kNullShape)
    return "der Shape-Datei ist leer (eine Nullform ohne Geometrie)";
  if (type == file.FileType() && own.error)
    return "der Shape-Datei ist nicht lesbar: " + own.error->germanDescription();
  if (type % 10 == shape::CShapeFile::kPolygon)  // Polygon, PolygonZ, PolygonM
    return "der Shape-Datei hat den Formtyp " + std::to_string(type) + ", die Datei aber " +
           std::to_string(file.FileType());
  return "der Shape-Datei ist kein Polygon (Formtyp " + std::to_string(type) + ")";
}

}  // namespace

std::optional<PolygonMap> buildPolygonMap(const std::string& path, int32_t recordNumber,
                                          const app::RunServices& run, std::string* problem,
                                          bool tellCoordinates) {
  shape::CFileName name;
  name.SetFileSpec(path);
  shape::CShapeFile file;
  file.SetFileSpec(name, shape::CShapeFile::OPENIT, shape::CShapeFile::kPolygon);

  const auto map = word::shapefileMapFor(path, file, run, tellCoordinates);
  // The attribute table and the geometry disagree, or the record has no polygon to draw: an
  // empty frame would pass for a map.
  if (std::string wrong = ownRecordProblem(file, map->extents, recordNumber); !wrong.empty()) {
    run.log.Ausgabe(2, "ffhReportSetPolygon: Fehler! Der Datensatz " +
                           std::to_string(recordNumber) + " " + wrong + ".");
    if (problem) *problem = std::move(wrong);
    return std::nullopt;
  }
  const shape::MapProjection& projection = shape::MapProjection::forThisThread(map->plan);
  word::NeighbourCollection records;
  word::Box box;
  word::CollectNeighbourPolygons(run.log, map->extents, recordNumber, records, box);
  const MapScale scale(box);
  MapRings rings;
  const auto own = std::dynamic_pointer_cast<shape::PartShape>(file.Item(recordNumber));
  projection.project(*own);
  addOwnRings(*own, scale, rings);
  addNeighbourRings(file, map->extents, projection, records, recordNumber, scale, run, rings);
  keepCountable(rings, run.log);
  return PolygonMap{scale.width(), scale.height(), scale.step, layered(scale, rings, run.log),
                    areaOf(*own)};
}

std::optional<PolygonMap> coverSheetMap(const std::string& polygonCode, const word::RunContext& run,
                                        std::string& cause) {
  const std::string path = run.settings.get(app::kShapeFilesPfad);
  try {
    const int32_t record = shapeRecordOf(polygonCode, run.db);
    if (record <= 0) {
      cause = record < 0 ? "Die Attributtabelle der Shape-Datei fehlt."
                         : "Polygon " + polygonCode.substr(0, 11) +
                               " fehlt in der Attributtabelle der Shape-Datei.";
      return std::nullopt;
    }
    std::string problem;
    // A preview is no run: what the coordinates need said is said by the run that uses them.
    std::optional<PolygonMap> map = buildPolygonMap(path, record, run, &problem, false);
    if (!map) cause = "Der Datensatz " + std::to_string(record) + " " + problem + ".";
    return map;
  } catch (const std::exception& e) {
    cause = "Die Karte aus " + path + " ist nicht lesbar: " + word::userCause(e) + ".";
    return std::nullopt;
  }
}

int16_t ffhReportSetPolygon(int32_t recordNumber, const word::RunContext& run, std::string* cause,
                            double* area) {
  app::clsDebug& log = run.log;
  word::clsWordDoc& doc = run.doc;
  int16_t result = 101;
  auto fail = [&](const std::string& why) {
    if (cause) *cause = why;
  };
  const std::string path = run.settings.get(app::kShapeFilesPfad);
  try {
    std::error_code ec;
    if (!path.empty() && !std::filesystem::exists(path, ec)) {
      log.Ausgabe(2,
                  "ffhReportSetPolygon: Fehler! Der Pfad für die Shape-Dateien konnten nicht "
                  "gefunden werden.");
      fail("die Shape-Datei " + path + " fehlt");
      return 101;
    }
    std::string problem;
    const std::optional<PolygonMap> map = buildPolygonMap(path, recordNumber, run, &problem);
    if (!map) {
      fail("der Datensatz " + std::to_string(recordNumber) + " " + problem);
      return 101;
    }
    if (area) *area = map->area;
    int16_t counter = drawMap(doc, *map);
    if (doc.SetScaleBar(map->width, map->height, 75, 0, counter) != 100) {
      log.Ausgabe(2, "Fehler! Die Maßeinheit konnte nicht gesetzt werden.");
      doc.noteUnfilled("der Maßstab der Karte konnte nicht gesetzt werden");
    }
    if (doc.MovePolygon(counter, kMapSize) != 100) {
      log.Ausgabe(2, "Fehler! Das Polygon konnte nicht korrekt gesetzt werden.");
      doc.noteUnfilled("die Karte konnte nicht auf die Seite gesetzt werden");
    }
    result = 100;
  } catch (const std::exception& e) {
    log.Ausgabe(2, "FfhReportSetPolygon: Fehler! Nicht abgefangener Fehler." + word::errorText(e));
    fail("die Karte aus " + path + " ist nicht lesbar: " + word::userCause(e));
  }
  return result;
}

}  // namespace report
