#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <memory>

#include "shape/c_shape_file.h"
#include "shape/shape_error.h"
#include "shape_test_support.h"

using ::testing::HasSubstr;

using namespace shape;
using namespace shapetest;

namespace {

using ShapeFile = ShapeTest;

std::shared_ptr<CPart> ring(const std::vector<std::pair<double, double>>& xy) {
  auto p = std::make_shared<CPart>();
  for (auto [x, y] : xy) p->Add(std::make_shared<CPoint>(x, y));
  return p;
}

CFileName spec(const fs::path& path) {
  CFileName f;
  f.SetFileSpec(path.string());
  return f;
}

CShapeFile open(const fs::path& shp) {
  CShapeFile file;
  file.SetFileSpec(spec(shp), CShapeFile::OPENIT, CShapeFile::kPolygon);
  return file;
}

CShapeFile create(const fs::path& shp, int32_t type) {
  CShapeFile file;
  file.SetFileSpec(spec(shp), CShapeFile::CREATEIT, type);
  return file;
}

// Three polygon records; the second has two rings. Record 1 starts at byte 100 of the .shp:
// header 100-107, type 108, box 112-143, parts 144, points 148, starts 152, points from 156.
fs::path writePolygons(const fs::path& folder) {
  fs::path shp = folder / "Polygone.shp";
  CShapeFile file = create(shp, CShapeFile::kPolygon);
  CPolygon a;
  a.Add(ring({{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}));
  file.Add(a);
  CPolygon b;
  b.Add(ring({{10, 0}, {10, 10}, {20, 10}, {20, 0}, {10, 0}}));
  b.Add(ring({{12, 2}, {14, 2}, {14, 4}, {12, 2}}));
  file.Add(b);
  CPolygon c;
  c.Add(ring({{0, 10}, {0, 20}, {10, 20}, {0, 10}}));
  file.Add(c);
  return shp;
}

constexpr size_t kRecord2 = 100 + 8 + 128;  // record 1 has 5 points: 44 + 4 + 80 bytes content

ShapeError itemError(const fs::path& shp, int32_t index) {
  CShapeFile file = open(shp);
  auto e = raised([&] { file.Item(index); });
  EXPECT_EQ(e.source(), "CShapeFile::Item");
  return e;
}

// Builds files byte by byte after the published format, independent of the writer.
struct Bytes {
  std::string v;
  Bytes& be(int32_t x) {
    v += be32(x);
    return *this;
  }
  Bytes& le(int32_t x) {
    v += le32(x);
    return *this;
  }
  Bytes& dbl(double d) {
    auto u = std::bit_cast<uint64_t>(d);
    for (int i = 0; i < 8; ++i) v += char(u >> (8 * i));
    return *this;
  }
  Bytes& header(int32_t words, int32_t type, double xmin, double ymin, double xmax, double ymax) {
    be(9994).be(0).be(0).be(0).be(0).be(0).be(words).le(1000).le(type);
    dbl(xmin).dbl(ymin).dbl(xmax).dbl(ymax).dbl(0).dbl(0).dbl(0).dbl(0);
    return *this;
  }
};

}  // namespace

TEST_F(ShapeFile, read_handMadeEsriBytes_polygonWithHole) {
  // One polygon: a clockwise outer ring and a counter-clockwise hole, 10 points in all.
  const double x = 3450000, y = 5550000;
  const Coords outer{{x, y}, {x, y + 100}, {x + 100, y + 100}, {x + 100, y}, {x, y}};
  const Coords hole{
      {x + 40, y + 40}, {x + 60, y + 40}, {x + 60, y + 60}, {x + 40, y + 60}, {x + 40, y + 40}};
  Bytes shp;
  shp.header(160, 5, 3450000, 5550000, 3450100, 5550100);
  shp.be(1).be(106).le(5).dbl(3450000).dbl(5550000).dbl(3450100).dbl(5550100).le(2).le(10).le(0).le(
      5);
  for (auto [x, y] : outer) shp.dbl(x).dbl(y);
  for (auto [x, y] : hole) shp.dbl(x).dbl(y);
  Bytes shx;
  shx.header(54, 5, 3450000, 5550000, 3450100, 5550100);
  shx.be(50).be(106);
  ASSERT_EQ(shp.v.size(), 320u);
  writeFile(folder / "hand.shp", shp.v);
  writeFile(folder / "hand.shx", shx.v);

  CShapeFile file = open(folder / "hand.shp");
  EXPECT_EQ(file.Count(), 1);
  EXPECT_EQ(file.FileType(), 5);
  EXPECT_EQ(extent(file), (std::vector<double>{3450000, 3450100, 5550000, 5550100}));
  auto polygon = std::dynamic_pointer_cast<CPolygon>(file.Item(1));
  ASSERT_TRUE(polygon);
  ASSERT_EQ(polygon->Count(), 2);
  EXPECT_EQ(coords(*polygon->Item(1)), outer);
  EXPECT_EQ(coords(*polygon->Item(2)), hole);
  EXPECT_EQ(polygon->Item(2)->Left(), 3450040);
  EXPECT_EQ(polygon->Top(), 5550100);
  // The same points without shapes.
  CShapeFile::PartPoints points;
  ASSERT_TRUE(file.ReadPoints(1, points));
  EXPECT_EQ(points.starts, (std::vector<int32_t>{0, 5}));
  ASSERT_EQ(points.x.size(), 10u);
  EXPECT_EQ(std::pair(points.x[6], points.y[6]), hole[1]);

  // The writer produces the same bytes for the same polygon.
  {
    CShapeFile out = create(folder / "written.shp", CShapeFile::kPolygon);
    CPolygon copy;
    copy.Add(ring(outer));
    copy.Add(ring(hole));
    out.Add(copy);
  }
  EXPECT_EQ(readFile(folder / "written.shp"), shp.v);
  EXPECT_EQ(readFile(folder / "written.shx"), shx.v);
}

// Polygons: see the hand-made bytes above.
TEST_F(ShapeFile, roundTrip_otherTypes_sameShapesBack) {
  {
    CShapeFile points = create(folder / "p.shp", CShapeFile::kPoint);
    points.Add(CPoint(1.5, -2));
    points.Add(CPoint(-7, 3));
    CShapeFile lines = create(folder / "l.shp", CShapeFile::kPolyLine);
    CPolyLine line;
    line.Add(ring({{0, 0}, {5, 5}}));
    line.Add(ring({{7, 7}, {8, 9}, {9, 7}}));
    lines.Add(line);
    CShapeFile multis = create(folder / "m.shp", CShapeFile::kMultiPoint);
    CMultiPoint multi;
    multi.Add(std::make_shared<CPoint>(1, 1));
    multi.Add(std::make_shared<CPoint>(-2, 3));
    multis.Add(multi);
  }
  CShapeFile points = open(folder / "p.shp");
  EXPECT_EQ(points.FileType(), 1);
  EXPECT_EQ(points.Count(), 2);
  EXPECT_EQ(extent(points), (std::vector<double>{-7, 1.5, -2, 3}));
  auto p = std::dynamic_pointer_cast<CPoint>(points.Item(2));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->X(), -7);
  EXPECT_EQ(points.Item(3), nullptr);

