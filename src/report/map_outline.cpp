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

word::PointList kept(const word::RingPoint* line, std::size_t n, const std::vector<bool>& keep) {
  word::PointList points;
  for (std::size_t i = 0; i < n; ++i)
    if (keep[i]) points.push_back({line[i].x, line[i].y});
  return points;
}

word::PointList simplifiedLine(const word::RingPoint* line, std::size_t n, float tolerance) {
  std::vector<bool> keep(n, false);
  keep[0] = keep[n - 1] = true;
  if (tolerance > 0)
    keepBetween(line, 0, n - 1, double(tolerance) * tolerance, keep);
  else
    std::fill(keep.begin(), keep.end(), true);
  return kept(line, n, keep);
}

// The segments drawn so far, each as its two ends in either order, bit for bit: equal map
// points give equal drawing points, so an edge two neighbours share has one key. Open
// addressing in one array: a dense map has tens of thousands of segments.
class SegmentSet {
 public:
  explicit SegmentSet(std::size_t segments) {
    std::size_t capacity = 16;
    while (capacity < 2 * segments) capacity *= 2;
    keys_.resize(capacity);
    used_.resize(capacity, false);
    mask_ = capacity - 1;
  }
  // False when the segment was there already.
  bool insert(const word::RingPoint& a, const word::RingPoint& b) {
    std::uint64_t p = bits(a), q = bits(b);
    if (p > q) std::swap(p, q);
    std::size_t slot =
        static_cast<std::size_t>((p * 0x9E3779B97F4A7C15ull) ^ (q + (q << 7))) & mask_;
    for (; used_[slot]; slot = (slot + 1) & mask_)
      if (keys_[slot].first == p && keys_[slot].second == q) return false;
    used_[slot] = true;
    keys_[slot] = {p, q};
    return true;
  }

 private:
  static std::uint64_t bits(const word::RingPoint& point) {
    std::uint32_t x, y;
    std::memcpy(&x, &point.x, sizeof x);
    std::memcpy(&y, &point.y, sizeof y);
    return std::uint64_t(x) << 32 | y;
  }
  std::vector<std::pair<std::uint64_t, std::uint64_t>> keys_;
  std::vector<bool> used_;
  std::size_t mask_ = 0;
};

}  // namespace

word::PointList simplifiedRing(const word::Ring& ring, float tolerance) {
  const std::size_t n = ring.size();
  if (n < 5 || !(tolerance > 0)) return simplifiedLine(ring.data(), n, 0);
  // A closed ring is cut at its first point and the point farthest from it; each half is
  // simplified on its own.
  std::size_t far = 0;
  double farthest = -1;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double dx = ring[i].x - ring[0].x, dy = ring[i].y - ring[0].y;
    if (dx * dx + dy * dy > farthest) farthest = dx * dx + dy * dy, far = i;
  }
  std::vector<bool> keep(n, false);
  keep[0] = keep[n - 1] = keep[far] = true;
  const double tolerance2 = double(tolerance) * tolerance;
  keepBetween(ring.data(), 0, far, tolerance2, keep);
  keepBetween(ring.data(), far, n - 1, tolerance2, keep);
  word::PointList points = kept(ring.data(), n, keep);
  return points.size() < 4 ? simplifiedLine(ring.data(), n, 0) : points;
}

std::vector<word::PointList> outlinesOnce(const std::vector<const word::Ring*>& rings,
                                          float tolerance) {
  std::vector<word::PointList> lines;
  std::size_t total = 0;
  for (const word::Ring* ring : rings) total += ring->size();
  SegmentSet drawn(total);
  std::vector<bool> fresh;
  for (const word::Ring* ring : rings) {
    const std::size_t segments = ring->size() < 2 ? 0 : ring->size() - 1;
    fresh.assign(segments, false);
    for (std::size_t i = 0; i < segments; ++i) fresh[i] = drawn.insert((*ring)[i], (*ring)[i + 1]);
    auto isNew = [&](std::size_t i) { return fresh[i]; };
    std::size_t firstOld = 0;
    while (firstOld < segments && isNew(firstOld)) ++firstOld;
    if (firstOld == segments) {
      if (segments > 0) lines.push_back(simplifiedRing(*ring, tolerance));
      continue;
    }
    // Runs of new segments; one that reaches the ring's end goes on at its start.
    word::Ring run;
    for (std::size_t k = 1; k <= segments; ++k) {
      const std::size_t i = (firstOld + k) % segments;
      if (isNew(i)) {
        if (run.empty()) run.push_back((*ring)[i]);
        run.push_back((*ring)[i + 1]);
      } else if (!run.empty()) {
        lines.push_back(simplifiedLine(run.data(), run.size(), tolerance));
        run.clear();
      }
    }
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
