#include "sample/sample_shapefile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <random>
#include <string_view>

#include "base/byte_order.h"
#include "data/dbf/dbf_file.h"
#include "shape/c_shape_file.h"
#include "shape/proj_handles.h"
#include "shape/shape_error.h"

namespace sample {
namespace {

constexpr double kOriginX = 3450000;
constexpr double kOriginY = 5550000;
constexpr double kCell = 200;          // metres between grid lines
constexpr double kCornerJitter = 0.2;  // of a cell, so cells stay simple quadrilaterals
constexpr double kEdgeJitter = 0.06;
constexpr int kEdgePoints = 2;      // inner points per cell edge
constexpr double kHoleHalf = 0.15;  // of a cell; the nearest edge stays beyond 0.22
// The coordinates are made in DHDN / 3-degree Gauss-Kruger zone 3.
constexpr int kGeneratedSystem = 31467;

struct Xy {
  double x;
  double y;
};
using RingXy = std::vector<Xy>;

// mt19937 output is fixed by the standard; the distributions are not, so they are made here.
class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  double uniform(double a, double b) { return a + (b - a) * (double(engine_()) / 4294967296.0); }

 private:
  std::mt19937 engine_;
};

double centimetres(double v) {
  return std::round(v * 100) / 100;
}

// The shared vertices and edge points of the jittered grid.
class Grid {
 public:
  Grid(int cols, int rows, Random& rng) : cols_(cols), rows_(rows) {
    for (int j = 0; j <= rows; ++j)
      for (int i = 0; i <= cols; ++i)
        vertices_.push_back(
            {centimetres(kOriginX + kCell * (i + rng.uniform(-kCornerJitter, kCornerJitter))),
             centimetres(kOriginY + kCell * (j + rng.uniform(-kCornerJitter, kCornerJitter)))});
    // Horizontal edges (i, j) -> (i + 1, j), then vertical edges (i, j) -> (i, j + 1).
    for (int j = 0; j <= rows; ++j)
      for (int i = 0; i < cols; ++i)
        horizontal_.push_back(edgePoints(vertex(i, j), vertex(i + 1, j), rng));
    for (int j = 0; j < rows; ++j)
      for (int i = 0; i <= cols; ++i)
        vertical_.push_back(edgePoints(vertex(i, j), vertex(i, j + 1), rng));
  }

  // Cell (i, j) clockwise (y up), closed: up the left edge, along the top, down the right,
  // back along the bottom.
  RingXy cellRing(int i, int j) const {
    RingXy ring{vertex(i, j)};
    appendEdge(ring, vertical_[size_t(j * (cols_ + 1) + i)], false);
    ring.push_back(vertex(i, j + 1));
    appendEdge(ring, horizontal_[size_t((j + 1) * cols_ + i)], false);
    ring.push_back(vertex(i + 1, j + 1));
    appendEdge(ring, vertical_[size_t(j * (cols_ + 1) + i + 1)], true);
    ring.push_back(vertex(i + 1, j));
    appendEdge(ring, horizontal_[size_t(j * cols_ + i)], true);
    ring.push_back(vertex(i, j));
    return ring;
  }

  Xy vertex(int i, int j) const { return vertices_[size_t(j * (cols_ + 1) + i)]; }

 private:
  static std::vector<Xy> edgePoints(Xy a, Xy b, Random& rng) {
    std::vector<Xy> points;
    double dx = b.x - a.x, dy = b.y - a.y;
    double len = std::hypot(dx, dy);
    for (int k = 1; k <= kEdgePoints; ++k) {
      double t = double(k) / (kEdgePoints + 1);
      double off = kCell * rng.uniform(-kEdgeJitter, kEdgeJitter);
      points.push_back(
          {centimetres(a.x + t * dx - off * dy / len), centimetres(a.y + t * dy + off * dx / len)});
    }
    return points;
  }
  static void appendEdge(RingXy& ring, const std::vector<Xy>& points, bool reversed) {
    if (reversed)
      ring.insert(ring.end(), points.rbegin(), points.rend());
    else
      ring.insert(ring.end(), points.begin(), points.end());
  }

