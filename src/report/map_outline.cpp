#include "report/map_outline.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace report {
namespace {

// Squared distance of p from the segment a-b.
double distance2(const word::RingPoint& p, const word::RingPoint& a, const word::RingPoint& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
  return ex * ex + ey * ey;
}

// Marks in keep the points of line[a..b] that Douglas-Peucker keeps between a and b.
void keepBetween(const word::RingPoint* line, std::size_t a, std::size_t b, double tolerance2,
                 std::vector<bool>& keep) {
  // Without recursion: deep rings must not exhaust the stack.
  std::vector<std::pair<std::size_t, std::size_t>> spans = {{a, b}};
  while (!spans.empty()) {
    const auto [from, to] = spans.back();
    spans.pop_back();
    std::size_t worst = from;
    double worstDistance = tolerance2;
    for (std::size_t i = from + 1; i < to; ++i) {
      const double d = distance2(line[i], line[from], line[to]);
      if (d > worstDistance) worstDistance = d, worst = i;
    }
    if (worst == from) continue;
    keep[worst] = true;
    spans.push_back({from, worst});
    spans.push_back({worst, to});
  }
}

// The points of line that keep marks, after Douglas-Peucker between every two marked ones.
word::PointList simplified(const word::RingPoint* line, std::size_t n, float tolerance,
                           std::vector<bool>& keep) {
  const double tolerance2 = double(tolerance) * tolerance;
  for (std::size_t a = 0, b = 1; b < n; ++b)
    if (keep[b]) {
      keepBetween(line, a, b, tolerance2, keep);
      a = b;
    }
  word::PointList points;
  for (std::size_t i = 0; i < n; ++i)
    if (keep[i]) points.push_back({line[i].x, line[i].y});
  return points;
}

std::uint64_t bits(const word::RingPoint& point) {
  std::uint32_t x, y;
  std::memcpy(&x, &point.x, sizeof x);
  std::memcpy(&y, &point.y, sizeof y);
  return std::uint64_t(x) << 32 | y;
}

// Segments (two points in either order) or points (the same point twice), bit for bit: equal
// map points give equal drawing points, so an edge two neighbours share has one key. Open
// addressing in one array: a dense map has tens of thousands of them.
class KeySet {
 public:
  explicit KeySet(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < 2 * count) capacity *= 2;
    keys_.resize(capacity);
    used_.resize(capacity, 0);
    mask_ = capacity - 1;
  }
  // False when it was there already.
  bool insert(const word::RingPoint& a, const word::RingPoint& b) {
    std::uint64_t p = bits(a), q = bits(b);
    if (p > q) std::swap(p, q);
    std::size_t slot = at(p, q);
    for (; used_[slot]; slot = (slot + 1) & mask_)
      if (keys_[slot].first == p && keys_[slot].second == q) return false;
    used_[slot] = 1;
    keys_[slot] = {p, q};
    return true;
  }
  bool contains(const word::RingPoint& a) const {
    const std::uint64_t p = bits(a);
    for (std::size_t slot = at(p, p); used_[slot]; slot = (slot + 1) & mask_)
      if (keys_[slot].first == p && keys_[slot].second == p) return true;
    return false;
  }

 private:
  // Both points mixed into every bit (splitmix64's finaliser): neighbouring points differ in
  // few bits, and the slot takes the low ones.
  std::size_t at(std::uint64_t p, std::uint64_t q) const {
    std::uint64_t h = p ^ (q << 32 | q >> 32) ^ 0x9E3779B97F4A7C15ull;
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::size_t>(h ^ (h >> 31)) & mask_;
  }
  std::vector<std::pair<std::uint64_t, std::uint64_t>> keys_;
  std::vector<std::uint8_t> used_;
  std::size_t mask_ = 0;
};

// A stretch of a ring to draw: the whole closed ring, or a run of segments no ring drew before.
struct Run {
  word::Ring points;
  bool closed = false;
};

