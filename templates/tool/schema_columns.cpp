#include "schema_columns.h"

#include <array>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "form_error.h"

namespace forms {

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// Upper-cases the first letter, including the German lower-case umlauts in UTF-8.
std::string capitalised(std::string text) {
  if (text.empty()) return text;
  const auto first = static_cast<unsigned char>(text[0]);
  if (first >= 'a' && first <= 'z') {
    text[0] = static_cast<char>(first - 'a' + 'A');
  } else if (first == 0xC3 && text.size() > 1) {
    const auto second = static_cast<unsigned char>(text[1]);
    if (second == 0xA4 || second == 0xB6 || second == 0xBC)  // ä ö ü -> Ä Ö Ü
      text[1] = static_cast<char>(second - 0x20);
  }
  return text;
}

}  // namespace

const data::schema::TableSchema& sheetTable() {
  return schemaTable("GBogen");
}

const data::schema::TableSchema& schemaTable(const std::string& name) {
  try {
    return data::schema::surveyTable(name);
  } catch (const std::out_of_range&) {
    throw FormError("the survey database has no table \"" + name + "\"");
  }
}

std::string sheetColumn(int position) {
  const auto& columns = sheetTable().columns;
  if (position < 0 || static_cast<std::size_t>(position) >= columns.size())
    throw FormError("the sheet table has no column at position " + std::to_string(position));
  return columns[static_cast<std::size_t>(position)].field.name;
}

ColumnPresentation presentColumn(const data::schema::ColumnSchema& column) {
  ColumnPresentation out;
  std::string meaning = column.meaning;
  if (endsWith(meaning, " (X)")) {
    out.flag = true;
    meaning.resize(meaning.size() - 4);
  }
  // Units the survey tables state as "... in <unit>"; the form prints them behind the value.
  static const std::array<std::pair<std::string_view, std::string_view>, 7> kUnits = {{
      {" in %", "%"},
      {" in m²", "m²"},
      {" in m", "m"},
      {" in cm", "cm"},
      {" in ha", "ha"},
      {" in Jahren", "Jahre"},
      {" in Jahre", "Jahre"},
  }};
  for (const auto& [tail, unit] : kUnits) {
    if (endsWith(meaning, tail)) {
      out.unit = unit;
      meaning.resize(meaning.size() - tail.size());
      break;
    }
  }
  out.caption = capitalised(meaning.empty() ? column.field.name : meaning);
  return out;
}

std::vector<std::string> crossValues(const data::schema::ColumnSchema& column) {
  try {
    return data::schema::crossValues(column);
  } catch (const std::invalid_argument& e) {
    throw FormError(e.what());
  }
}

}  // namespace forms
