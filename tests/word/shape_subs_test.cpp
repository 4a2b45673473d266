#include "word/shape_subs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <tuple>

#include "app/app_fixture.h"
#include "shape/shape_test_support.h"
#include "support/expect_throw.h"
#include "word/part_extent_index.h"

using ::testing::HasSubstr;

using namespace word;
using shapetest::fs::path;

namespace {

class ShapeSubs : public testsupport::AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    ASSERT_TRUE(startLog(folder_));
  }

  // The log lines that start with "D2 ".
  std::vector<std::string> errorLines() const {
    std::vector<std::string> lines;
    for (const auto& line : logLines(folder_))
      if (line.rfind("D2 ", 0) == 0) lines.push_back(line);
    return lines;
  }

  const path folder_ = dir_.path();
};

void expectRing(const Ring& ring, const Ring& expected) {
  ASSERT_EQ(ring.size(), expected.size());
  for (size_t i = 0; i < ring.size(); ++i) {
    EXPECT_FLOAT_EQ(ring[i].x, expected[i].x) << "row " << i + 1;
    EXPECT_FLOAT_EQ(ring[i].y, expected[i].y) << "row " << i + 1;
  }
}

// A box's sides as left right top bottom.
std::vector<double> sides(const Box& b) {
  return {b.Left, b.Right, b.Top, b.Bottom};
}

std::shared_ptr<shape::CPart> box(double left, double bottom, double right, double top) {
  auto part = std::make_shared<shape::CPart>();
  for (auto [x, y] :
       {std::pair{left, bottom}, {left, top}, {right, top}, {right, bottom}, {left, bottom}})
    part->Add(std::make_shared<shape::CPoint>(x, y));
  return part;
}

// 1: 0..10 x 0..10; 2: touches 1 at x = 10; 3: far right; 4: a far part and a part touching 1
// at y = 10; 5: a small square just beyond the corner of 1.
path writeNeighbours(const path& folder, bool nullSecond = false) {
  path shp = folder / "Polygone.shp";
  shape::CFileName spec;
  spec.SetFileSpec(shp.string());
  shape::CShapeFile file;
  file.SetFileSpec(spec, shape::CShapeFile::CREATEIT, shape::CShapeFile::kPolygon);
  auto add = [&file](std::initializer_list<std::shared_ptr<shape::CPart>> parts,
                     bool null = false) {
    shape::CPolygon polygon;
    for (const auto& p : parts) polygon.Add(p);
    polygon.MakeNull(null);
    file.Add(polygon);
  };
  add({box(0, 0, 10, 10)});
  add({box(10, 0, 20, 10)}, nullSecond);
  add({box(30, 0, 40, 10)});
  add({box(50, 0, 60, 10), box(5, 10, 8, 14)});
  add({box(11, 11, 12, 12)});
  return shp;
}

shape::CShapeFile openShape(const path& shp) {
  shape::CFileName spec;
  spec.SetFileSpec(shp.string());
  shape::CShapeFile file;
  file.SetFileSpec(spec, shape::CShapeFile::OPENIT, shape::CShapeFile::kPolygon);
  return file;
}

}  // namespace

// The clip frame is 10 x 20; directions 1 to 4 are its left, right, top and bottom edge.
TEST_F(ShapeSubs, pointVisible_eachDirection_edgeCountsOutside) {
  for (const auto& [x, y, direction, visible] :
       std::vector<std::tuple<double, float, int16_t, bool>>{{0, 5, 1, false},
                                                             {0.001f, 5, 1, true},
                                                             {10, 5, 2, false},
                                                             {9.99f, 5, 2, true},
                                                             {5, 0, 3, false},
                                                             {5, 20, 4, false},
                                                             {5, 19.5f, 4, true}}) {
    bool inside = !visible;
    EXPECT_EQ(PointVisible(10, 20, float(x), y, direction, inside), 100);
    EXPECT_EQ(inside, visible) << x << " " << y << " " << direction;
  }
  // W is compared in single precision: this W rounds to the float x, so x is not inside.
  bool inside = true;
  EXPECT_EQ(PointVisible(0.100000002, 20, 0.1f, 5, 2, inside), 100);
  EXPECT_FALSE(inside);
  EXPECT_EQ(PointVisible(10, 20, 5, 5, 0, inside), 101);
  EXPECT_EQ(PointVisible(10, 20, 5, 5, 5, inside), 101);
}

