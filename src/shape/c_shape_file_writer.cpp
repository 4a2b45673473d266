// Writing a shapefile: the main file and its index, record by record, with the headers' extent
// kept up to date.
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "base/byte_order.h"
#include "shape/c_shape_file.h"
#include "shape/shape_error.h"
#include "shape/shape_file_format.h"

namespace shape {

namespace {

using namespace base::bytes;

// Appends little-endian values to a record's content.
class ContentWriter {
 public:
  explicit ContentWriter(uint64_t size) { bytes_.reserve(size); }
  void i32(int32_t v) {
    uint8_t b[4];
    writeLE32(b, v);
    append(b, sizeof b);
  }
  void f64(double v) {
    uint8_t b[8];
    writeLEDouble(b, v);
    append(b, sizeof b);
  }
  void box(const IShape& s) {
    f64(s.Left());
    f64(s.Bottom());
    f64(s.Right());
    f64(s.Top());
  }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  // resize and copy: GCC 12 takes vector::insert of a few bytes for an overflow (a false alarm).
  void append(const uint8_t* b, std::size_t n) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + n);
    std::memcpy(bytes_.data() + at, b, n);
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace

void CShapeFile::Add(const IShape& shape) {
  constexpr const char* kAdd = "CShapeFile::Add";
  auto requireType = [this](int32_t type, const char* description) {
    if (fileType_ != type) throw ShapeError(kErrWrongShapeForFile, kAdd, description);
  };
  std::string_view name = shape.className();
  if (name == "CPoint") {
    requireType(kPoint, "Cannot add type CPoint to a ShapeFile initialized as other type");
  } else if (name == "CPolyLine") {
    requireType(kPolyLine, "Cannot add type CPolyline to a ShapeFile initialized as other type");
  } else if (name == "CPolygon") {
    requireType(kPolygon, "Cannot add type CPolygon to a ShapeFile initialized as other type");
  } else if (name == "CMultiPoint") {
    requireType(kMultiPoint,
                "Cannot add type CMultiPoint to a ShapeFile initialized as other type");
  } else {
    throw ShapeError(kErrInvalidShapeType, kAdd, "Invalid shape type");
  }
  if (shape.IsNull()) {
    PutNull();
    return;
  }
  if (auto* point = dynamic_cast<const CPoint*>(&shape)) {
    PutPoints(*point);
  } else if (auto* polygon = dynamic_cast<const CPolygon*>(&shape)) {
    PutPolyLine(*polygon, "CShapeFile::PutPolygon");
  } else if (auto* line = dynamic_cast<const CPolyLine*>(&shape)) {
    PutPolyLine(*line, "CShapeFile::PutPolyLine");
  } else if (auto* multi = dynamic_cast<const CMultiPoint*>(&shape)) {
    PutMultiPoints(*multi);
  } else {
    throw ShapeError(kErrInvalidShapeType, kAdd, "Invalid shape type");
  }
  PutExtent(shape);
}

void CShapeFile::PutMainHeaders() {
  std::array<uint8_t, 100> header{};
  writeBE32(header.data(), kFileCode);
  writeBE32(header.data() + 24, 50);
  writeLE32(header.data() + 28, kVersion);
  writeLE32(header.data() + 32, fileType_);
  writeLEDouble(header.data() + 36, extent_.Left());
  writeLEDouble(header.data() + 44, extent_.Bottom());
  writeLEDouble(header.data() + 52, extent_.Right());
  writeLEDouble(header.data() + 60, extent_.Top());
  mainHeader_ = header;
  indexHeader_ = header;
  index_.writeAt(0, header.data(), header.size(), "CShapeFile::PutMainHeaders");
  main_.writeAt(0, header.data(), header.size(), "CShapeFile::PutMainHeaders");
}

void CShapeFile::appendRecord(const std::vector<uint8_t>& content, const char* source) {
  // A record starts on a 16-bit word and its entry goes where the reader will look for it, even
  // when a damaged file ends in stray bytes.
  const uint64_t pad = main_.size() % 2;
  const uint64_t recordStart = main_.size() + pad;
  const uint64_t newMainSize = recordStart + 8 + content.size();
  const uint64_t entryPosition = kHeaderBytes + uint64_t(count_) * 8;
  const uint64_t newIndexSize = entryPosition + 8;
  if (newMainSize / 2 > uint64_t(std::numeric_limits<int32_t>::max()) ||
      newIndexSize / 2 > uint64_t(std::numeric_limits<int32_t>::max()))
    throw ShapeError(
        kErrFileAccess, source,
        "Der Datensatz passt nicht mehr in " + main_.path() + " (höchstens 2 G Wörter).");
  const int32_t words = static_cast<int32_t>(content.size() / 2);

  uint8_t entry[8];
  writeBE32(entry, static_cast<int32_t>(recordStart / 2));
  writeBE32(entry + 4, words);
  index_.writeAt(entryPosition, entry, 8, source);

  std::vector<uint8_t> record(pad + 8 + content.size());
  writeBE32(record.data() + pad, count_ + 1);
  writeBE32(record.data() + pad + 4, words);
  std::copy(content.begin(), content.end(), record.begin() + std::ptrdiff_t(pad + 8));
  main_.writeAt(main_.size(), record.data(), record.size(), source);

  uint8_t length[4];
  writeBE32(length, static_cast<int32_t>(newMainSize / 2));
  main_.writeAt(24, length, 4, source);
  std::copy(length, length + 4, mainHeader_.begin() + 24);
  writeBE32(length, static_cast<int32_t>(newIndexSize / 2));
  index_.writeAt(24, length, 4, source);
  std::copy(length, length + 4, indexHeader_.begin() + 24);
  indexLength_ = newIndexSize;
  ++count_;
}

void CShapeFile::PutNull() {
  ContentWriter w(4);
  w.i32(kNullShape);
  appendRecord(w.bytes(), "CShapeFile::PutNull");
}

void CShapeFile::PutPoints(const CPoint& point) {
  ContentWriter w(20);
  w.i32(fileType_);
  w.f64(point.X());
  w.f64(point.Y());
  appendRecord(w.bytes(), "C_ShapeFile::PutPoints");
}

void CShapeFile::PutPolyLine(const PartShape& line, const char* source) {
  uint64_t points = 0;
  for (const auto& part : line) points += uint64_t(part->Count());
  const uint64_t parts = uint64_t(line.Count());
  if (points > uint64_t(std::numeric_limits<int32_t>::max()) / 16)
    throw ShapeError(kErrFileAccess, source, "Zu viele Punkte für einen Datensatz.");
  ContentWriter w(44 + 4 * parts + 16 * points);
  w.i32(fileType_);
  w.box(line);
  w.i32(static_cast<int32_t>(parts));
  w.i32(static_cast<int32_t>(points));
  int32_t start = 0;
  for (const auto& part : line) {
    w.i32(start);
    start += part->Count();
  }
  for (const auto& part : line)
    for (const auto& p : *part) {
      w.f64(p->X());
      w.f64(p->Y());
    }
  appendRecord(w.bytes(), source);
}

void CShapeFile::PutMultiPoints(const CMultiPoint& multi) {
  const uint64_t points = uint64_t(multi.Count());
  if (points > uint64_t(std::numeric_limits<int32_t>::max()) / 16)
    throw ShapeError(kErrFileAccess, "CShapeFile::PutMultiPoints",
                     "Zu viele Punkte für einen Datensatz.");
  ContentWriter w(40 + 16 * points);
  w.i32(fileType_);
  w.box(multi);
  w.i32(static_cast<int32_t>(points));
  for (const auto& p : multi) {
    w.f64(p->X());
    w.f64(p->Y());
  }
  appendRecord(w.bytes(), "CShapeFile::PutMultiPoints");
}

void CShapeFile::PutExtent(const IShape& shape) {
  CRect before = extent_;
  if (!hasExtent_) {
    // The first shape with coordinates sets the extent, even after null records.
    extent_ = CRect(shape.Left(), shape.Top(), shape.Right(), shape.Bottom());
    hasExtent_ = true;
  } else {
    if (shape.Left() < extent_.Left()) extent_.Left(shape.Left());
    if (shape.Right() > extent_.Right()) extent_.Right(shape.Right());
    if (shape.Top() > extent_.Top()) extent_.Top(shape.Top());
    if (shape.Bottom() < extent_.Bottom()) extent_.Bottom(shape.Bottom());
  }
  if (before.Left() == extent_.Left() && before.Right() == extent_.Right() &&
      before.Top() == extent_.Top() && before.Bottom() == extent_.Bottom())
    return;
  uint8_t box[32];
  writeLEDouble(box, extent_.Left());
  writeLEDouble(box + 8, extent_.Bottom());
  writeLEDouble(box + 16, extent_.Right());
  writeLEDouble(box + 24, extent_.Top());
  for (auto* header : {&mainHeader_, &indexHeader_}) std::copy(box, box + 32, header->begin() + 36);
  main_.writeAt(36, box, 32, "CShapeFile::PutExtent");
  index_.writeAt(36, box, 32, "CShapeFile::PutExtent");
}

}  // namespace shape
