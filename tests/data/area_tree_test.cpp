#include <gtest/gtest.h>

#include <set>

#include "data/area_selection.h"
#include "data/cls_node.h"

namespace {

using data::AreaRoots;
using data::AreaSelection;
using data::clsNode;

AreaRoots tree(const std::vector<std::string>& codes) {
  AreaRoots roots;
  for (const auto& code : codes) {
    const std::string area = code.substr(0, 3);
    if (!roots.contains(area)) {
      auto root = std::make_shared<clsNode>();
      root->setNodeType("FFHGebiet");
      root->setNodeValue(area);
      roots.add(area, root);
    }
    (*roots.find(area))->addGBCode(code);
  }
  return roots;
}

TEST(AreaTree, AddGBCode_SplitsIntoSubAreaAndPolygon) {
  auto roots = tree({"123001000011", "123001000012", "123001000012GN"});
  auto root = roots.find("123")->get();
  ASSERT_EQ(root->NodeCount(), 1);
  auto sub = root->NodeItem(1);
  EXPECT_EQ(sub->getNodeType(), "Teilgebiet");
  EXPECT_EQ(sub->getNodeValue(), "001");
  ASSERT_EQ(sub->NodeCount(), 2);
  EXPECT_EQ(sub->NodeItem(1)->getNodeValue(), "000011");
  EXPECT_EQ(sub->NodeItem(2)->getNodeType(), "Polygon");
  EXPECT_EQ(sub->NodeItem(0), nullptr);
  EXPECT_EQ(sub->NodeItem(3), nullptr);
  EXPECT_TRUE(sub->NodeItem(1)->addGBCode("123001000011"));
  EXPECT_EQ(sub->NodeItem(1)->NodeCount(), 0);
}

TEST(AreaSelection, Cascade_SameSubAreaTwiceEqualPolygonsOnce) {
  AreaSelection sel(AreaSelection::Mode::Sheets);
  sel.SetBogenNumbers(tree({"123001000011", "456001000021", "456001000031"}));
  EXPECT_EQ(sel.areaRows(), (std::vector<std::string>{"123", "456"}));
  EXPECT_FALSE(sel.subAreaListEnabled());
  sel.selectAllAreas();
  EXPECT_EQ(sel.subAreaRows(), (std::vector<std::string>{"001", "001"}));
  EXPECT_TRUE(sel.subAreaListEnabled());
  EXPECT_FALSE(sel.polygonListEnabled());
  sel.selectSubAreas({1});
  EXPECT_EQ(sel.polygonRows(), (std::vector<std::string>{"000021", "000031"}));
  sel.selectPolygons({0});
  // The row stands for area 456's sub-area: no code is made up for area 123.
  EXPECT_EQ(sel.selectedSheetCodes().entries(),
            (std::vector<data::TextSet::Entry>{{"456001000021", "456001000021"}}));
  // Clicking the area list again clears the choices below it.
  sel.selectAreas({0});
  EXPECT_TRUE(sel.selectedSubAreas().empty());
  EXPECT_TRUE(sel.polygonRows().empty());
  EXPECT_FALSE(sel.polygonListEnabled());
  // Equal polygons under two sub-areas of one area are listed once.
  sel.SetBogenNumbers(tree({"123001000011", "123002000011", "123002000021"}));
  sel.selectAllAreas();
  sel.selectAllSubAreas();
  EXPECT_EQ(sel.polygonRows(), (std::vector<std::string>{"000011", "000021"}));
}

TEST(AreaSelection, ReportMode_FoldsPartsIntoOnePolygonRow) {
  AreaSelection sel(AreaSelection::Mode::Report);
  sel.SetBogenNumbers(tree({"123001000011", "123001000012", "123001000021"}));
  sel.selectAreasByValue({"123"});
  EXPECT_TRUE(sel.selectSubAreasByValue({"001", "999"}) == std::vector<std::string>{"999"});
  EXPECT_EQ(sel.polygonRows(), (std::vector<std::string>{"00001", "00002"}));
  sel.selectAllPolygons();
  EXPECT_EQ(sel.selectedPolygonCodes(), (std::vector<std::string>{"12300100001", "12300100002"}));
}

// Whole surveys: a sub-area with more polygons than a 16-bit count holds lists all of them, and
// selecting everything of many areas names each existing code once instead of every area ×
// sub-area × polygon row.
TEST(AreaSelection, LargeSurvey_EveryPolygonListedAndNamedOnce) {
  struct Case {
    int areas, subAreas, polygons;  // polygons per sub-area
  };
  for (const Case c : {Case{1, 1, 70000}, Case{400, 3, 60}}) {
    std::vector<std::string> codes;
    for (int a = 1; a <= c.areas; ++a)
      for (int s = 1; s <= c.subAreas; ++s)
        for (int p = 1; p <= c.polygons; ++p)
          codes.push_back(data::formatDigits(std::to_string(a), 3) +
                          data::formatDigits(std::to_string(s), 3) +
                          data::formatDigits(std::to_string(p), 6));
    const AreaRoots roots = tree(codes);
    EXPECT_EQ((*roots.find("001"))->NodeItem(1)->NodeCount(), std::size_t(c.polygons));
    for (const auto mode : {AreaSelection::Mode::Sheets, AreaSelection::Mode::Report}) {
      AreaSelection sel(mode);
      sel.SetBogenNumbers(roots);
      sel.selectAllAreas();
      sel.selectAllSubAreas();
      sel.selectAllPolygons();
      if (mode == AreaSelection::Mode::Sheets) {
        EXPECT_EQ(sel.polygonRows().size(), std::size_t(c.polygons)) << c.areas;
        const data::TextSet chosen = sel.selectedSheetCodes();
        ASSERT_EQ(chosen.size(), codes.size()) << c.areas;
        EXPECT_TRUE(chosen.contains(codes.back()));
      } else {
        // One code per polygon, whatever its parts.
        std::set<std::string> polygons;
        for (const auto& code : codes) polygons.insert(code.substr(0, 11));
        const auto named = sel.selectedPolygonCodes();
        EXPECT_EQ(std::set<std::string>(named.begin(), named.end()), polygons) << c.areas;
        EXPECT_EQ(named.size(), polygons.size()) << c.areas;
      }
    }
  }
}

}  // namespace
