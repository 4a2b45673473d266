#pragma once
// Record-by-record access to an ESRI shapefile (".shp" geometry, ".shx" index): open, read one
// record on demand, create, append. Only the two headers, the extent and the record count live
// in memory; both files stay open (RAII) until the object goes.
//
// Failure behaviour: every failure throws ShapeError. Reading refuses damaged input of any kind
// (short headers or records, offsets past the end, counts and part indexes that contradict the
// record) with a numbered error naming the file, the record and the bad value, and never
// allocates more than the file holds.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "shape/c_file_name.h"
#include "shape/c_multi_point.h"
#include "shape/part_shape.h"
#include "shape/raw_file.h"

namespace shape {

class CShapeFile {
 public:
  // Status values of SetFileSpec.
  static constexpr int32_t OPENIT = 0;
  static constexpr int32_t CREATEIT = 1;
  // Shape types the class reads and writes.
  static constexpr int32_t kNullShape = 0;
  static constexpr int32_t kPoint = 1;
  static constexpr int32_t kPolyLine = 3;
  static constexpr int32_t kPolygon = 5;
  static constexpr int32_t kMultiPoint = 8;

  double Left() const { return extent_.Left(); }
  double Right() const { return extent_.Right(); }
  double Top() const { return extent_.Top(); }
  double Bottom() const { return extent_.Bottom(); }
  int32_t Count() const { return count_; }
  int32_t FileType() const { return fileType_; }

  // Record index (from 1) as a CPoint, CPolyLine, CPolygon or CMultiPoint after the file type;
  // nullptr for other file types and for an index past the end of a point file. A null record
  // (shape type 0, legal in any shapefile) gives a shape of the file's class whose IsNull is
  // set and which has no points. Errors carry the source "CShapeFile::Item".
  std::shared_ptr<IShape> Item(int32_t index);
  // The shape type stored in record index (kNullShape for a null record), whatever the file's
  // type; throws ShapeError for an index outside 1..Count and for a record Item cannot load.
  int32_t RecordShapeType(int32_t index);

  // The points of polyline or polygon record index as stored, without making a shape of them:
  // for callers that read many records and want only their coordinates. The checks and errors
  // are Item's; false for a null record (points then empty).
  struct PartPoints {
    std::vector<double> x, y;     // of every point, part after part
    std::vector<int32_t> starts;  // where each part begins
  };
  bool ReadPoints(int32_t index, PartPoints& points);

  // Opens (OPENIT) or creates (CREATEIT, deleting files of that name) the shapefile named by the
  // ".shp" specification; shapeType is needed only for CREATEIT. A file is found without regard
  // to the letter case of its name when the exact name does not exist.
  void SetFileSpec(const CFileName& fileName, int32_t status, int32_t shapeType = 0);

  // Appends one record of the file's type; a shape whose IsNull is set becomes a null record.
  void Add(const IShape& shape);

 private:
  struct RecordHeader {
    int32_t number = 0;
    int32_t contentLength = 0;  // 16-bit words
  };
  struct IndexEntry {
    int32_t offset = 0;         // 16-bit words from the start of the main file
    int32_t contentLength = 0;  // 16-bit words
  };

  void openOrCreate(const CFileName& fileName, int32_t status, int32_t shapeType);
  std::shared_ptr<IShape> ReadPoint(int32_t index);
  std::shared_ptr<IShape> ReadPolyLine(int32_t index);
  std::shared_ptr<IShape> ReadPolygon(int32_t index);
  std::shared_ptr<IShape> ReadMultiPoint(int32_t index);
  template <class Shape>
  std::shared_ptr<IShape> readPartShape(int32_t index);
  // Loads polyline or polygon record index and checks its counts and part starts against its
  // content, which is left in buffer_. True for a null record.
  bool loadPartRecord(int32_t index, int32_t& parts, int32_t& points);
  // Loads record index, checks that its content holds at least minimum bytes and answers a new
  // shape with the record's bounding box.
  template <class Shape>
  std::shared_ptr<Shape> loadBoxedRecord(int32_t index, uint64_t minimum, const char* holds);
  bool FindOffset(int32_t index);
  void GetRecordHeader(uint64_t position);
  // Index entry, record header, record number and shape type checked; the content (shape type
  // included) is left in buffer_. True for a null record.
  bool loadRecord(int32_t index);
  // loadRecord without the check of the shape type.
  void loadContent(int32_t index);

  void PutMainHeaders();
  void PutNull();
  void PutPoints(const CPoint& point);
  void PutPolyLine(const PartShape& line, const char* source);
  void PutMultiPoints(const CMultiPoint& points);
  void PutExtent(const IShape& shape);
  // Appends an index entry and a record (header + content) and updates both file lengths.
  void appendRecord(const std::vector<uint8_t>& content, const char* source);

  int32_t fileType_ = 0;
  CFileName fileName_;
  std::array<uint8_t, 100> mainHeader_{};
  std::array<uint8_t, 100> indexHeader_{};
  RecordHeader recordHeader_;
  IndexEntry indexEntry_;
  RawFile index_;
  RawFile main_;
  int32_t count_ = 0;
  CRect extent_;
  // Index file length in bytes as far as both its header and the file itself reach.
  uint64_t indexLength_ = 0;
  // False until a shape with coordinates has set the extent of a new file.
  bool hasExtent_ = false;
  std::vector<uint8_t> buffer_;
};

}  // namespace shape