// The runs of ring whose segments are not in drawn yet, adding them.
void addRuns(const word::Ring& ring, KeySet& drawn, std::vector<bool>& fresh,
             std::vector<Run>& runs) {
  const std::size_t segments = ring.size() < 2 ? 0 : ring.size() - 1;
  fresh.assign(segments, false);
  for (std::size_t i = 0; i < segments; ++i) fresh[i] = drawn.insert(ring[i], ring[i + 1]);
  std::size_t firstOld = 0;
  while (firstOld < segments && fresh[firstOld]) ++firstOld;
  if (firstOld == segments) {
    if (segments > 0) runs.push_back({ring, true});
    return;
  }
  // Starting behind a segment drawn before, so that a run reaching the ring's end goes on at
  // its start; the last step comes back to that segment and ends the run in work.
  Run run;
  for (std::size_t k = 1; k <= segments; ++k) {
    const std::size_t i = (firstOld + k) % segments;
    if (fresh[i]) {
      if (run.points.empty()) run.points.push_back(ring[i]);
      run.points.push_back(ring[i + 1]);
    } else if (!run.points.empty()) {
      runs.push_back(std::move(run));
      run = Run();
    }
  }
}

}  // namespace

word::PointList simplifiedRing(const word::Ring& ring, float tolerance) {
  std::vector<bool> keep(ring.size(), false);
  return simplifiedRing(ring, tolerance, keep);
}

word::PointList simplifiedRing(const word::Ring& ring, float tolerance, std::vector<bool>& keep) {
  const std::size_t n = ring.size();
  auto whole = [&ring] {
    word::PointList points;
    for (const auto& p : ring) points.push_back({p.x, p.y});
    return points;
  };
  if (n < 5 || !(tolerance > 0)) return whole();
  // A closed ring is cut at its first point and the point farthest from it.
  std::size_t far = 0;
  double farthest = -1;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double dx = ring[i].x - ring[0].x, dy = ring[i].y - ring[0].y;
    if (dx * dx + dy * dy > farthest) farthest = dx * dx + dy * dy, far = i;
  }
  keep[0] = keep[n - 1] = keep[far] = true;
  word::PointList points = simplified(ring.data(), n, tolerance, keep);
  return points.size() < 4 ? whole() : points;
}

std::vector<word::PointList> outlinesOnce(const std::vector<const word::Ring*>& rings,
                                          float tolerance) {
  std::size_t total = 0;
  for (const word::Ring* ring : rings) total += ring->size();
  KeySet drawn(total);
  std::vector<bool> fresh;
  std::vector<Run> runs;
  for (const word::Ring* ring : rings) addRuns(*ring, drawn, fresh, runs);
  // Where a run ends, lines meet: such a point stays on every line through it, else the
  // simplified lines would miss each other there by up to the tolerance.
  KeySet junctions(2 * runs.size());
  for (const Run& run : runs)
    if (!run.closed) {
      junctions.insert(run.points.front(), run.points.front());
      junctions.insert(run.points.back(), run.points.back());
    }
  std::vector<word::PointList> lines;
  lines.reserve(runs.size());
  std::vector<bool> keep;
  for (const Run& run : runs) {
    const std::size_t n = run.points.size();
    keep.assign(n, false);
    keep[0] = keep[n - 1] = true;
    for (std::size_t i = 1; i + 1 < n; ++i) keep[i] = junctions.contains(run.points[i]);
    lines.push_back(run.closed ? simplifiedRing(run.points, tolerance, keep)
                               : simplified(run.points.data(), n, tolerance, keep));
  }
  return lines;
}

std::vector<std::size_t> shareOut(std::size_t count, std::size_t shapes) {
  std::vector<std::size_t> runs;
  if (count == 0 || shapes == 0) return runs;
  const std::size_t size = count <= shapes ? 1 : (count + shapes - 1) / shapes;
  for (std::size_t left = count; left > 0; left -= std::min(left, size))
    runs.push_back(std::min(left, size));
  return runs;
}

}  // namespace report
