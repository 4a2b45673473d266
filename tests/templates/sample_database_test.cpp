// The templates against the sample survey database itself: every bookmark that the sheet
// routines would write for its rows exists in the template of the row's sheet type. Unlike the
// template build's own check from the column descriptions, this catches values the database
// really holds, such as a cross value the description does not mention. (The type tables'
// columns come from the same descriptions as the sample's, so the build's check covers them.)

#include "sample/sample_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "data/dbf/dbf_file.h"
#include "dotx_inspector.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
const fs::path kBuilt = QUELBRIX_BUILT_TEMPLATES;

std::string text(const data::Value& v) {
  return v.kind() == data::Value::Kind::Text ? v.asText() : v.toText();
}

bool isTrue(const data::Value& v) {
  double number = 0;
  return v.toNumber(number) && number != 0;
}

TEST(templates_sample_database, sheet_head_bookmarks_of_every_sheet_exist) {
  const testsupport::TempDir dir;
  sample::SampleOptions options;
  options.polygons = 80;
  options.seed = 7;
  sample::writeSampleDatabase(dir.path(), options);
  const auto sheets = data::dbf::DbfReader::open(dir.path() / "GBogen.dbf");
  const auto& fields = sheets.fields();
  ASSERT_GT(sheets.recordCount(), 50u);
  std::map<std::string, testsupport::DotxPackage> templates;
  std::set<std::string> missing;
  for (uint32_t i = 0; i < sheets.recordCount(); ++i) {
    const auto row = sheets.record(i);
    const std::string type = text(row[1]);
    if (!templates.count(type))
      templates.emplace(
          type, testsupport::DotxPackage::open(kBuilt / ("TemplateBogenV2" + type + ".dotx")));
    auto need = [&](const std::string& name) {
      if (!templates.at(type).bookmarks().count(name)) missing.insert(type + ":" + name);
    };
    std::vector<int> crosses = {10, 11, 12, 13, 14, 15, 16, 20, 21};
    if (type == "K") crosses.insert(crosses.end(), {34, 35, 36});
    for (int c : crosses)
      if (!row[c].isNull()) need(fields[c].name + text(row[c]));
    if (type != "X" && !row[27].isNull() && text(row[27]) == "1") need(fields[27].name);
    for (int c : {22, 23})
      if (isTrue(row[c])) need(fields[c].name);
  }
  EXPECT_EQ(templates.size(), 10u);  // the sample holds every sheet type
  for (const auto& m : missing) ADD_FAILURE() << "no bookmark " << m;
}

}  // namespace
