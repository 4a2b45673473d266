#pragma once
// What the templates take from the survey database's column layout: the column of the sheet
// table at a binding position, a column's caption and unit for a form, and the values a cross
// column can hold. Reads the survey schema (data/schema); throws FormError when a table,
// position or value list is not there.

#include <string>
#include <vector>

#include "data/schema/survey_tables.h"

namespace forms {

// The sheet table "GBogen" and its column name at a 0-based position.
const data::schema::TableSchema& sheetTable();
std::string sheetColumn(int position);
const data::schema::TableSchema& schemaTable(const std::string& name);

struct ColumnPresentation {
  std::string caption;  // the meaning without unit and flag mark, first letter upper case
  std::string unit;     // "%", "m", "m²", "Jahre" ...; empty when the column has none
  bool flag = false;    // a column holding "X" for a feature that is present
};
ColumnPresentation presentColumn(const data::schema::ColumnSchema& column);

// The values a one-of-several cross column holds, read from its description ("1-4" or
// "A, B, C"). Throws FormError when the description names none.
std::vector<std::string> crossValues(const data::schema::ColumnSchema& column);

}  // namespace forms