  int cols_;
  int rows_;
  std::vector<Xy> vertices_;
  std::vector<std::vector<Xy>> horizontal_;
  std::vector<std::vector<Xy>> vertical_;
};

// Counter-clockwise (a hole, y up) small quadrilateral around the middle of cell (i, j).
RingXy holeRing(const Grid& grid, int i, int j, Random& rng) {
  Xy corners[4] = {grid.vertex(i, j), grid.vertex(i + 1, j), grid.vertex(i + 1, j + 1),
                   grid.vertex(i, j + 1)};
  double cx = 0, cy = 0;
  for (const Xy& c : corners) {
    cx += c.x / 4;
    cy += c.y / 4;
  }
  const double h = kHoleHalf * kCell;
  auto jitter = [&rng] { return rng.uniform(-0.03, 0.03) * kCell; };
  RingXy ring{{cx - h + jitter(), cy - h + jitter()},
              {cx + h + jitter(), cy - h + jitter()},
              {cx + h + jitter(), cy + h + jitter()},
              {cx - h + jitter(), cy + h + jitter()}};
  for (Xy& p : ring) p = {centimetres(p.x), centimetres(p.y)};
  ring.push_back(ring.front());
  return ring;
}

// Shoelace; negative for clockwise rings (y up).
double signedArea(const RingXy& ring) {
  double twice = 0;
  for (size_t k = 0; k + 1 < ring.size(); ++k)
    twice += ring[k].x * ring[k + 1].y - ring[k + 1].x * ring[k].y;
  return twice / 2;
}

std::shared_ptr<shape::CPart> toPart(const RingXy& ring) {
  auto part = std::make_shared<shape::CPart>();
  for (const Xy& p : ring) part->Add(std::make_shared<shape::CPoint>(p.x, p.y));
  return part;
}

// The generated Gauss-Krueger coordinates in the system of EPSG code epsg; a ring's shared
// points come out equal, as every equal input does.
void transformRings(std::vector<std::vector<RingXy>>& rings, int epsg) {
  if (epsg == kGeneratedSystem) return;
  const shape::projlib::Context context = shape::projlib::quietContext();
  std::string reason;
  const shape::projlib::Object from = shape::projlib::coordinateSystem(
      context.get(), "EPSG:" + std::to_string(kGeneratedSystem), reason);
  const shape::projlib::Object to =
      from ? shape::projlib::transformation(context.get(), from.get(),
                                            "EPSG:" + std::to_string(epsg), reason)
           : nullptr;
  if (!to) throw shape::ShapeError(shape::kErrDamaged, "writeSampleShapefile", reason);
  for (auto& polygon : rings)
    for (RingXy& ring : polygon)
      for (Xy& p : ring) {
        const PJ_COORD c = proj_trans(to.get(), PJ_FWD, proj_coord(p.x, p.y, 0, 0));
        p = {c.xy.x, c.xy.y};
      }
}

// The ".prj" as GIS programs write it: ESRI's WKT of the system.
void writePrj(const std::filesystem::path& shp, int epsg) {
  const shape::projlib::Context context = shape::projlib::quietContext();
  std::string reason;
  const shape::projlib::Object crs =
      shape::projlib::coordinateSystem(context.get(), "EPSG:" + std::to_string(epsg), reason);
  const char* wkt = crs ? proj_as_wkt(context.get(), crs.get(), PJ_WKT1_ESRI, nullptr) : nullptr;
  if (!wkt) throw shape::ShapeError(shape::kErrDamaged, "writeSampleShapefile", reason);
  std::filesystem::path prj = shp;
  prj.replace_extension(".prj");
  std::ofstream out(prj, std::ios::binary | std::ios::trunc);
  out << wkt;
  if (!out.flush())
    throw shape::ShapeError(shape::kErrFileAccess, "writeSampleShapefile",
                            "Die Datei " + prj.string() + " konnte nicht geschrieben werden.");
}

// Rewrites a polygon shapefile as PolygonZ (type 15): each record gets its Z range and Z
// values (a gentle slope) and its M range and M values (the point's position) behind the X/Y
// part, as exporters of 3-D data write it.
void convertToPolygonZ(const std::filesystem::path& shp) {
  using namespace base::bytes;
  std::filesystem::path shx = shp;
  shx.replace_extension(".shx");
  shape::CFileName spec;
  spec.SetFileSpec(shp.string());
  shape::CShapeFile source;
  source.SetFileSpec(spec, shape::CShapeFile::OPENIT);
  std::vector<uint8_t> main(100), index(100);
  auto i32 = [](std::vector<uint8_t>& out, int32_t v, bool big) {
    uint8_t b[4];
    if (big)
      writeBE32(b, v);
    else
      writeLE32(b, v);
    out.insert(out.end(), b, b + 4);
  };
  auto f64 = [](std::vector<uint8_t>& out, double v) {
    uint8_t b[8];
    writeLEDouble(b, v);
    out.insert(out.end(), b, b + 8);
  };
  for (int32_t r = 1; r <= source.Count(); ++r) {
    auto polygon = std::dynamic_pointer_cast<shape::CPolygon>(source.Item(r));
    std::vector<uint8_t> c;
    i32(c, 15, false);
    f64(c, polygon->Left());
    f64(c, polygon->Bottom());
    f64(c, polygon->Right());
    f64(c, polygon->Top());
    std::vector<const shape::CPoint*> points;
    std::vector<int32_t> starts;
    for (const auto& part : *polygon) {
      starts.push_back(static_cast<int32_t>(points.size()));
      for (const auto& p : *part) points.push_back(p.get());
    }
    i32(c, static_cast<int32_t>(starts.size()), false);
    i32(c, static_cast<int32_t>(points.size()), false);
    for (int32_t s : starts) i32(c, s, false);
    for (const auto* p : points) f64(c, p->X()), f64(c, p->Y());
    auto z = [&](const shape::CPoint* p) { return 100 + (p->Y() - polygon->Bottom()) / 100; };
    f64(c, z(points.front()));
    f64(c, z(points.front()));
    for (const auto* p : points) f64(c, z(p));
    f64(c, 0);
    f64(c, double(points.size()));
    for (std::size_t k = 0; k < points.size(); ++k) f64(c, double(k));
    i32(index, static_cast<int32_t>(main.size() / 2), true);
    i32(index, static_cast<int32_t>(c.size() / 2), true);
    i32(main, r, true);
    i32(main, static_cast<int32_t>(c.size() / 2), true);
    main.insert(main.end(), c.begin(), c.end());
  }
  // Both headers as the 2-D file has them, with type 15 and the new lengths.
  for (auto* file : {&main, &index}) {
    const std::string& from = file == &main ? shp.string() : shx.string();
    std::ifstream in(from, std::ios::binary);
    in.read(reinterpret_cast<char*>(file->data()), 100);
    writeBE32(file->data() + 24, static_cast<int32_t>(file->size() / 2));
    writeLE32(file->data() + 32, 15);
  }
  for (auto [path, bytes] : {std::pair{shp, &main}, std::pair{shx, &index}}) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
  }
}

