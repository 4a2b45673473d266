#pragma once
// The polygon shapefile's attribute table as the cover sheets need it: per polygon code
// (POLYGONNR) the record number in the shapefile and the AREA value. Read where it lies,
// read-only and once; nothing is written beside the shapefile.

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "data/value.h"

namespace data {

// The key under which a POLYGONNR value is found: numbers (a numeric column drops the leading
// zeros) and digit texts shorter than 11 characters are written with 11 digits; other texts
// stand as they are, without trailing blanks. Null gives "".
std::string polygonKey(const Value& number);
std::string polygonKey(const std::string& code);

class ShapeAttributes {
 public:
  struct Row {
    int32_t record = 0;  // 1-based, as the shapefile counts its records
    Value area;          // AREA in square metres, Null when empty or missing
  };

  // Reads the table; throws dbf::DbfError when it cannot be read or has no POLYGONNR. Deleted
  // rows keep their record number but are not indexed.
  static ShapeAttributes read(const std::filesystem::path& dbfPath);

  // The row of the polygon code, the last one when the code occurs more than once.
  const Row* find(const std::string& polygonCode) const;
  std::size_t size() const { return rows_.size(); }
  bool hasArea() const { return hasArea_; }

 private:
  std::unordered_map<std::string, Row> rows_;
  bool hasArea_ = false;
};

}  // namespace data
