#include "data/area_selection.h"
#include "data/cls_node.h"

#include <gtest/gtest.h>

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

TEST(AreaSelection, Cascade_SameSubAreaUnderTwoAreasListedTwice) {
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
  EXPECT_EQ(sel.selectedSheetCodes().entries().size(), 2u);  // 123… and 456… combinations
  EXPECT_TRUE(sel.selectedSheetCodes().contains("456001000021"));
  EXPECT_TRUE(sel.selectedSheetCodes().contains("123001000021"));
  // Clicking the area list again clears the choices below it.
  sel.selectAreas({0});
  EXPECT_TRUE(sel.selectedSubAreas().empty());
  EXPECT_TRUE(sel.polygonRows().empty());
  EXPECT_FALSE(sel.polygonListEnabled());
}

TEST(AreaSelection, Cascade_EqualPolygonsUnderTwoSubAreasListedOnce) {
  AreaSelection sel(AreaSelection::Mode::Sheets);
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
  EXPECT_EQ(sel.selectedPolygonCodes(),
            (std::vector<std::string>{"12300100001", "12300100002"}));
}

}  // namespace