// The faulty records of ShapefileForm::faultyRecords, each in a 300 m slot of its own west of
// the grid: (x, y) relative to the slot's corner, the AREA written with it.
struct Faulty {
  const char* code;
  std::vector<Xy> ring;
  double area;
};

// In the shapefile's system crs, like the polygons before them (0: as generated).
void appendFaultyRecords(shape::CShapeFile& file, data::dbf::DbfWriter& table, int crs) {
  const RingXy square{{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}};  // clockwise
  const std::vector<Faulty> faulty{
      {kUnclosedRingPolygon, {{0, 0}, {0, 100}, {100, 100}, {100, 0}, {1, 1}}, 10000},
      {kFewPointsPolygon, {{0, 0}, {0, 100}, {0, 0}}, 0},
      {kSelfIntersectingPolygon, {{0, 0}, {100, 100}, {100, 0}, {0, 60}, {0, 0}}, 2000},
      {kZeroAreaPolygon, {{0, 0}, {50, 0}, {100, 0}, {0, 0}}, 0},
      {kOriginalPolygon, square, 10000},
      {kDuplicatePolygon, square, 10000},
      {kCounterClockwisePolygon, RingXy(square.rbegin(), square.rend()), 10000},
      {kWrongAreaPolygon, square, 12000},
      {kRefusedRecordPolygon, square, 10000}};
  double slotX = kOriginX - 5000;
  for (const Faulty& f : faulty) {
    // The duplicate lies where its original lies.
    if (std::string_view(f.code) != kDuplicatePolygon) slotX += 300;
    std::vector<std::vector<RingXy>> rings{{RingXy()}};
    for (const Xy& p : f.ring) rings[0][0].push_back({slotX + p.x, kOriginY + p.y});
    if (crs != 0) transformRings(rings, crs);
    shape::CPolygon polygon;
    polygon.Add(toPart(rings[0][0]));
    file.Add(polygon);
    table.append({data::Value::text(f.code), data::Value::real(f.area)});
  }
}

// Gives the last record a record number other than its own, which the reader refuses.
void refuseLastRecord(const std::filesystem::path& shp) {
  using namespace base::bytes;
  std::filesystem::path shx = shp;
  shx.replace_extension(".shx");
  std::ifstream index(shx, std::ios::binary);
  index.seekg(-8, std::ios::end);
  uint8_t entry[8];
  index.read(reinterpret_cast<char*>(entry), 8);
  const auto records = static_cast<int32_t>((std::filesystem::file_size(shx) - 100) / 8);
  std::fstream main(shp, std::ios::in | std::ios::out | std::ios::binary);
  main.seekp(std::streamoff(readBE32(entry)) * 2);
  uint8_t number[4];
  writeBE32(number, records + 1000);
  main.write(reinterpret_cast<const char*>(number), 4);
  if (!index || !main)
    throw data::dbf::DbfError(shp.string() + ": the refused record could not be written");
}

}  // namespace

