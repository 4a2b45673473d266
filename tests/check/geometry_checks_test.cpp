// The geometry checks on records made in memory: which rings GEOS and the structural tests
// object to, where, and the AREA comparison at its 5 % boundary.

#include <gtest/gtest.h>

#include "check/check_run.h"

namespace {

using check::CheckId;
using check::Place;
using Ring = std::vector<Place>;

const Ring kSquare{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};  // clockwise: an outer ring
const Ring kHole{{2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}};        // counter-clockwise

check::CheckRun runOver(const std::vector<std::vector<Ring>>& records) {
  check::CheckRun run;
  run.shape.shpPath = "f.shp";
  run.shape.fileType = 5;
  for (const auto& rings : records) {
    check::ShapeRecord r;
    r.kind = check::ShapeRecord::Kind::Polygon;
    r.rings = rings;
    r.left = r.bottom = 1e9;
    r.right = r.top = -1e9;
    for (const auto& ring : rings)
      for (const Place& p : ring) {
        r.left = std::min(r.left, p.x), r.right = std::max(r.right, p.x);
        r.bottom = std::min(r.bottom, p.y), r.top = std::max(r.top, p.y);
      }
    run.shape.records.push_back(r);
  }
  check::checkGeometry(run);
  return run;
}

struct GeometryCase {
  const char* name;
  std::vector<Ring> rings;
  std::vector<CheckId> found;  // in order
  std::optional<Place> place;  // of the first finding
  double area;                 // -1: none computed
};

class GeometryChecks : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GeometryChecks, findsWhatIsWrongAndWhere) {
  const GeometryCase& c = GetParam();
  const auto run = runOver({c.rings});
  std::vector<CheckId> found;
  for (const auto& f : run.findings) found.push_back(f.check);
  EXPECT_EQ(found, c.found);
  if (c.place) {
    ASSERT_FALSE(run.findings.empty());
    ASSERT_TRUE(run.findings.front().place.has_value());
    EXPECT_NEAR(run.findings.front().place->x, c.place->x, 1e-9);
    EXPECT_NEAR(run.findings.front().place->y, c.place->y, 1e-9);
  }
  EXPECT_DOUBLE_EQ(run.geometryArea.front(), c.area);
}

INSTANTIATE_TEST_SUITE_P(
    rings, GeometryChecks,
    ::testing::Values(
        GeometryCase{"squareWithHole", {kSquare, kHole}, {}, {}, 96},
        GeometryCase{"bowTie",
                     {{{0, 0}, {10, 10}, {10, 0}, {0, 6}, {0, 0}}},
                     {CheckId::SelfIntersection},
                     Place{3.75, 3.75},
                     20},
        // A clockwise ring inside another is a second shell, not a hole.
        GeometryCase{"nestedShells",
                     {kSquare, Ring(kHole.rbegin(), kHole.rend())},
                     {CheckId::InvalidGeometry},
                     {},
                     104},
        GeometryCase{"counterClockwiseAlone",
                     {Ring(kSquare.rbegin(), kSquare.rend())},
                     {CheckId::RingOrientation},
                     Place{0, 0},
                     100},
        // The hole stays, the unclosed ring is left out of the geometry.
        GeometryCase{"unclosedSecondRing",
                     {kSquare, {{20, 20}, {20, 30}, {30, 30}, {30, 20}}},
                     {CheckId::RingNotClosed},
                     Place{30, 20},
                     100},
        GeometryCase{"collinear", {{{0, 0}, {5, 0}, {9, 0}, {0, 0}}}, {CheckId::ZeroArea}, {}, -1},
        GeometryCase{"twoPoints", {{{0, 0}, {0, 0}}}, {CheckId::TooFewPoints}, Place{0, 0}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GeometryChecks, sameSquareFromAnotherStartPoint_isADuplicate) {
  const Ring rotated{{10, 10}, {10, 0}, {0, 0}, {0, 10}, {10, 10}};
  const auto run = runOver({{kSquare}, {kHole}, {rotated}});
  ASSERT_EQ(run.findings.size(), 2u);  // the lone hole runs the wrong way round
  EXPECT_EQ(run.findings[1].check, CheckId::DuplicatePolygon);
  EXPECT_EQ(run.findings[1].record, 3u);
  EXPECT_NE(run.findings[1].message.find("Datensatz 1"), std::string::npos);
}

TEST(AreaCheck, differenceAbove5Percent_isAWarning) {
  check::CheckRun run;
  run.shape.attributes.fileName = "f.dbf";
  run.shape.attributes.fields = {{"POLYGONNR", 'C', 11, 0}, {"AREA", 'N', 14, 2}};
  for (double area : {104.9, 95.1, 105.1, 94.0}) {
    run.shape.attributes.rows.push_back({data::Value::text("1"), data::Value::real(area)});
    run.shape.attributes.deleted.push_back(false);
    run.shape.keys.push_back("1");
    run.geometryArea.push_back(100);
  }
  check::checkAreas(run);
  ASSERT_EQ(run.findings.size(), 2u);
  EXPECT_EQ(run.findings[0].record, 3u);
  EXPECT_EQ(run.findings[1].record, 4u);
  EXPECT_EQ(run.findings[1].check, CheckId::AreaDiffers);
  EXPECT_EQ(run.findings[1].shapeRecord, 4);
}

}  // namespace
