#pragma once
// Small survey databases for tests, written with the real dBASE writer: all 28 tables with the
// columns the queries use, and the rows a test asks for.

#include <filesystem>
#include <string>
#include <vector>

#include "data/dbf/dbf_file.h"

namespace testsupport {

struct SheetRow {
  std::string code;          // GBCODE
  std::string type;          // GBBOGEN
  std::string biotope = "";  // GBBIOTOP, "" = Null
  std::string habitat = "";  // GBFFH1, "" = Null
  std::string copy = "";     // GBKOPIE, "" = Null
};

// Writes one table; values "" are written as Null.
void writeTable(const std::filesystem::path& file,
                const std::vector<data::dbf::FieldDescriptor>& fields,
                const std::vector<std::vector<std::string>>& rows,
                const std::string& codePage = "CP1252");

// Writes the 28 survey tables into folder; gbogen holds the given sheets, the others one
// column each and no rows, except where a test overwrites them afterwards.
void writeSurveyTables(const std::filesystem::path& folder, const std::vector<SheetRow>& sheets);

// Rewrites the table at file with one value changed: field (by name) of record (0-based); every
// other value, the code page and the memo texts stay.
void changeValue(const std::filesystem::path& file, uint32_t record, const std::string& field,
                 const data::Value& value);

// Writes folder/data/umlaute2.dbf with the given rows ("" = Null).
void writeUmlautTable(const std::filesystem::path& resourceFolder,
                      const std::vector<std::string>& rows);

}  // namespace testsupport
