// Feeds arbitrary bytes to the shapefile reader as a ".shx"/".shp" pair, then opens it and reads
// every record (up to a bound) and a few indexes outside the file. Any outcome but a record or
// a ShapeError (a crash, a sanitizer report, another exception, a hang) is a finding. Then it
// appends one record of the file's type, which must read back whatever the file held before.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "shape/c_shape_file.h"
#include "shape/shape_error.h"

namespace {

// Touches every coordinate so that a shape built from bad bytes is really looked at.
double sum(const shape::IShape& s) {
  double total = s.Left() + s.Right() + s.Top() + s.Bottom();
  if (auto* parts = dynamic_cast<const shape::PartShape*>(&s)) {
    for (const auto& part : *parts)
      for (const auto& p : *part) total += p->X() + p->Y() + part->Left();
  } else if (auto* multi = dynamic_cast<const shape::CMultiPoint*>(&s)) {
    for (const auto& p : *multi) total += p->X() + p->Y();
  }
  return total;
}

std::shared_ptr<shape::CPart> triangle() {
  auto part = std::make_shared<shape::CPart>();
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {0.0, 0.0}})
    part->Add(std::make_shared<shape::CPoint>(x, y));
  return part;
}

void appendAndReadBack(shape::CShapeFile& file) {
  shape::CPolygon polygon;
  shape::CPolyLine line;
  shape::CMultiPoint multi;
  shape::CPoint point(1, 2);
  polygon.Add(triangle());
  line.Add(triangle());
  multi.Add(std::make_shared<shape::CPoint>(3, 4));
  switch (file.FileType()) {
    case shape::CShapeFile::kPoint:
      file.Add(point);
      break;
    case shape::CShapeFile::kPolyLine:
      file.Add(line);
      break;
    case shape::CShapeFile::kPolygon:
      file.Add(polygon);
      break;
    case shape::CShapeFile::kMultiPoint:
      file.Add(multi);
      break;
    default:
      return;
  }
  try {
    if (!file.Item(file.Count())) throw shape::ShapeError(0, "fuzz", "no record");
  } catch (const shape::ShapeError& e) {
    std::fprintf(stderr, "appended record does not read back: %s\n", e.what());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = fuzz::scratchFolder("quelbrix_shape_fuzz");
  const auto [shx, shpBytes] = fuzz::unpackPair(data, size);
  const std::string shp = folder + "/f.shp";
  fuzz::writeFile(folder + "/f.shx", shx);
  fuzz::writeFile(shp, shpBytes);
  volatile double sink = 0;
  try {
    shape::CFileName name;
    name.SetFileSpec(shp);
    shape::CShapeFile file;
    file.SetFileSpec(name, shape::CShapeFile::OPENIT);
    sink = sink + file.Left() + file.Top() + file.FileType();
    const int32_t last = std::min(file.Count(), 300);
    for (int32_t i : {-1, 0, last + 1, file.Count() + 1, INT32_MAX}) {
      try {
        if (auto s = file.Item(i)) sink = sink + sum(*s);
      } catch (const shape::ShapeError&) {
      }
    }
    for (int32_t i = 1; i <= last; ++i) {
      try {
        if (auto s = file.Item(i)) sink = sink + sum(*s);
      } catch (const shape::ShapeError&) {
      }
    }
    appendAndReadBack(file);
  } catch (const shape::ShapeError&) {
  }
  return 0;
}