  CShapeFile lines = open(folder / "l.shp");
  EXPECT_EQ(lines.FileType(), 3);
  auto line = std::dynamic_pointer_cast<CPolyLine>(lines.Item(1));
  ASSERT_TRUE(line);
  ASSERT_EQ(line->Count(), 2);
  EXPECT_EQ(coords(*line->Item(2)), (Coords{{7, 7}, {8, 9}, {9, 7}}));
  EXPECT_EQ(lines.Right(), 9);

  CShapeFile multis = open(folder / "m.shp");
  auto multi = std::dynamic_pointer_cast<CMultiPoint>(multis.Item(1));
  ASSERT_TRUE(multi);
  EXPECT_EQ(coords(*multi), (Coords{{1, 1}, {-2, 3}}));
  EXPECT_EQ(multi->Left(), -2);
  EXPECT_EQ(multis.Bottom(), 1);
}

// Stray bytes at the ends (half an index entry, an odd length) do not spoil the append.
TEST_F(ShapeFile, add_afterReopenToStrayBytes_appendsAndWidensExtent) {
  fs::path shp = writePolygons(folder);
  patchFile(folder / "Polygone.shx", fs::file_size(folder / "Polygone.shx"), "\1\2\3");
  patchFile(shp, fs::file_size(shp), "\7");
  {
    CShapeFile file = open(shp);
    ASSERT_TRUE(file.Item(3));  // what was read before is no stale copy after the add
    CPolygon far;
    far.Add(ring({{-5, -5}, {-5, 30}, {40, 30}, {-5, -5}}));
    file.Add(far);
    EXPECT_EQ(file.Count(), 4);
    auto added = std::dynamic_pointer_cast<CPolygon>(file.Item(4));
    ASSERT_TRUE(added);
    EXPECT_EQ(added->Item(1)->Item(3)->X(), 40);
  }
  CShapeFile file = open(shp);
  EXPECT_EQ(file.Count(), 4);
  EXPECT_EQ(extent(file), (std::vector<double>{-5, 40, -5, 30}));
  auto last = std::dynamic_pointer_cast<CPolygon>(file.Item(4));
  ASSERT_TRUE(last);
  EXPECT_EQ(last->Item(1)->Item(3)->X(), 40);
  auto second = std::dynamic_pointer_cast<CPolygon>(file.Item(2));
  ASSERT_EQ(second->Count(), 2);
  EXPECT_EQ(second->Item(1)->Count(), 5);
  EXPECT_EQ(second->Item(2)->Count(), 4);
  EXPECT_EQ(fs::file_size(shp.parent_path() / "Polygone.shx"), 100u + 4 * 8);
}

