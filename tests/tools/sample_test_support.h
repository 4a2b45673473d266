#pragma once
// Reading whole sample tables by column name, for the sample tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "data/dbf/dbf_file.h"

namespace sampletest {

// A table read completely; values by row and column name.
struct LoadedTable {
  std::vector<data::dbf::FieldDescriptor> fields;
  std::vector<std::vector<data::Value>> rows;
  std::map<std::string, size_t> columns;

  const data::Value& at(size_t row, const std::string& column) const {
    return rows.at(row).at(columns.at(column));
  }
  std::string text(size_t row, const std::string& column) const {
    const auto& v = at(row, column);
    return v.isNull() ? std::string() : v.toText();
  }
};

inline LoadedTable load(const std::filesystem::path& file) {
  const auto reader = data::dbf::DbfReader::open(file);
  LoadedTable t;
  t.fields = reader.fields();
  for (size_t i = 0; i < t.fields.size(); ++i) t.columns[t.fields[i].name] = i;
  for (uint32_t r = 0; r < reader.recordCount(); ++r) t.rows.push_back(reader.record(r));
  return t;
}

}  // namespace sampletest
