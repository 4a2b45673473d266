#include "sample/sample_shapefile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "data/dbf/dbf_file.h"
#include "shape/c_shape_file.h"
#include "shape_test_support.h"

using namespace shape;
using namespace shapetest;

namespace {

std::vector<std::string> codes(size_t n) {
  std::vector<std::string> out;
  for (size_t i = 0; i < n; ++i) {
    std::ostringstream s;
    s << "017001" << std::setw(5) << std::setfill('0') << (i * 3 + 1);
    out.push_back(s.str());
  }
  return out;
}

CShapeFile openShp(const fs::path& shp) {
  CFileName spec;
  spec.SetFileSpec(shp.string());
  CShapeFile file;
  file.SetFileSpec(spec, CShapeFile::OPENIT);
  return file;
}

std::vector<std::shared_ptr<CPolygon>> readAll(const fs::path& shp) {
  CShapeFile file = openShp(shp);
  std::vector<std::shared_ptr<CPolygon>> out;
  for (int32_t i = 1; i <= file.Count(); ++i)
    out.push_back(std::dynamic_pointer_cast<CPolygon>(file.Item(i)));
  return out;
}

double ringArea(const CPart& ring) {
  double twice = 0;
  for (int32_t k = 1; k < ring.Count(); ++k)
    twice += ring.Item(k)->X() * ring.Item(k + 1)->Y() - ring.Item(k + 1)->X() * ring.Item(k)->Y();
  return twice / 2;
}

// Even-odd rule over all rings, counted on a fine lattice: independent of the shoelace sums.
double sampledArea(const CPolygon& polygon, double step) {
  double inside = 0;
  for (double y = polygon.Bottom() + step / 2; y < polygon.Top(); y += step)
    for (double x = polygon.Left() + step / 2; x < polygon.Right(); x += step) {
      bool in = false;
      for (const auto& ring : polygon)
        for (int32_t k = 1; k < ring->Count(); ++k) {
          const CPoint& a = *ring->Item(k);
          const CPoint& b = *ring->Item(k + 1);
          if ((a.Y() > y) != (b.Y() > y) &&
              x < a.X() + (y - a.Y()) * (b.X() - a.X()) / (b.Y() - a.Y()))
            in = !in;
        }
      if (in) inside += step * step;
    }
  return inside;
}

struct Fixture {
  fs::path shp;
  std::vector<std::shared_ptr<CPolygon>> polygons;
  std::vector<std::string> dbfCodes;
  std::vector<double> dbfAreas;
};

Fixture makeSample(const fs::path& folder, size_t n, uint32_t seed) {
  Fixture f;
  f.shp = folder / "Polygone.shp";
  sample::writeSampleShapefile(f.shp, codes(n), seed);
  f.polygons = readAll(f.shp);
  auto table = data::dbf::DbfReader::open(fs::path(f.shp).replace_extension(".dbf"));
  std::vector<std::tuple<std::string, char, int, int>> fields;
  for (const auto& d : table.fields()) fields.emplace_back(d.name, d.type, d.length, d.decimals);
  EXPECT_EQ(fields, (decltype(fields){{"POLYGONNR", 'C', 11, 0}, {"AREA", 'N', 14, 2}}));
  for (uint32_t i = 0; i < table.recordCount(); ++i) {
    auto row = table.record(i);
    f.dbfCodes.push_back(row[0].asText());
    double area = 0;
    EXPECT_TRUE(row[1].toNumber(area));
    f.dbfAreas.push_back(area);
  }
  return f;
}

using SampleShapefile = ShapeTest;

}  // namespace