TEST_F(ShapeSubs, edgeIntersection_eachDirection) {
  // Direction, edge from (x1, y1) to (x2, y2), and where it crosses the frame's edge.
  for (const auto& [direction, x1, y1, x2, y2, x, y] :
       std::vector<std::tuple<int16_t, float, float, float, float, float, float>>{
           {1, -5, 2, 5, 4, 0, 3},
           {2, 2, 2, 12, 5, 10, 4.4f},
           {2, 2, 7, 12, 7, 10, 7},  // horizontal
           {3, 8, -5, 8, 5, 8, 0},   // vertical
           {3, 0, -2, 4, 2, 2, 0},
           {4, 2, 5, 6, 15, 4, 10},
           {4, 3, 5, 3, 15, 3, 10}}) {  // vertical
    float gotX = -1, gotY = -1;
    EXPECT_EQ(EdgeIntersection(app::g_Debug(), direction, 10, 10, x1, y1, x2, y2, gotX, gotY), 100);
    EXPECT_FLOAT_EQ(gotX, x) << direction << " " << x1 << " " << y1;
    EXPECT_FLOAT_EQ(gotY, y) << direction << " " << x1 << " " << y1;
  }
  EXPECT_TRUE(errorLines().empty());
}

TEST_F(ShapeSubs, clipRingEdge_eachDirection_cutsAtEdge) {
  bool outside = true;
  Ring left{{-5, 2}, {5, 2}, {5, 8}, {-5, 8}, {-5, 2}};
  EXPECT_EQ(ClipRingEdge(app::g_Debug(), 1, 10, 10, left, outside), 100);
  EXPECT_FALSE(outside);
  expectRing(left, {{0, 2}, {5, 2}, {5, 8}, {0, 8}, {0, 2}});

  Ring right{{2, 2}, {12, 5}, {2, 8}, {2, 2}};
  EXPECT_EQ(ClipRingEdge(app::g_Debug(), 2, 10, 10, right, outside), 100);
  expectRing(right, {{2, 2}, {10, 4.4f}, {10, 5.6f}, {2, 8}, {2, 2}});  // triangle -> quadrilateral

  Ring top{{2, -5}, {8, -5}, {8, 5}, {2, 5}, {2, -5}};
  EXPECT_EQ(ClipRingEdge(app::g_Debug(), 3, 10, 10, top, outside), 100);
  expectRing(top, {{8, 0}, {8, 5}, {2, 5}, {2, 0}, {8, 0}});

  Ring bottom{{2, 5}, {6, 15}, {8, 5}, {2, 5}};
  EXPECT_EQ(ClipRingEdge(app::g_Debug(), 4, 10, 10, bottom, outside), 100);
  expectRing(bottom, {{2, 5}, {4, 10}, {7, 10}, {8, 5}, {2, 5}});
  EXPECT_FALSE(outside);
}

TEST_F(ShapeSubs, clipRingEdge_insideOrOutside_keptOrFlagged) {
  const Ring square{{1, 1}, {1, 9}, {9, 9}, {9, 1}, {1, 1}};
  Ring ring = square;
  bool outside = true;
  for (int16_t direction : {2, 4, 1, 3}) {
    EXPECT_EQ(ClipRingEdge(app::g_Debug(), direction, 10, 10, ring, outside), 100);
    EXPECT_FALSE(outside);
  }
  expectRing(ring, square);

  Ring beyond{{11, 1}, {15, 1}, {15, 5}, {10, 5}, {11, 1}};  // (10, 5) lies on the edge
  const Ring before = beyond;
  EXPECT_EQ(ClipRingEdge(app::g_Debug(), 2, 10, 10, beyond, outside), 100);
  EXPECT_TRUE(outside);
  expectRing(beyond, before);

  // A point on the edge counts as outside: the intersection is added beside it.
  Ring onEdge{{0, 5}, {5, 2}, {5, 8}, {0, 5}};
  EXPECT_EQ(ClipRingEdge(app::g_Debug(), 1, 10, 10, onEdge, outside), 100);
  expectRing(onEdge, {{0, 5}, {5, 2}, {5, 8}, {0, 5}, {0, 5}});

  Ring tiny{{1, 1}};
  EXPECT_EQ(ClipRingEdge(app::g_Debug(), 1, 10, 10, tiny, outside), 100);
  EXPECT_TRUE(outside);
  EXPECT_EQ(tiny.size(), 1u);
}

TEST_F(ShapeSubs, badDirection_loggedAndRingKept) {
  float x = 0, y = 0;
  EXPECT_EQ(EdgeIntersection(app::g_Debug(), 5, 10, 10, 0, 0, 1, 1, x, y), 101);
  Ring ring{{1, 1}, {1, 9}, {9, 9}, {1, 1}};
  bool outside = false;
  EXPECT_EQ(ClipRingEdge(app::g_Debug(), 7, 10, 10, ring, outside), 101);
  EXPECT_EQ(ring.size(), 4u);
  EXPECT_TRUE(outside);
  EXPECT_EQ(errorLines(),
            (std::vector<std::string>{
                "D2 EdgeIntersection: Fehler! Die Cliprichtung (5) ist nicht korrekt!",
                "D2 ClipRingEdge: Fehler! Die Sichtbarkeit eines Polygonpunkts konnte nicht "
                "bestimmt werden."}));
}

