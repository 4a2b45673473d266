#pragma once
// The 28 tables of a survey database: their names in the order of the table catalogue, what
// they hold, and their columns with dBASE type, length and meaning. Plain data built once;
// surveyTable() throws std::out_of_range for a table that is not among them.

#include <string>
#include <string_view>
#include <vector>

#include "data/dbf/dbf_file.h"

namespace data::schema {

struct ColumnSchema {
  dbf::FieldDescriptor field;
  std::string meaning;  // German; a cross column names its values ("1-4", "A, B, C")
};

struct TableSchema {
  std::string name;  // base name of the ".dbf" file, spelt as the table catalogue spells it
  std::string meaning;
  std::vector<ColumnSchema> columns;

  std::vector<dbf::FieldDescriptor> fields() const;
  // 0-based position of a column, -1 when the table has none of that name.
  int position(std::string_view column) const;
};

inline constexpr int kTableCount = 28;

// Catalogue indexes (1-based, as the generation routines and their log lines count) of the
// tables the routines read by index.
namespace table {
inline constexpr int kAnmerk = 1;
inline constexpr int kArtenbew = 2;
inline constexpr int kBiottyp = 21;
inline constexpr int kFfhnum = 22;
inline constexpr int kFfhRef = 23;
inline constexpr int kGBogen = 24;
inline constexpr int kPflanzen = 25;
inline constexpr int kPfsozbew = 27;
inline constexpr int kPolygone = 28;
}  // namespace table

// The 28 survey tables in the order of the table catalogue.
const std::vector<TableSchema>& surveySchema();
// The table of that name, compared without regard to case.
const TableSchema& surveyTable(std::string_view name);
// The name of the table at a 1-based catalogue index; throws std::out_of_range outside 1..28.
const std::string& catalogueName(int index);
// The 1-based catalogue index of a table, compared without regard to case; 0 for none.
int catalogueIndex(std::string_view name);

// The values a one-of-several cross column holds, read from its meaning ("1-4" or "A, B, C"):
// the template holds one bookmark column + value for each. Throws std::invalid_argument when
// the meaning names none.
std::vector<std::string> crossValues(const ColumnSchema& column);

}  // namespace data::schema