void writeSampleShapefile(const std::filesystem::path& shpPath,
                          const std::vector<std::string>& polygonCodes, uint32_t seed,
                          const ShapefileForm& form) {
  enum class Kind { Plain, Holed, Island };
  const size_t n = polygonCodes.size();
  std::vector<Kind> kinds(n, Kind::Plain);
  for (size_t i = 0; i + 1 < n; i += 40) {
    kinds[i] = Kind::Holed;
    kinds[i + 1] = Kind::Island;
  }
  std::vector<size_t> multiPart;
  for (size_t i = 5; i < n; i += 10)
    if (kinds[i] == Kind::Plain) multiPart.push_back(i);

  // Cells in row order: one per polygon that is not an island, then the second parts.
  std::vector<std::vector<size_t>> cellsOf(n);
  size_t cells = 0;
  for (size_t i = 0; i < n; ++i)
    if (kinds[i] != Kind::Island) cellsOf[i].push_back(cells++);
  for (size_t i : multiPart) cellsOf[i].push_back(cells++);
  const int cols = std::max(1, int(std::ceil(std::sqrt(double(cells)))));
  const int rows = std::max(1, int((cells + size_t(cols) - 1) / size_t(cols)));

  Random rng(seed);
  Grid grid(cols, rows, rng);
  std::vector<std::vector<RingXy>> rings(n);
  for (size_t i = 0; i < n; ++i)
    for (size_t c : cellsOf[i])
      rings[i].push_back(grid.cellRing(int(c % size_t(cols)), int(c / size_t(cols))));
  for (size_t i = 0; i + 1 < n; ++i) {
    if (kinds[i] != Kind::Holed) continue;
    size_t c = cellsOf[i].front();
    RingXy hole = holeRing(grid, int(c % size_t(cols)), int(c / size_t(cols)), rng);
    rings[i].push_back(hole);
    rings[i + 1].push_back(RingXy(hole.rbegin(), hole.rend()));
  }
  // The true areas, measured where they were made: clockwise outer rings add, counter-clockwise
  // holes subtract.
  std::vector<double> areas(n, 0);
  for (size_t i = 0; i < n; ++i)
    for (const RingXy& ring : rings[i]) areas[i] -= signedArea(ring);
  if (form.crs != 0) {
    if (std::find(std::begin(kSampleCoordinateSystems), std::end(kSampleCoordinateSystems),
                  form.crs) == std::end(kSampleCoordinateSystems))
      throw shape::ShapeError(shape::kErrDamaged, "writeSampleShapefile",
                              "EPSG:" + std::to_string(form.crs) + " is no sample system");
    transformRings(rings, form.crs);
  }

  std::filesystem::path shp = std::filesystem::absolute(shpPath);
  shape::CFileName spec;
  spec.SetFileSpec(shp.string());
  shape::CShapeFile file;
  file.SetFileSpec(spec, shape::CShapeFile::CREATEIT, shape::CShapeFile::kPolygon);
  std::filesystem::path dbfPath = shp;
  dbfPath.replace_extension(".dbf");
  data::dbf::DbfWriter table(
      dbfPath, {{"POLYGONNR", form.numericNumbers ? 'N' : 'C', 11, 0}, {"AREA", 'N', 14, 2}});
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  if (form.islandsFirst)
    for (size_t i = 0; i + 1 < n; ++i)
      if (kinds[i] == Kind::Holed) std::swap(order[i], order[i + 1]);
  for (size_t i : order) {
    if (form.nullRecord && i == order[n / 2]) {
      shape::CPolygon none;
      none.MakeNull(true);
      file.Add(none);
      table.append({form.numericNumbers ? data::Value::integer(std::stoll(kNullRecordPolygon))
                                        : data::Value::text(kNullRecordPolygon),
                    data::Value()});
    }
    shape::CPolygon polygon;
    for (const RingXy& ring : rings[i]) polygon.Add(toPart(ring));
    file.Add(polygon);
    table.append({form.numericNumbers ? data::Value::integer(std::stoll(polygonCodes[i]))
                                      : data::Value::text(polygonCodes[i]),
                  data::Value::real(std::round(areas[i] * 100) / 100)});
  }
  if (form.faultyRecords) appendFaultyRecords(file, table, form.crs);
  table.finish();
  if (form.crs != 0) writePrj(shp, form.crs);
  if (form.polygonZ || form.faultyRecords) file = shape::CShapeFile();  // closes both files
  if (form.polygonZ) convertToPolygonZ(shp);
  if (form.faultyRecords) refuseLastRecord(shp);
}

}  // namespace sample
