#include "word/shape_subs.h"

#include <algorithm>
#include <string>

#include "app/cls_debug.h"
#include "word/part_extent_index.h"

namespace word {
namespace {

constexpr int16_t kOk = 100;
constexpr int16_t kFailed = 101;

bool disjoint(const Box& part, const Box& box) {
  return part.Right < box.Left || part.Left > box.Right || part.Bottom > box.Top ||
         part.Top < box.Bottom;
}

void logDamaged(app::clsDebug& log, int32_t j, const RecordExtents& rec) {
  log.Ausgabe(2, "CollectNeighbourPolygons: Fehler! Der Datensatz " + std::to_string(j) +
                     " der Shape-Datei ist nicht lesbar und wird übergangen: " +
                     rec.error->germanDescription() + "(" +
                     std::to_string(rec.error->signedNumber()) + ")");
}

// The box of record r's parts into box; false when r is no polygon. A damaged r throws.
bool ownBox(const RecordExtents& own, Box& box) {
  if (own.kind == RecordExtents::Kind::Damaged) throw *own.error;
  if (own.kind != RecordExtents::Kind::Polygon || own.parts.empty()) return false;
  box = own.parts.front();
  for (const Box& p : own.parts) {
    box.Left = std::min(box.Left, p.Left);
    box.Right = std::max(box.Right, p.Right);
    box.Top = std::max(box.Top, p.Top);
    box.Bottom = std::min(box.Bottom, p.Bottom);
  }
  return true;
}

bool touches(const RecordExtents& rec, const Box& box) {
  return rec.kind == RecordExtents::Kind::Polygon &&
         std::any_of(rec.parts.begin(), rec.parts.end(),
                     [&box](const Box& p) { return !disjoint(p, box); });
}

}  // namespace

int16_t PointVisible(double W, double H, float x, float y, int16_t direction, bool& inside) {
  switch (direction) {
    case 1:
      inside = x > 0;
      return kOk;
    case 2:
      inside = x < static_cast<float>(W);
      return kOk;
    case 3:
      inside = y > 0;
      return kOk;
    case 4:
      inside = y < static_cast<float>(H);
      return kOk;
    default:
      return kFailed;
  }
}

int16_t EdgeIntersection(app::clsDebug& log, int16_t direction, double W, double H, float x1,
                         float y1, float x2, float y2, float& x, float& y) {
  if (direction < 1 || direction > 4) {
    log.Ausgabe(2, "EdgeIntersection: Fehler! Die Cliprichtung (" + std::to_string(direction) +
                       ") ist nicht korrekt!");
    return kFailed;
  }
  const bool vertical = x1 == x2;
  const float m = vertical ? 0.0f : (y2 - y1) / (x2 - x1);
  const float b = y1 - m * x1;
  switch (direction) {
    case 1:
      x = 0;
      y = b;
      break;
    case 2:
      x = static_cast<float>(W);
      y = static_cast<float>(W * m + b);
      break;
    case 3:
      x = vertical ? x1 : -b / m;
      y = 0;
      break;
    default:
      x = vertical ? x1 : static_cast<float>((H - b) / m);
      y = static_cast<float>(H);
      break;
  }
  return kOk;
}

int16_t ClipRingEdge(app::clsDebug& log, int16_t direction, double W, double H, Ring& ring,
                     bool& completelyOutside) {
  completelyOutside = true;
  Ring clipped;
  clipped.reserve(ring.size() + 2);
  for (size_t i = 0; i + 1 < ring.size(); ++i) {
    const RingPoint& a = ring[i];
    const RingPoint& b = ring[i + 1];
    bool aInside = false;
    bool bInside = false;
    if (PointVisible(W, H, a.x, a.y, direction, aInside) != kOk ||
        PointVisible(W, H, b.x, b.y, direction, bInside) != kOk) {
      log.Ausgabe(2,
                  "ClipRingEdge: Fehler! Die Sichtbarkeit eines Polygonpunkts konnte "
                  "nicht bestimmt werden.");
      return kFailed;
    }
    if (aInside) clipped.push_back(a);
    if (aInside != bInside) {
      RingPoint cut;
      if (EdgeIntersection(log, direction, W, H, a.x, a.y, b.x, b.y, cut.x, cut.y) == kOk)
        clipped.push_back(cut);
    }
  }
  if (!clipped.empty()) {
    completelyOutside = false;
    clipped.push_back(clipped.front());
    ring = std::move(clipped);
  }
  return kOk;
}

void CollectNeighbourPolygons(app::clsDebug& log, shape::CShapeFile& file, int32_t r,
                              NeighbourCollection& neighbours, Box& box) {
  neighbours.clear();
  box = Box{};
  if (r < 1 || r > file.Count()) return;
  if (!ownBox(readRecordExtents(file, r), box)) return;
  for (int32_t j = 1; j <= file.Count(); ++j) {
    if (j == r) {
      neighbours.push_back(r);
      continue;
    }
    const RecordExtents rec = readRecordExtents(file, j);
    if (rec.kind == RecordExtents::Kind::Damaged)
      logDamaged(log, j, rec);
    else if (touches(rec, box))
      neighbours.push_back(j);
  }
}

void CollectNeighbourPolygons(app::clsDebug& /*log*/, const PartExtentIndex& index, int32_t r,
                              NeighbourCollection& neighbours, Box& box) {
  neighbours.clear();
  box = Box{};
  if (r < 1 || r > index.Count()) return;
  if (!ownBox(index.record(r), box)) return;
  for (int32_t j : index.candidates(box))
    if (j == r || touches(index.record(j), box)) neighbours.push_back(j);
}

}  // namespace word

namespace word {

void logDamagedRecords(app::clsDebug& log, const PartExtentIndex& index) {
  for (int32_t j : index.damaged()) logDamaged(log, j, index.record(j));
}

}  // namespace word