// Each check runs on the records read from the file and on the part extents read once.
TEST_F(ShapeSubs, collectNeighbours_touchingExtentsAndOwnRecord) {
  shape::CShapeFile file = openShape(writeNeighbours(folder_));
  const PartExtentIndex index(file);
  auto check = [&](auto& source) {
    NeighbourCollection n;
    Box b;
    CollectNeighbourPolygons(app::g_Debug(), source, 1, n, b);
    EXPECT_EQ(n, (NeighbourCollection{1, 2, 4}));
    EXPECT_EQ(sides(b), (std::vector<double>{0, 10, 10, 0}));

    CollectNeighbourPolygons(app::g_Debug(), source, 5, n, b);  // the last, touching nothing
    EXPECT_EQ(n, (NeighbourCollection{5}));

    CollectNeighbourPolygons(app::g_Debug(), source, 4, n, b);  // union of both parts
    EXPECT_EQ(sides(b), (std::vector<double>{5, 60, 14, 0}));
    EXPECT_EQ(n, (NeighbourCollection{1, 2, 3, 4, 5}));

    for (int32_t r : {0, 6, -1}) {
      CollectNeighbourPolygons(app::g_Debug(), source, r, n, b);
      EXPECT_TRUE(n.empty());
      EXPECT_EQ(sides(b), std::vector<double>(4, 0.0));
    }
  };
  check(file);
  check(index);
  EXPECT_TRUE(errorLines().empty());
}

TEST_F(ShapeSubs, collectNeighbours_nullAndDamagedRecords_skippedAndDamagedLogged) {
  path shp = writeNeighbours(folder_, true);
  // Record 3 claims more points than it holds; record 2 is a null record, which is legal.
  const size_t record3 = 100 + (8 + 128) + (8 + 4);
  shapetest::patch(shp, record3 + 8 + 40, shapetest::le32(5000));
  shape::CShapeFile file = openShape(shp);
  const PartExtentIndex index(file);
  ASSERT_EQ(index.Count(), 5);
  EXPECT_EQ(index.damaged(), (std::vector<int32_t>{3}));
  auto check = [&](auto& source, std::size_t logged) {
    const size_t before = errorLines().size();
    NeighbourCollection n;
    Box b;
    CollectNeighbourPolygons(app::g_Debug(), source, 4, n, b);
    EXPECT_EQ(n, (NeighbourCollection{1, 4, 5}));
    const auto lines = errorLines();
    ASSERT_EQ(lines.size(), before + logged);
    if (logged) {
      EXPECT_THAT(lines[before], HasSubstr("Der Datensatz 3 der Shape-Datei ist nicht lesbar"));
      EXPECT_THAT(lines[before], HasSubstr("5000 Punkte"));
    }
    // The surveyed record's error reaches the caller; a null record has no map.
    EXPECT_EQ(testsupport::thrownValue<shape::ShapeError>(
                  [&] { CollectNeighbourPolygons(app::g_Debug(), source, 3, n, b); },
                  &shape::ShapeError::number),
              0x80040214u);
    CollectNeighbourPolygons(app::g_Debug(), source, 2, n, b);
    EXPECT_TRUE(n.empty());
  };
  check(file, 1);
  // The index tells its damaged records once, not for every map.
  check(index, 0);
  const size_t before = errorLines().size();
  logDamagedRecords(app::g_Debug(), index);
  ASSERT_EQ(errorLines().size(), before + 1);
  EXPECT_THAT(errorLines()[before], HasSubstr("Der Datensatz 3 der Shape-Datei ist nicht lesbar"));
}

// The grid of the index must find exactly what a scan over every record finds, for small and
// very wide parts, multipart records and extents that only touch.
TEST_F(ShapeSubs, collectNeighbours_fromIndexGrid_sameAsScanOverAllRecords) {
  std::mt19937 random(5);
  auto uniform = [&](double a, double b) { return a + (b - a) * (random() / 4294967296.0); };
  std::vector<RecordExtents> records(3000);
  for (auto& r : records) {
    r.kind = RecordExtents::Kind::Polygon;
    const int parts = random() % 10 == 0 ? 2 : 1;
    for (int k = 0; k < parts; ++k) {
      const double size = random() % 50 == 0 ? uniform(100, 5000) : uniform(0, 20);
      const double x = std::round(uniform(0, 5000)), y = std::round(uniform(0, 5000));
      r.parts.push_back({x, x + std::round(size), y + std::round(size), y});
    }
  }
  const PartExtentIndex index(records);
  for (int32_t r = 1; r <= index.Count(); r += 7) {
    NeighbourCollection found;
    Box box;
    CollectNeighbourPolygons(app::g_Debug(), index, r, found, box);
    NeighbourCollection expected;
    for (int32_t j = 1; j <= index.Count(); ++j)
      for (const Box& p : records[size_t(j - 1)].parts)
        if (!(p.Right < box.Left || p.Left > box.Right || p.Bottom > box.Top ||
              p.Top < box.Bottom)) {
          expected.push_back(j);
          break;
        }
    ASSERT_EQ(found, expected) << r;
  }
}
