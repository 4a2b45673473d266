// The templates against the sample survey database itself: every bookmark that the sheet and
// report routines would write for its rows exists in the template of the row's sheet type.
// Unlike the checks from the column descriptions, this catches values the database really
// holds, such as a cross value the description does not mention.

#include "tools/sample_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "data/cls_dbf_data.h"
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

class templates_sample_database : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_.emplace();
    sample::SampleOptions options;
    options.polygons = 80;
    options.seed = 7;
    sample::writeSampleDatabase(dir_->path(), options);
  }
  static void TearDownTestSuite() { dir_.reset(); }

  static data::dbf::DbfReader table(const std::string& name) {
    return data::dbf::DbfReader::open(dir_->path() / (name + ".dbf"));
  }

  const testsupport::DotxPackage& package(const std::string& file) {
    auto it = packages_.find(file);
    if (it == packages_.end())
      it = packages_.emplace(file, testsupport::DotxPackage::open(kBuilt / file)).first;
    return it->second;
  }

  static inline std::optional<testsupport::TempDir> dir_;  // one sample for the whole suite
  std::map<std::string, testsupport::DotxPackage> packages_;
};

TEST_F(templates_sample_database, sheet_head_bookmarks_of_every_sheet_exist) {
  const auto sheets = table("GBogen");
  const auto& fields = sheets.fields();
  ASSERT_GT(sheets.recordCount(), 50u);
  std::set<std::string> types;
  std::set<std::string> missing;
  for (uint32_t i = 0; i < sheets.recordCount(); ++i) {
    const auto row = sheets.record(i);
    const std::string type = text(row[1]);
    types.insert(type);
    const auto& p = package("TemplateBogenV2" + type + ".dotx");
    auto need = [&](const std::string& name) {
      if (!p.bookmarks().count(name)) missing.insert(type + ":" + name);
    };
    std::vector<int> crosses = {10, 11, 12, 13, 14, 15, 16, 20, 21};
    if (type == "K") crosses.insert(crosses.end(), {34, 35, 36});
    for (int c : crosses)
      if (!row[c].isNull()) need(fields[c].name + text(row[c]));
    if (type != "X" && !row[27].isNull() && text(row[27]) == "1") need(fields[27].name);
    for (int c : {22, 23})
      if (isTrue(row[c])) need(fields[c].name);
    for (int c : {24, 25, 26, 17, 29, 46, 47, 48, 49}) need(fields[c].name);
  }
  EXPECT_EQ(types.size(), 10u);  // the sample holds every sheet type
  for (const auto& m : missing) ADD_FAILURE() << "no bookmark " << m;
}

TEST_F(templates_sample_database, body_columns_with_values_have_bookmarks_in_sheet_and_report) {
  data::clsDBFData catalogue;
  std::set<std::string> missing;
  int written = 0;
  for (const char* type : {"F", "GN", "GT", "H", "K", "M", "S", "T", "W", "X"}) {
    const std::string key = std::string("000000000000") + type;
    for (int16_t part : {1, 2}) {
      std::string name;
      ASSERT_TRUE(catalogue.GetTableName(key, part, name));
      const auto rows = table(name);
      for (uint32_t i = 0; i < rows.recordCount(); ++i) {
        const auto row = rows.record(i);
        for (std::size_t c = 1; c < row.size(); ++c) {
          if (row[c].isNull() || text(row[c]).empty()) continue;
          ++written;
          const std::string& column = rows.fields()[c].name;
          for (const std::string& file :
               {std::string("TemplateBogenV2"), std::string("TemplateDatenreportV2")})
            if (!package(file + type + ".dotx").bookmarks().count(column))
              missing.insert(file + type + ":" + column);
        }
      }
    }
  }
  EXPECT_GT(written, 100);
  for (const auto& m : missing) ADD_FAILURE() << "no bookmark " << m;
}

}  // namespace
