// Writes the seed corpus: small shapefiles of each type made by the real writer, one of them
// with a null record, each packed as one fuzz input. Usage: quelbrix_shape_fuzz_seeds FOLDER
// (an absolute path).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "fuzz_input.h"
#include "shape/c_shape_file.h"

namespace {

using namespace shape;

std::shared_ptr<CPart> ring(std::initializer_list<std::pair<double, double>> xy) {
  auto part = std::make_shared<CPart>();
  for (auto [x, y] : xy) part->Add(std::make_shared<CPoint>(x, y));
  return part;
}

void seed(const std::string& folder, const std::string& name, int32_t type,
          const std::function<void(CShapeFile&)>& fill) {
  std::string shp = folder + "/" + name + ".shp";
  {
    CFileName spec;
    spec.SetFileSpec(shp);
    CShapeFile file;
    file.SetFileSpec(spec, CShapeFile::CREATEIT, type);
    fill(file);
  }
  std::string shx = folder + "/" + name + ".shx";
  auto packed = fuzz::packPair(fuzz::readFile(shx), fuzz::readFile(shp));
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(packed.data()),
            static_cast<std::streamsize>(packed.size()));
  std::filesystem::remove(shp);
  std::filesystem::remove(shx);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  seed(folder, "polygons", CShapeFile::kPolygon, [](CShapeFile& f) {
    CPolygon a;
    a.Add(ring({{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}));
    a.Add(ring({{2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}}));
    f.Add(a);
    CPolygon b;
    b.Add(ring({{10, 0}, {10, 10}, {20, 10}, {10, 0}}));
    f.Add(b);
  });
  seed(folder, "polygon_null", CShapeFile::kPolygon, [](CShapeFile& f) {
    CPolygon a;
    a.Add(ring({{0, 0}, {0, 1}, {1, 1}, {0, 0}}));
    f.Add(a);
    CPolygon n;
    n.MakeNull(true);
    f.Add(n);
  });
  seed(folder, "polylines", CShapeFile::kPolyLine, [](CShapeFile& f) {
    CPolyLine a;
    a.Add(ring({{0, 0}, {5, 5}}));
    a.Add(ring({{7, 7}, {8, 9}, {9, 7}}));
    f.Add(a);
  });
  seed(folder, "points", CShapeFile::kPoint, [](CShapeFile& f) {
    f.Add(CPoint(1, 2));
    f.Add(CPoint(-3, 4.5));
  });
  seed(folder, "multipoints", CShapeFile::kMultiPoint, [](CShapeFile& f) {
    CMultiPoint m;
    m.Add(std::make_shared<CPoint>(1, 1));
    m.Add(std::make_shared<CPoint>(2, 3));
    f.Add(m);
  });
  return 0;
}
