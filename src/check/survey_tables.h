#pragma once
// The 28 tables of a survey folder, each read once and leniently for the data check: every
// record the file holds (deleted ones marked), values that could not be read as Null with their
// description, and what the reader met on the way (header count, memo file, code page).
// Reading never throws for a table: a missing or unreadable table is recorded as such.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/dbf/dbf_file.h"
#include "data/value.h"

namespace check {

struct SurveyTable {
  std::string name;       // catalogue name, e.g. "GBogen"
  std::string fileName;   // as found in the folder, e.g. "gbogen.dbf"; "" when missing
  std::string openError;  // why the table could not be read; "" when it was
  std::vector<data::dbf::FieldDescriptor> fields;
  std::vector<std::vector<data::Value>> rows;  // one per record held, from record 1
  std::vector<bool> deleted;
  std::vector<data::dbf::BadValue> badValues;  // in record order
  std::string headerNote;                      // the reader's, "" when the count was right
  uint32_t headerCount = 0;
  bool memoFileMissing = false;
  std::string codePage;
  bool codePageGuessed = false;

  bool readable() const { return !fileName.empty() && openError.empty(); }
  // Position of a column (name in any case); -1 when the table has none or was not read.
  int column(std::string_view columnName) const;
  // The value's text: "" for Null and for column -1.
  std::string text(std::size_t row, int column) const;
  const data::Value& value(std::size_t row, int column) const;
  // The field descriptor of a column.
  char type(int column) const { return fields[static_cast<std::size_t>(column)].type; }
};

// Reads one table file leniently under the given name; never throws.
SurveyTable readSurveyTable(const std::filesystem::path& file, const std::string& name);

class SurveyTables {
 public:
  // Reads the named tables (catalogue names) of folder, found without regard to case;
  // before(name) is called before each.
  static SurveyTables read(const std::filesystem::path& folder,
                           const std::vector<std::string>& names,
                           const std::function<void(const std::string&)>& before);

  // The table of that catalogue name (any case); throws std::out_of_range for another name.
  const SurveyTable& operator[](std::string_view name) const;
  const std::vector<SurveyTable>& all() const { return tables_; }

 private:
  std::vector<SurveyTable> tables_;
};

}  // namespace check