// One sample: codes in record order, coordinates in the survey region, several multi-part and
// holed polygons, true areas with holes subtracted, neighbours sharing edges exactly.
TEST_F(SampleShapefile, write_realisticPolygonsTrueAreasSharedEdges) {
  Fixture f = makeSample(folder, 60, 3);
  ASSERT_EQ(f.polygons.size(), 60u);
  ASSERT_EQ(f.dbfAreas.size(), 60u);
  EXPECT_EQ(f.dbfCodes, codes(60));
  int multiPart = 0, holed = 0;
  for (const auto& p : f.polygons) {
    ASSERT_TRUE(p);
    EXPECT_GT(p->Left(), 3440000);
    EXPECT_LT(p->Right(), 3470000);
    EXPECT_GT(p->Bottom(), 5540000);
    EXPECT_LT(p->Top(), 5570000);
    int outer = 0, holes = 0;
    for (const auto& ring : *p) (ringArea(*ring) < 0 ? outer : holes)++;
    multiPart += outer > 1;
    holed += holes > 0;
  }
  EXPECT_GE(multiPart, 3);
  EXPECT_GE(holed, 1);

  // Polygon 1 has a hole that polygon 2 fills: together they cover polygon 1's outer ring.
  const CPart& outer = *f.polygons[0]->Item(1);
  EXPECT_NEAR(f.dbfAreas[0] + f.dbfAreas[1], -ringArea(outer), 0.02);
  EXPECT_LT(f.dbfAreas[1], f.dbfAreas[0] / 4);
  for (size_t i : {size_t(0), size_t(1), size_t(5), size_t(17)}) {
    double sampled = sampledArea(*f.polygons[i], 2.0);
    EXPECT_NEAR(f.dbfAreas[i], sampled, 0.01 * f.dbfAreas[i]) << "polygon " << i + 1;
  }
  for (double a : f.dbfAreas) {
    EXPECT_GT(a, 1000);
    EXPECT_LT(a, 200000);
  }

  // Every segment is used at most twice: once per side, in opposite directions, by different
  // polygons. Each polygon shares at least one segment with another.
  using Key = std::pair<std::pair<double, double>, std::pair<double, double>>;
  std::map<Key, std::vector<std::pair<size_t, bool>>> uses;
  for (size_t i = 0; i < f.polygons.size(); ++i)
    for (const auto& ring : *f.polygons[i])
      for (int32_t k = 1; k < ring->Count(); ++k) {
        std::pair a{ring->Item(k)->X(), ring->Item(k)->Y()},
            b{ring->Item(k + 1)->X(), ring->Item(k + 1)->Y()};
        bool forward = a < b;
        uses[forward ? Key{a, b} : Key{b, a}].push_back({i, forward});
      }
  std::set<size_t> sharing;
  size_t shared = 0;
  for (const auto& [segment, users] : uses) {
    ASSERT_LE(users.size(), 2u);
    if (users.size() == 2) {
      EXPECT_NE(users[0].first, users[1].first);
      EXPECT_NE(users[0].second, users[1].second);
      sharing.insert(users[0].first);
      sharing.insert(users[1].first);
      ++shared;
    }
  }
  EXPECT_EQ(sharing.size(), f.polygons.size());
  EXPECT_GT(shared, uses.size() / 2);
}

TEST_F(SampleShapefile, write_sameSeedSameBytesAndTinyLists) {
  sample::writeSampleShapefile(folder / "a.shp", codes(20), 42);
  sample::writeSampleShapefile(folder / "b.shp", codes(20), 42);
  sample::writeSampleShapefile(folder / "c.shp", codes(20), 43);
  EXPECT_EQ(readFile(folder / "a.shp"), readFile(folder / "b.shp"));
  EXPECT_EQ(readFile(folder / "a.shx"), readFile(folder / "b.shx"));
  EXPECT_NE(readFile(folder / "a.shp"), readFile(folder / "c.shp"));
  // Lists of none and one polygon.
  sample::writeSampleShapefile(folder / "none.shp", {}, 1);
  EXPECT_EQ(readAll(folder / "none.shp").size(), 0u);
  sample::writeSampleShapefile(folder / "one.shp", codes(1), 1);
  auto one = readAll(folder / "one.shp");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0]->Count(), 1);
}

// Each export form stores the same polygons: PolygonZ reads as the plain polygons (type 15 as
// its 2-D base type), islands first swaps each island with its container.
TEST_F(SampleShapefile, forms_readAsTheSamePolygons) {
  sample::writeSampleShapefile(folder / "plain.shp", codes(45), 8);
  sample::writeSampleShapefile(folder / "z.shp", codes(45), 8, {false, true, false});
  sample::writeSampleShapefile(folder / "islands.shp", codes(45), 8, {true, false, false});
  const auto plain = readAll(folder / "plain.shp");
  const auto z = readAll(folder / "z.shp");
  const auto islands = readAll(folder / "islands.shp");
  EXPECT_EQ(openShp(folder / "z.shp").FileType(), 15);
  ASSERT_EQ(z.size(), plain.size());
  // The rings' points of each polygon.
  auto points = [](const auto& polygons) {
    std::vector<std::vector<Coords>> all;
    for (const auto& polygon : polygons) {
      all.emplace_back();
      if (!polygon) continue;  // not read as a polygon: no match
      for (const auto& ring : *polygon) all.back().push_back(coords(*ring));
    }
    return all;
  };
  EXPECT_EQ(points(z), points(plain));
  // Polygons 0 and 40 hold a hole; their islands 1 and 41 now come first.
  auto swapped = points(plain);
  std::swap(swapped[0], swapped[1]);
  std::swap(swapped[40], swapped[41]);
  EXPECT_EQ(points(islands), swapped);
}
