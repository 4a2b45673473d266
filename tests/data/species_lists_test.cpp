#include "data/species_lists.h"

#include <gtest/gtest.h>

#include "data/connection.h"
#include "support/survey_fixture.h"
#include "support/temp_dir.h"

namespace {

using testsupport::writeTable;
using Rows = std::vector<std::vector<std::string>>;

// artenbew: GELBOGENNR SATZNUMMER RL MENGE MENGERLG MENGERLGB MENGERLGC MENGESTR MENGEB1 MENGEB2
// pflanzen: SATZNUMMER GATTUNG ART KURZNAME SCHICHT
class SpeciesTest : public ::testing::Test {
 protected:
  data::SpeciesLists build(const Rows& assessments, const Rows& plants,
                           const Rows& sheets = {{"123001000011", "F"}, {"123001000021", "F"}}) {
    writeTable(dir_.path() / "gbogen.dbf", {{"GBCODE", 'C', 12, 0}, {"GBBOGEN", 'C', 2, 0}},
               sheets);
    std::vector<data::dbf::FieldDescriptor> a = {{"GELBOGENNR", 'C', 12, 0},
                                                 {"SATZNUMMER", 'C', 8, 0}};
    for (const char* n :
         {"RL", "MENGE", "MENGERLG", "MENGERLGB", "MENGERLGC", "MENGESTR", "MENGEB1", "MENGEB2"})
      a.push_back({n, 'C', 4, 0});
    writeTable(dir_.path() / "artenbew.dbf", a, assessments);
    writeTable(dir_.path() / "pflanzen.dbf",
               {{"SATZNUMMER", 'C', 8, 0},
                {"GATTUNG", 'C', 30, 0},
                {"ART", 'C', 30, 0},
                {"KURZNAME", 'C', 12, 0},
                {"SCHICHT", 'C', 1, 0}},
               plants);
    data::Connection c;
    c.open(dir_.path());
    data::Recordset rows = c.execute(data::speciesQuery(), {data::Value::text("123001000011")});
    rowCount_ = rows.RecordCount();
    return data::buildSpeciesLists(rows);
  }
  testsupport::TempDir dir_;
  std::size_t rowCount_ = 0;
};

const std::string kCode = "123001000011";

TEST_F(SpeciesTest, Build_NoAssessmentsGivesKeine) {
  auto lists =
      build({{"123001000021", "S001", "", "1"}}, {{"S001", "Fagus", "sylvatica", "", "B"}});
  EXPECT_TRUE(lists.species.empty());
  EXPECT_EQ(data::listText(lists.group(1)), "keine\n");
  EXPECT_EQ(data::redListText(lists.redList), "keine");
}

TEST_F(SpeciesTest, Build_LayerTextsAndGroups) {
  auto lists = build({{kCode, "S001", "", "2"},
                      {kCode, "S002", "", "3", "", "", "", "", "1"},
                      {kCode, "S003", "", "", "", "", "", "2", "", "+"},
                      {kCode, "L004", "", "r"},
                      {kCode, "B005", "", "1"},
                      {kCode, "X006", "", "1"}},
                     {{"S001", "Anemone", "nemorosa", "", "K"},
                      {"S002", "Quercus", "robur", "", "B"},
                      {"S003", "Corylus", "avellana", "", "S"},
                      {"L004", "Cladonia", "rangiferina", "", ""},
                      {"B005", "Hypnum", "cupressiforme", "", ""},
                      {"X006", "Unbekannt", "spec.", "", ""}});
  ASSERT_EQ(lists.species.size(), 6u);
  EXPECT_EQ(data::listText(lists.group(2)), "2 Anemone nemorosa\n2 STR, + B2 Corylus avellana\n");
  auto trees = lists.group(1);
  ASSERT_EQ(trees.size(), 1u);
  EXPECT_TRUE(trees[0].IstBaumart);
  EXPECT_EQ(trees[0].Bogentext, "3 K, 1 B1 Quercus robur");
  EXPECT_EQ(data::listText(lists.group(3)), "r Cladonia rangiferina\n");
  EXPECT_EQ(data::listText(lists.group(4)), "1 Hypnum cupressiforme\n");
  EXPECT_EQ(lists.group(0).size(), 1u);
  std::vector<std::string> texts = {"bromus", "Agrostis", "Ärgerkraut", "agrostis", "Zea"};
  data::sortTexts(texts);  // by a lower-case key, stable among equal keys
  EXPECT_EQ(texts,
            (std::vector<std::string>{"Agrostis", "agrostis", "bromus", "Zea", "Ärgerkraut"}));
}

TEST_F(SpeciesTest, Build_RedListLinesWithRatings) {
  auto lists = build({{kCode, "S001", "3", "1", "V", "", "2"}, {kCode, "S002", "", "1"}},
                     {{"S001", "Arnica", "montana", "", "K"}, {"S002", "Poa", "annua", "", "K"}});
  EXPECT_EQ(data::redListText(lists.redList), "Arnica montana 3, V, 2");
  EXPECT_TRUE(lists.species[0].IstRoteListeArt);
  EXPECT_FALSE(lists.species[1].IstRoteListeArt);
}

TEST_F(SpeciesTest, Build_CodeWithTwoSheetTypesListsEachAssessmentOnce) {
  auto lists = build({{kCode, "S001", "3", "1"}}, {{"S001", "Arnica", "montana", "", "K"}},
                     {{kCode, "W"}, {kCode, "T"}});
  ASSERT_EQ(rowCount_, 2u);
  EXPECT_EQ(data::listText(lists.group(2)), "1 Arnica montana\n");
  EXPECT_EQ(data::redListText(lists.redList), "Arnica montana 3");
}

}  // namespace
