#include "check/survey_tables.h"

#include <stdexcept>

#include "base/ascii_case.h"
#include "base/file_lookup.h"

namespace check {
namespace {

const data::Value kNull;

}  // namespace

SurveyTable readSurveyTable(const std::filesystem::path& file, const std::string& name) {
  SurveyTable t;
  t.name = name;
  if (file.empty()) return t;
  t.fileName = file.filename().string();
  try {
    const auto reader = data::dbf::DbfReader::open(
        file, {.withoutMemoFile = true, .shortFile = true, .codePage = {}});
    t.fields = reader.fields();
    t.headerNote = reader.headerNote();
    t.headerCount = reader.headerRecordCount();
    t.memoFileMissing = reader.memoFileMissing();
    t.codePage = reader.codePage();
    t.codePageGuessed = reader.codePageGuessed();
    t.rows.reserve(reader.recordCount());
    t.deleted.reserve(reader.recordCount());
    for (uint32_t r = 0; r < reader.recordCount(); ++r) {
      t.deleted.push_back(reader.isDeleted(r));
      t.rows.push_back(reader.record(r, t.badValues));
    }
  } catch (const data::dbf::DbfError& e) {
    t.openError = e.what();
    t.fields.clear();
    t.rows.clear();
    t.deleted.clear();
    t.badValues.clear();
  }
  return t;
}

int SurveyTable::column(std::string_view columnName) const {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (base::equalsNoCase(fields[i].name, columnName)) return static_cast<int>(i);
  return -1;
}

const data::Value& SurveyTable::value(std::size_t row, int column) const {
  if (column < 0) return kNull;
  return rows[row][static_cast<std::size_t>(column)];
}

std::string SurveyTable::text(std::size_t row, int column) const {
  const data::Value& v = value(row, column);
  return v.kind() == data::Value::Kind::Text ? v.asText() : v.toText();
}

SurveyTables SurveyTables::read(const std::filesystem::path& folder,
                                const std::vector<std::string>& names,
                                const std::function<void(const std::string&)>& before) {
  SurveyTables out;
  out.tables_.reserve(names.size());
  for (const auto& name : names) {
    if (before) before(name);
    out.tables_.push_back(readSurveyTable(base::findFileNoCase(folder, name + ".dbf"), name));
  }
  return out;
}

const SurveyTable& SurveyTables::operator[](std::string_view name) const {
  for (const auto& t : tables_)
    if (base::equalsNoCase(t.name, name)) return t;
  throw std::out_of_range("no survey table " + std::string(name));
}

}  // namespace check