// Creating replaces the files there; a file takes shapes of its own type only.
TEST_F(ShapeFile, create_overOldFiles_replacedAndOtherTypesRefused) {
  const fs::path shp = writePolygons(folder);
  CShapeFile file = create(shp, CShapeFile::kPolygon);
  auto e = raised([&] { file.Add(CPoint()); });
  EXPECT_EQ(e.number(), 0x80040210u);
  EXPECT_EQ(e.source(), "CShapeFile::Add");
  EXPECT_EQ(e.description(), "Cannot add type CPoint to a ShapeFile initialized as other type");
  EXPECT_EQ(raised([&] { file.Add(CPolyLine()); }).description(),
            "Cannot add type CPolyline to a ShapeFile initialized as other type");
  EXPECT_EQ(raised([&] { file.Add(CMultiPoint()); }).description(),
            "Cannot add type CMultiPoint to a ShapeFile initialized as other type");
  e = raised([&] { file.Add(CRect()); });
  EXPECT_EQ(e.number(), 0x80040211u);
  EXPECT_EQ(e.description(), "Invalid shape type");
  EXPECT_EQ(file.Count(), 0);
  EXPECT_EQ(fs::file_size(shp), 100u);
  CShapeFile lines = create(shp, CShapeFile::kPolyLine);
  EXPECT_EQ(raised([&] { lines.Add(CPolygon()); }).description(),
            "Cannot add type CPolygon to a ShapeFile initialized as other type");
  EXPECT_EQ(open(shp).FileType(), 3);
}

TEST_F(ShapeFile, item_nullRecord_readAsNullShapeAndFileExtentUntouched) {
  {
    CShapeFile file = create(folder / "n.shp", CShapeFile::kPolygon);
    CPolygon empty;
    empty.MakeNull(true);
    file.Add(empty);
    CPolygon real;
    real.Add(ring({{5, 5}, {5, 6}, {6, 6}, {5, 5}}));
    file.Add(real);
    CShapeFile points = create(folder / "p.shp", CShapeFile::kPoint);
    CPoint nullPoint;
    nullPoint.MakeNull(true);
    points.Add(nullPoint);
  }
  // A null record is legal in a file of any type: a shape of the file's class without points.
  CShapeFile file = open(folder / "n.shp");
  EXPECT_EQ(file.Count(), 2);
  const auto none = std::dynamic_pointer_cast<CPolygon>(file.Item(1));
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->IsNull());
  EXPECT_EQ(none->Count(), 0);
  EXPECT_FALSE(file.Item(2)->IsNull());
  CShapeFile::PartPoints points;
  EXPECT_FALSE(file.ReadPoints(1, points));
  EXPECT_TRUE(file.ReadPoints(2, points));
  // The null record does not pull the extent to the origin.
  EXPECT_EQ(file.Left(), 5);
  EXPECT_EQ(file.Top(), 6);
  EXPECT_EQ(fs::file_size(folder / "n.shp"), 100u + 12 + 8 + 44 + 4 + 64);
  EXPECT_TRUE(open(folder / "p.shp").Item(1)->IsNull());
}

