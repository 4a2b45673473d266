// The database document and the schema in code must describe the same columns, since template
// authors work from the document and template checks from the schema.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "support/temp_dir.h"
#include "tools/sample_schema.h"

using ::testing::HasSubstr;

TEST(SampleSchema, document_listsEveryColumn) {
  const std::string doc =
      testsupport::readFile(std::filesystem::path(QUELBRIX_SOURCE_DIR) / "docs/survey-database.md");
  ASSERT_FALSE(doc.empty());
  int index = 1;
  for (const auto& table : sample::surveySchema()) {
    const std::string heading = "### " + std::to_string(index++) + " " + table.name + "\n";
    const size_t start = doc.find(heading);
    ASSERT_NE(start, std::string::npos) << heading;
    const size_t end = doc.find("\n### ", start + heading.size());
    const std::string section = doc.substr(start, end == std::string::npos ? end : end - start);
    for (size_t i = 0; i < table.columns.size(); ++i) {
      const auto& f = table.columns[i].field;
      const std::string row = "| " + std::to_string(i) + " | " + f.name + " | " +
                              std::string(1, f.type) + " | " + std::to_string(f.length) + " | " +
                              std::to_string(f.decimals) + " | ";
      EXPECT_THAT(section, HasSubstr(row));
    }
  }
}

// The catalogue's order and names: see the document test above.
TEST(SampleSchema, catalogue_fieldRules) {
  for (const auto& table : sample::surveySchema()) {
    std::set<std::string> names;
    for (const auto& c : table.columns) {
      EXPECT_LE(c.field.name.size(), 10u) << c.field.name;
      EXPECT_TRUE(names.insert(c.field.name).second) << table.name << "." << c.field.name;
      EXPECT_FALSE(c.meaning.empty()) << c.field.name;
    }
    // The sheet-type tables are read by GBCODE and never write their first column.
    if (table.name.starts_with("bg")) {
      EXPECT_EQ(table.columns.at(0).field.name, "GBCODE");
    }
  }
  EXPECT_EQ(&sample::surveyTable("GBOGEN"), &sample::surveyTable("gbogen"));
  EXPECT_THROW(sample::surveyTable("umlaute2"), std::out_of_range);
}
