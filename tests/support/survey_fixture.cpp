#include "support/survey_fixture.h"

namespace testsupport {

using data::Value;
using data::dbf::FieldDescriptor;

void writeTable(const std::filesystem::path& file, const std::vector<FieldDescriptor>& fields,
                const std::vector<std::vector<std::string>>& rows, const std::string& codePage) {
  data::dbf::DbfWriter writer(file, fields, codePage);
  for (const auto& row : rows) {
    std::vector<Value> values;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const std::string& text = i < row.size() ? row[i] : std::string();
      values.push_back(text.empty()              ? Value()
                       : fields[i].type != 'N'   ? Value::text(text)
                       : fields[i].decimals != 0 ? Value::real(std::stod(text))
                                                 : Value::integer(std::stoll(text)));
    }
    writer.append(values);
  }
  writer.finish();
}

void writeSurveyTables(const std::filesystem::path& folder, const std::vector<SheetRow>& sheets) {
  std::filesystem::create_directories(folder);
  std::vector<std::string> names = {"anmerk",   "artenbew", "biottyp",  "ffhnum",  "ffh_ref",
                                    "pflanzen", "pflsozio", "pfsozbew", "polygone"};
  for (const char* type : {"f", "g", "h", "k", "m", "s", "t", "w", "x"})
    names.insert(names.end(), {std::string("bg") + type, std::string("bg") + type + "2"});
  for (const auto& name : names) writeTable(folder / (name + ".dbf"), {{"GBCODE", 'C', 12, 0}}, {});
  std::vector<std::vector<std::string>> rows;
  for (const auto& s : sheets)
    rows.push_back({s.code, s.type, s.biotope, s.habitat, s.copy, s.code.substr(0, 11)});
  writeTable(folder / "GBogen.dbf",
             {{"GBCODE", 'C', 13, 0},
              {"GBBOGEN", 'C', 2, 0},
              {"GBBIOTOP", 'C', 8, 0},
              {"GBFFH1", 'C', 4, 0},
              {"GBKOPIE", 'C', 1, 0},
              {"GBPOLYGON", 'C', 11, 0}},
             rows);
}

void changeValue(const std::filesystem::path& file, uint32_t record, const std::string& field,
                 const Value& value) {
  std::vector<std::vector<Value>> rows;
  std::vector<FieldDescriptor> fields;
  std::string codePage;
  {
    const auto table = data::dbf::DbfReader::open(file);
    fields = table.fields();
    codePage = table.codePage();
    for (uint32_t r = 0; r < table.recordCount(); ++r) rows.push_back(table.record(r));
  }
  for (std::size_t f = 0; f < fields.size(); ++f)
    if (fields[f].name == field) rows.at(record)[f] = value;
  data::dbf::DbfWriter writer(file, fields, codePage);
  for (const auto& row : rows) writer.append(row);
  writer.finish();
}

void writeUmlautTable(const std::filesystem::path& resourceFolder,
                      const std::vector<std::string>& rows) {
  std::filesystem::create_directories(resourceFolder / "data");
  std::vector<std::vector<std::string>> table;
  for (const auto& r : rows) table.push_back({r});
  writeTable(resourceFolder / "data" / "umlaute2.dbf", {{"UMLAUT", 'C', 4, 0}}, table);
}

}  // namespace testsupport