TEST_F(ShapeFile, item_pastEnd_noneForPointsErrorForPolygons) {
  fs::path shp = writePolygons(folder);
  for (int32_t index : {0, 4, -3}) {
    auto e = itemError(shp, index);
    EXPECT_EQ(e.number(), 0x80040206u);
    EXPECT_EQ(e.description(), "The offset read from index file is larger then the mainfile size");
  }
  CShapeFile points = create(folder / "p.shp", CShapeFile::kPoint);
  points.Add(CPoint(1, 1));
  EXPECT_EQ(points.Item(2), nullptr);
  EXPECT_EQ(points.Item(0), nullptr);
}

TEST_F(ShapeFile, open_missingOrForeignFile_refused) {
  fs::path shp = writePolygons(folder);
  fs::rename(folder / "Polygone.shx", folder / "other.shx");
  CShapeFile file;
  auto e = raised([&] { file.SetFileSpec(spec(shp), CShapeFile::OPENIT); });
  EXPECT_EQ(e.number(), 0x8004020Cu);
  EXPECT_EQ(e.source(), "C_ShapeFile::SetFileSpec");
  EXPECT_EQ(e.description(),
            "The specified file " + (folder / "Polygone.shx").string() + " does not exist.");
  fs::rename(folder / "other.shx", folder / "Polygone.shx");
  e = raised([&] { file.SetFileSpec(spec(folder / "none.shp"), CShapeFile::OPENIT); });
  EXPECT_EQ(e.description(),
            "The specified file " + (folder / "none.shp").string() + " does not exist.");
  // The user reads the classic English texts in German, with the file.
  EXPECT_EQ(e.germanDescription(),
            "Die Datei " + (folder / "none.shp").string() + " existiert nicht.");
  fs::rename(folder / "Polygone.shx", folder / "POLYGONE.SHX");  // other case: found
  EXPECT_TRUE(open(folder / "polygone.shp").Item(3));
}

// A count in the index header beyond the file is clamped to what the file holds; one below it
// counts only those entries.
TEST_F(ShapeFile, open_headerCountsWrong_countFollowsIndexFile) {
  fs::path shp = writePolygons(folder);
  patchFile(folder / "Polygone.shx", 24, be32(0x7ffffff0));
  EXPECT_EQ(open(shp).Count(), 3);
  patchFile(folder / "Polygone.shx", 24, be32(50 + 4 * 2));
  EXPECT_EQ(open(shp).Count(), 2);
}

// One damage to the files of writePolygons and the error it raises: on opening (record 0) or
// on reading the record; "{shp}" and "{shx}" in the fragments stand for the files' paths.
struct ShapeDamage {
  const char* name;
  bool index;  // the .shx, else the .shp
  size_t at;   // where the bytes go
  std::string bytes;
  size_t cutTo;    // 0: not cut
  int32_t record;  // 0: opening fails
  uint32_t number;
  std::vector<std::string> fragments;  // of the description
  int32_t readable = 0;                // a record still read after the damage
  const char* german = "";
};

constexpr size_t kStarts2 = kRecord2 + 8 + 44;  // record 2: two rings of 5 and 4 points

ShapeDamage damage(const char* name, bool index, size_t at, std::string bytes, size_t cutTo,
                   int32_t record, uint32_t number, std::vector<std::string> fragments,
                   int32_t readable = 0, const char* german = "") {
  return {name, index, at, bytes, cutTo, record, number, fragments, readable, german};
}

