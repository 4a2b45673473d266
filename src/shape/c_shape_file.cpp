#include "shape/c_shape_file.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>

#include "base/byte_order.h"
#include "base/file_lookup.h"
#include "base/system_error_text.h"
#include "shape/shape_error.h"
#include "shape/shape_file_format.h"

namespace shape {
namespace {

namespace fs = std::filesystem;
using namespace base::bytes;

constexpr const char* kItem = "CShapeFile::Item";
constexpr const char* kSetFileSpec = "C_ShapeFile::SetFileSpec";

// The 2-D type a record of this type reads as: PointZ/M, PolyLineZ/M, PolygonZ/M and
// MultiPointZ/M store their X and Y exactly where the plain types do, with Z and M behind them.
int32_t planarType(int32_t type) {
  switch (type) {
    case 11:
    case 21:
      return CShapeFile::kPoint;
    case 13:
    case 23:
      return CShapeFile::kPolyLine;
    case 15:
    case 25:
      return CShapeFile::kPolygon;
    case 18:
    case 28:
      return CShapeFile::kMultiPoint;
    default:
      return type;
  }
}

bool knownType(int32_t type) {
  return type == CShapeFile::kPoint || type == CShapeFile::kPolyLine ||
         type == CShapeFile::kPolygon || type == CShapeFile::kMultiPoint;
}

ShapeError damaged(int32_t index, const std::string& path, const std::string& what) {
  return ShapeError(
      kErrDamaged, kItem,
      "Datensatz " + std::to_string(index) + " von " + path + " ist beschädigt: " + what + ".");
}

void readHeader(const RawFile& file, std::array<uint8_t, 100>& header, const char* which) {
  uint64_t got = file.readAt(0, header.data(), header.size(), kSetFileSpec);
  if (got < kHeaderBytes)
    throw ShapeError(kErrTruncated, kSetFileSpec,
                     std::string("Die ") + which + "-Datei " + file.path() +
                         " ist kürzer als ihr 100 Byte langer Kopf (" + std::to_string(got) +
                         " Bytes).");
  if (readBE32(header.data()) != kFileCode) {
    throw ShapeError(
        kErrInvalidFileCode, kSetFileSpec,
        std::string("The ") + which + " file has an invalid shape code in the main header.");
  }
}

}  // namespace

// ---- opening and creating -------------------------------------------------------------------

void CShapeFile::SetFileSpec(const CFileName& fileName, int32_t status, int32_t shapeType) {
  try {
    openOrCreate(fileName, status, shapeType);
  } catch (const ShapeError& e) {
    throw e.withSource(kSetFileSpec);
  }
}

void CShapeFile::openOrCreate(const CFileName& fileName, int32_t status, int32_t shapeType) {
  CFileName name;
  name.SetFileSpec(fileName.GetFileSpec());
  CFileName indexName = name;
  indexName.SetExtension("shx");
  const bool create = status != OPENIT;
  if (create && !knownType(shapeType))
    throw ShapeError(kErrInvalidShapeType, kSetFileSpec, "Invalid shape type");

  std::string mainPath = name.GetFileSpec();
  std::string indexPath = indexName.GetFileSpec();
  for (auto* path : {&mainPath, &indexPath}) {
    const fs::path spec(*path);
    const std::string found =
        base::findFileNoCase(spec.parent_path(), spec.filename().string()).string();
    if (!create && found.empty())
      throw ShapeError(kErrFileMissing, kSetFileSpec,
                       "The specified file " + *path + " does not exist.");
    if (create && !found.empty()) {
      std::error_code ec;
      fs::remove(found, ec);
      if (ec)
        throw ShapeError(kErrFileAccess, kSetFileSpec,
                         "Die Datei " + found +
                             " kann nicht gelöscht werden: " + base::systemErrorText(ec.value()));
    }
    if (!create) *path = found;
  }

  RawFile index = RawFile::open(indexPath, create, kSetFileSpec);
  RawFile main = RawFile::open(mainPath, create, kSetFileSpec);
  if (create) {
    fileName_ = name;
    index_ = std::move(index);
    main_ = std::move(main);
    fileType_ = shapeType;
    extent_.MakeEmpty();
    hasExtent_ = false;
    PutMainHeaders();
    count_ = 0;
    indexLength_ = kHeaderBytes;
    return;
  }

  std::array<uint8_t, 100> indexHeader{};
  std::array<uint8_t, 100> mainHeader{};
  readHeader(index, indexHeader, "shx");
  readHeader(main, mainHeader, "shp");
  int32_t indexWords = readBE32(indexHeader.data() + 24);
  if (indexWords < 50)
    throw ShapeError(kErrDamaged, kSetFileSpec,
                     "Die shx-Datei " + indexPath + " gibt die Dateilänge " +
                         std::to_string(indexWords) + " Wörter an, weniger als ihr eigener Kopf.");
  // Entries that the header counts but the file does not hold cannot be read; they are not
  // counted, so that a walk over all records ends where the file ends.
  uint64_t indexLength = std::min<uint64_t>(uint64_t(indexWords) * 2, index.size());

  fileName_ = name;
  index_ = std::move(index);
  main_ = std::move(main);
  indexHeader_ = indexHeader;
  mainHeader_ = mainHeader;
  indexLength_ = indexLength;
  count_ = static_cast<int32_t>((indexLength - kHeaderBytes) / 8);
  fileType_ = readLE32(mainHeader_.data() + 32);
  extent_ = CRect(readLEDouble(mainHeader_.data() + 36), readLEDouble(mainHeader_.data() + 60),
                  readLEDouble(mainHeader_.data() + 52), readLEDouble(mainHeader_.data() + 44));
  hasExtent_ = count_ > 0;
}

// ---- reading -------------------------------------------------------------------------------

std::shared_ptr<IShape> CShapeFile::Item(int32_t index) {
  try {
    switch (planarType(fileType_)) {
      case kPoint:
        return ReadPoint(index);
      case kPolyLine:
        return ReadPolyLine(index);
      case kPolygon:
        return ReadPolygon(index);
      case kMultiPoint:
        return ReadMultiPoint(index);
      default:
        return nullptr;
    }
  } catch (const ShapeError& e) {
    throw e.withSource(kItem);
  }
}

bool CShapeFile::FindOffset(int32_t index) {
  if (index < 1 || !index_.isOpen()) return false;
  uint64_t position = kHeaderBytes + uint64_t(index - 1) * 8;
  if (position + 8 > indexLength_) return false;
  uint8_t entry[8];
  if (index_.readAt(position, entry, 8, kItem) < 8)
    throw ShapeError(kErrTruncated, kItem,
                     "Der Indexeintrag von Datensatz " + std::to_string(index) +
                         " liegt hinter dem Ende von " + index_.path() + ".");
  indexEntry_.offset = readBE32(entry);
  indexEntry_.contentLength = readBE32(entry + 4);
  return true;
}

void CShapeFile::GetRecordHeader(uint64_t position) {
  uint8_t header[8];
  if (main_.readAt(position, header, 8, kItem) < 8)
    throw ShapeError(kErrTruncated, kItem,
                     "Der Satzkopf bei Byte " + std::to_string(position) +
                         " liegt hinter dem Ende von " + main_.path() + ".");
  recordHeader_.number = readBE32(header);
  recordHeader_.contentLength = readBE32(header + 4);
}

bool CShapeFile::loadRecord(int32_t index) {
  loadContent(index);
  int32_t type = readLE32(buffer_.data());
  // A record without geometry is legal in a file of any type.
  if (type == kNullShape) return true;
  if (type != fileType_)
    throw ShapeError(kErrShapeTypeMismatch, kItem, "A shape type does not match main header type.");
  return false;
}

int32_t CShapeFile::RecordShapeType(int32_t index) {
  try {
    if (!FindOffset(index))
      throw ShapeError(kErrOffsetBeyondFile, kItem,
                       "The offset read from index file is larger then the mainfile size");
    loadContent(index);
    return readLE32(buffer_.data());
  } catch (const ShapeError& e) {
    throw e.withSource("CShapeFile::RecordShapeType");
  }
}

void CShapeFile::loadContent(int32_t index) {
  const std::string& path = main_.path();
  if (indexEntry_.offset < 0)
    throw damaged(
        index, path,
        "sein Indexeintrag gibt den negativen Offset " + std::to_string(indexEntry_.offset));
  uint64_t position = uint64_t(indexEntry_.offset) * 2;
  if (position + 8 > main_.size())
    throw ShapeError(kErrOffsetBeyondFile, kItem,
                     "The offset read from index file is larger then the mainfile size");
  GetRecordHeader(position);
  if (recordHeader_.number != index)
    throw ShapeError(kErrRecordMismatch, kItem, "Index Record does not match main file Record");
  if (recordHeader_.contentLength < 2)
    throw damaged(index, path,
                  "die Inhaltslänge von " + std::to_string(recordHeader_.contentLength) +
                      " Wörtern reicht nicht für einen Formtyp");
  uint64_t bytes = uint64_t(recordHeader_.contentLength) * 2;
  uint64_t available = main_.size() - position - 8;
  if (bytes > available)
    throw ShapeError(kErrTruncated, kItem,
                     "Datensatz " + std::to_string(index) + " von " + path + " gibt " +
                         std::to_string(bytes) +
                         " Bytes Inhalt an, hinter seinem Kopf folgen aber nur " +
                         std::to_string(available) + " Bytes.");
  buffer_.resize(bytes);
  if (main_.readAt(position + 8, buffer_.data(), bytes, kItem) < bytes)
    throw ShapeError(kErrTruncated, kItem,
                     "Datensatz " + std::to_string(index) + " von " + path + " endet vorzeitig.");
}

std::shared_ptr<IShape> CShapeFile::ReadPoint(int32_t index) {
  if (!FindOffset(index)) return nullptr;
  if (loadRecord(index)) {
    auto none = std::make_shared<CPoint>();
    none->MakeNull(true);
    return none;
  }
  if (buffer_.size() < 20)
    throw damaged(
        index, main_.path(),
        "ein Punkt braucht 20 Bytes Inhalt, der Datensatz hat " + std::to_string(buffer_.size()));
  return std::make_shared<CPoint>(readLEDouble(buffer_.data() + 4),
                                  readLEDouble(buffer_.data() + 12));
}

std::shared_ptr<IShape> CShapeFile::ReadPolyLine(int32_t index) {
  return readPartShape<CPolyLine>(index);
}

std::shared_ptr<IShape> CShapeFile::ReadPolygon(int32_t index) {
  return readPartShape<CPolygon>(index);
}

template <class Shape>
std::shared_ptr<Shape> CShapeFile::loadBoxedRecord(int32_t index, uint64_t minimum,
                                                   const char* holds) {
  if (!FindOffset(index))
    throw ShapeError(kErrOffsetBeyondFile, kItem,
                     "The offset read from index file is larger then the mainfile size");
  if (loadRecord(index)) {
    auto none = std::make_shared<Shape>();
    none->MakeNull(true);
    return none;
  }
  const uint8_t* c = buffer_.data();
  const uint64_t size = buffer_.size();
  if (size < minimum)
    throw damaged(index, main_.path(),
                  "seine " + std::to_string(size) + " Bytes Inhalt reichen nicht für " + holds +
                      " (" + std::to_string(minimum) + " Bytes)");
  auto shape = std::make_shared<Shape>();
  shape->SetLeft(readLEDouble(c + 4));
  shape->SetBottom(readLEDouble(c + 12));
  shape->SetRight(readLEDouble(c + 20));
  shape->SetTop(readLEDouble(c + 28));
  return shape;
}

bool CShapeFile::loadPartRecord(int32_t index, int32_t& parts, int32_t& points) {
  if (!FindOffset(index))
    throw ShapeError(kErrOffsetBeyondFile, kItem,
                     "The offset read from index file is larger then the mainfile size");
  if (loadRecord(index)) return true;
  const uint8_t* c = buffer_.data();
  const uint64_t size = buffer_.size();
  const std::string& path = main_.path();
  if (size < 44)
    throw damaged(index, path,
                  "seine " + std::to_string(size) +
                      " Bytes Inhalt reichen nicht für das Rechteck und die Anzahlen (44 Bytes)");
  parts = readLE32(c + 36);
  points = readLE32(c + 40);
  if (parts < 0) throw damaged(index, path, "negative Anzahl der Teile " + std::to_string(parts));
  if (points < 0)
    throw damaged(index, path, "negative Anzahl der Punkte " + std::to_string(points));
  const uint64_t need = 44 + uint64_t(parts) * 4 + uint64_t(points) * 16;
  if (need > size)
    throw damaged(index, path,
                  std::to_string(parts) + " Teile und " + std::to_string(points) +
                      " Punkte brauchen " + std::to_string(need) + " Bytes, der Datensatz hat " +
                      std::to_string(size));
  const uint8_t* starts = c + 44;
  int32_t previous = -1;
  for (int32_t i = 0; i < parts; ++i) {
    int32_t start = readLE32(starts + uint64_t(i) * 4);
    bool bad = i == 0 ? start != 0 : start <= previous;
    if (bad || start >= points)
      throw damaged(index, path,
                    "Teil " + std::to_string(i + 1) + " beginnt bei Punkt " +
                        std::to_string(start) +
                        (i == 0 ? " statt bei 0"
                                : ", nicht hinter Teil " + std::to_string(i) + " bei " +
                                      std::to_string(previous)) +
                        " (" + std::to_string(points) + " Punkte)");
    previous = start;
  }
  return false;
}

template <class Shape>
std::shared_ptr<IShape> CShapeFile::readPartShape(int32_t index) {
  int32_t parts = 0, points = 0;
  auto shape = std::make_shared<Shape>();
  if (loadPartRecord(index, parts, points)) {
    shape->MakeNull(true);
    return shape;
  }
  const uint8_t* c = buffer_.data();
  shape->SetLeft(readLEDouble(c + 4));
  shape->SetBottom(readLEDouble(c + 12));
  shape->SetRight(readLEDouble(c + 20));
  shape->SetTop(readLEDouble(c + 28));
  const uint8_t* starts = c + 44;
  const uint8_t* xy = starts + uint64_t(parts) * 4;
  shape->Reserve(parts);
  for (int32_t i = 0; i < parts; ++i) {
    int32_t first = readLE32(starts + uint64_t(i) * 4);
    int32_t last = i + 1 < parts ? readLE32(starts + uint64_t(i + 1) * 4) : points;
    auto part = std::make_shared<CPart>();
    part->Reserve(last - first);
    for (int32_t k = first; k < last; ++k) {
      const uint8_t* p = xy + uint64_t(k) * 16;
      part->Append(std::make_shared<CPoint>(readLEDouble(p), readLEDouble(p + 8)));
    }
    shape->Append(std::move(part));
  }
  return shape;
}

bool CShapeFile::ReadPoints(int32_t index, PartPoints& out) {
  out.x.clear();
  out.y.clear();
  out.starts.clear();
  try {
    int32_t parts = 0, points = 0;
    if (loadPartRecord(index, parts, points)) return false;
    const uint8_t* starts = buffer_.data() + 44;
    const uint8_t* xy = starts + uint64_t(parts) * 4;
    for (int32_t i = 0; i < parts; ++i) out.starts.push_back(readLE32(starts + uint64_t(i) * 4));
    out.x.resize(static_cast<std::size_t>(points));
    out.y.resize(static_cast<std::size_t>(points));
    for (int32_t k = 0; k < points; ++k) {
      out.x[static_cast<std::size_t>(k)] = readLEDouble(xy + uint64_t(k) * 16);
      out.y[static_cast<std::size_t>(k)] = readLEDouble(xy + uint64_t(k) * 16 + 8);
    }
    return true;
  } catch (const ShapeError& e) {
    throw e.withSource(kItem);
  }
}

std::shared_ptr<IShape> CShapeFile::ReadMultiPoint(int32_t index) {
  auto shape = loadBoxedRecord<CMultiPoint>(index, 40, "das Rechteck und die Anzahl");
  if (shape->IsNull()) return shape;
  const uint8_t* c = buffer_.data();
  const uint64_t size = buffer_.size();
  const std::string& path = main_.path();
  const int32_t points = readLE32(c + 36);
  if (points < 0)
    throw damaged(index, path, "negative Anzahl der Punkte " + std::to_string(points));
  const uint64_t need = 40 + uint64_t(points) * 16;
  if (need > size)
    throw damaged(index, path,
                  std::to_string(points) + " Punkte brauchen " + std::to_string(need) +
                      " Bytes, der Datensatz hat " + std::to_string(size));
  for (int32_t k = 0; k < points; ++k) {
    const uint8_t* p = c + 40 + uint64_t(k) * 16;
    shape->Add(std::make_shared<CPoint>(readLEDouble(p), readLEDouble(p + 8)));
  }
  return shape;
}

}  // namespace shape
