// The survey schema against itself and its document: template authors work from the document,
// the routines and the template checks from the schema, and the routines read "GBogen" by
// position, so a position that names the wrong column must fail here by name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "data/schema/gbogen_columns.h"
#include "data/schema/routine_bookmarks.h"
#include "data/schema/sheet_types.h"
#include "data/schema/survey_tables.h"
#include "support/temp_dir.h"

using ::testing::HasSubstr;
namespace schema = data::schema;

TEST(SurveySchema, document_listsEveryColumn) {
  const std::string doc =
      testsupport::readFile(std::filesystem::path(QUELBRIX_SOURCE_DIR) / "docs/survey-database.md");
  ASSERT_FALSE(doc.empty());
  int index = 1;
  for (const auto& table : schema::surveySchema()) {
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

TEST(SurveySchema, catalogue_fieldRules) {
  for (const auto& table : schema::surveySchema()) {
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
  EXPECT_EQ(&schema::surveyTable("GBOGEN"), &schema::surveyTable("gbogen"));
  EXPECT_THROW(schema::surveyTable("umlaute2"), std::out_of_range);
  EXPECT_THROW(schema::catalogueName(schema::kTableCount + 1), std::out_of_range);
}

TEST(SurveySchema, namedPositionsAndIndexes_nameTheirColumnsAndTables) {
  namespace g = schema::gbogen;
  const std::vector<std::pair<int, std::string>> columns{
      {g::kCode, "GBCODE"},           {g::kType, "GBBOGEN"},        {g::kPolygon, "GBPOLYGON"},
      {g::kBiotope, "GBBIOTOP"},      {g::kBiotope2, "GBBIOTOP2"},  {g::kBiotope6, "GBBIOTOP6"},
      {g::kFirstChoice, "GBSTRUKT"},  {g::kLastChoice, "GBALTER"},  {g::kShare, "GBANTEIL"},
      {g::kHabitat1, "GBFFH1"},       {g::kHabitat2, "GBFFH2"},     {g::kCondition, "GBEHZ"},
      {g::kRating, "GBWERT"},         {g::kProtected, "GBGESETZ"},  {g::kHabitatArea, "GBLRTFL"},
      {g::kSurveyor, "GBKARTIER"},    {g::kDate, "GBDATUM"},        {g::kLocation, "GBLAGE"},
      {g::kCopy, "GBKOPIE"},          {g::kSize, "GBGROESSE"},      {g::kComplexMark1, "GBKOMPL1"},
      {g::kComplexMark3, "GBKOMPL3"}, {g::kCopySource, "GBKOPVON"}, {g::kImpairment1, "GBBEEIN1"},
      {g::kImpairment4, "GBBEEIN4"}};
  const auto& sheets = schema::surveyTable("GBogen");
  for (const auto& [position, name] : columns) EXPECT_EQ(sheets.position(name), position) << name;
  namespace t = schema::table;
  const std::vector<std::pair<int, std::string>> tables{
      {t::kAnmerk, "anmerk"},     {t::kArtenbew, "artenbew"}, {t::kBiottyp, "biottyp"},
      {t::kFfhnum, "ffhnum"},     {t::kFfhRef, "ffh_ref"},    {t::kGBogen, "GBogen"},
      {t::kPflanzen, "pflanzen"}, {t::kPfsozbew, "pfsozbew"}, {t::kPolygone, "polygone"}};
  for (const auto& [index, name] : tables) EXPECT_EQ(schema::catalogueName(index), name);
}

// Every sheet type's tables exist, the second right after the first (the provider finds it
// there), and every template's bookmark list can be built from the schema.
TEST(SurveySchema, sheetTypes_tablesAndTemplates) {
  for (const auto& type : schema::sheetTypes()) {
    EXPECT_EQ(schema::catalogueIndex(type.table2), schema::catalogueIndex(type.table1) + 1);
    EXPECT_GT(schema::catalogueIndex(type.table1), 0) << type.code;
  }
  EXPECT_EQ(schema::documentTemplates().size(), 2 * schema::sheetTypes().size() + 1);
  EXPECT_THAT(schema::sheetBookmarks("K", "bgk", "bgk2"),
              ::testing::IsSupersetOf({"GBLAGE", "GBKOMPL14", "GBEHZC", "KOMPLTYP"}));
  EXPECT_THAT(schema::sheetBookmarks("X", "bgx", "bgx2"),
              ::testing::Not(::testing::Contains("GBKOPIE")));
  EXPECT_THROW(schema::reportBodyBookmarks("bgw", "bgw9"), std::out_of_range);
  const schema::ColumnSchema none{{"D", 'C', 1, 0}, "Gemeinde"};
  EXPECT_THROW(schema::crossValues(none), std::invalid_argument);
}