const ShapeDamage kDamages[] = {
    damage("shxCut", true, 0, {}, 60, 0, kErrTruncated, {"{shx}", "60 Bytes"}),
    damage("shxHeaderLength", true, 24, be32(12), 0, 0, kErrDamaged, {"12 Wörter"}),
    damage("shxFileCode", true, 0, be32(9995), 0, 0, 0x80040207u,
           {"The shx file has an invalid shape code in the main header."}),
    damage("shpFileCode", false, 0, be32(0), 0, 0, 0x80040207u,
           {"The shp file has an invalid shape code in the main header."}),
    damage("offsetBeyondFile", true, 100, be32(0x40000000), 0, 1, 0x80040206u, {}),
    damage("negativeOffset", true, 100, be32(-8), 0, 1, kErrDamaged, {"negativen Offset -8"}),
    damage("offsetAtOtherRecord", true, 100, be32(int32_t(kRecord2 / 2)), 0, 1, 0x80040205u,
           {"Index Record does not match main file Record"}, 2,
           "Die Satznummer in der shp-Datei passt nicht zum Eintrag der shx-Datei."),
    damage("recordNumber", false, 100, be32(7), 0, 1, 0x80040205u, {}, 2),
    damage("recordLengthHuge", false, 104, be32(0x7fffffff), 0, 1, kErrTruncated,
           {"Datensatz 1 von {shp}", "4294967294 Bytes"}),
    damage("recordLengthOneWord", false, 104, be32(1), 0, 1, kErrDamaged, {"1 Wörtern"}),
    damage("recordLengthBelowBox", false, 104, be32(10), 0, 1, kErrDamaged, {"20 Bytes"}),
    damage("recordShapeType", false, 108, le32(3), 0, 1, 0x8004020Eu, {}, 2),
    damage("partCountHuge", false, 144, le32(0x7fffffff), 0, 1, kErrDamaged,
           {"2147483647 Teile und 5 Punkte brauchen", "der Datensatz hat 128"}),
    damage("pointCountBeyondRecord", false, 148, le32(6), 0, 1, kErrDamaged, {}),
    damage("pointCountNegative", false, 148, le32(-1), 0, 1, kErrDamaged,
           {"negative Anzahl der Punkte -1"}),
    damage("partCountNegative", false, 144, le32(-2), 0, 1, kErrDamaged,
           {"negative Anzahl der Teile -2"}),
    damage("partStartBeyondPoints", false, kStarts2 + 4, le32(1000), 0, 2, kErrDamaged,
           {"Datensatz 2 von {shp}", "Teil 2 beginnt bei Punkt 1000"}, 1),
    damage("partStartNotAfterPrevious", false, kStarts2 + 4, le32(0), 0, 2, kErrDamaged,
           {"Teil 2 beginnt bei Punkt 0, nicht hinter Teil 1 bei 0"}),
    damage("firstPartStartNotZero", false, kStarts2, le32(3), 0, 2, kErrDamaged,
           {"Teil 1 beginnt bei Punkt 3 statt bei 0"}),
    // Records of 136, 204 and 120 bytes behind the header: 560 in all.
    damage("mainFileCutInLastRecord", false, 0, {}, 550, 3, kErrTruncated, {"Datensatz 3"}, 2),
    damage("mainFileCutBeforeRecord", false, 0, {}, kRecord2 + 4, 2, 0x80040206u, {}, 1),
};

TEST_F(ShapeFile, openOrItem_damagedFile_refusedNamingTheDamage) {
  for (const ShapeDamage& d : kDamages) {
    SCOPED_TRACE(d.name);
    const fs::path shp = writePolygons(folder);
    const fs::path shx = folder / "Polygone.shx";
    const fs::path damaged = d.index ? shx : shp;
    if (!d.bytes.empty()) patchFile(damaged, d.at, d.bytes);
    if (d.cutTo) fs::resize_file(damaged, d.cutTo);
    const ShapeError e = d.record ? itemError(shp, d.record) : raised([&] { open(shp); });
    EXPECT_EQ(e.number(), d.number);
    if (d.record) {  // reading the points alone finds the same damage
      CShapeFile::PartPoints points;
      EXPECT_EQ(raised([&] { open(shp).ReadPoints(d.record, points); }).number(), d.number);
    }
    for (std::string fragment : d.fragments) {
      for (const auto& [mark, path] : {std::pair{"{shp}", shp}, std::pair{"{shx}", shx}})
        if (auto at = fragment.find(mark); at != std::string::npos)
          fragment.replace(at, 5, path.string());
      EXPECT_THAT(e.description(), HasSubstr(fragment));
    }
    EXPECT_EQ(e.germanDescription().find(d.german), 0u);
    EXPECT_TRUE(!d.readable || open(shp).Item(d.readable));
  }
}

TEST_F(ShapeFile, open_invalidSpecification_reportedAsOpenError) {
  CFileName relative;
  relative.SetExtension("shp");  // "shp": no folder, never valid as a specification
  CShapeFile file;
  auto e = raised([&] { file.SetFileSpec(relative, CShapeFile::OPENIT); });
  EXPECT_EQ(e.number(), 0x80040203u);
  EXPECT_EQ(e.source(), "C_ShapeFile::SetFileSpec");
  EXPECT_EQ(e.description(), "The FileSpec is invalid");
  EXPECT_EQ(file.Count(), 0);
  EXPECT_EQ(file.Item(1), nullptr);
  e = raised([&] { file.SetFileSpec(spec(folder / "x.shp"), CShapeFile::CREATEIT, 11); });
  EXPECT_EQ(e.number(), 0x80040211u);
}
