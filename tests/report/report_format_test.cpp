#include "report/report_format.h"

#include <gtest/gtest.h>

#include <clocale>

#include "report/map_outline.h"

namespace {

TEST(ReportFormat, formatNumberGroups_DropsLeadingZerosAndKeepsSeparators) {
  EXPECT_EQ(report::formatNumberGroups("123001000011", "### ### #### ##"), "123 001 0000 11");
  EXPECT_EQ(report::formatNumberGroups("007001000011", "### ### #### ##"), "7 001 0000 11");
  EXPECT_EQ(report::formatNumberGroups("000001000011", "### ### #### ##"), " 1 0000 11");
  // Digits beyond the placeholders go in front.
  EXPECT_EQ(report::formatNumberGroups("1230010000411", "### ### #### ##"), "1230 010 0004 11");
  EXPECT_EQ(report::formatNumberGroups("12A", "### ### #### ##"), "12A");
}

TEST(ReportFormat, formatTextGroups_FillsFromTheRight) {
  EXPECT_EQ(report::formatTextGroups("12300100001", "&&& &&& &&&&&"), "123 001 00001");
  EXPECT_EQ(report::formatTextGroups("35111", "&&&"), "35111");
  EXPECT_EQ(report::formatTextGroups("3", "&&&"), "3");
  EXPECT_EQ(report::formatTextGroups("1234567", "&&& &&& &&&&&"), " 12 34567");
  EXPECT_EQ(report::formatTextGroups("Ä1", "&&&"), "Ä1");
}

TEST(ReportFormat, hectareText_RoundedSingleInGermanNotation) {
  // Under the C locale too: a German form never gets a decimal point.
  EXPECT_EQ(report::hectareText(data::Value::real(500)), "0,05");
  EXPECT_EQ(report::hectareText(data::Value::real(125)), "0,01");
  EXPECT_EQ(report::hectareText(data::Value::real(49)), "0");
  EXPECT_EQ(report::hectareText(data::Value::real(50)), "0,01");  // half away from zero
  EXPECT_EQ(report::hectareText(data::Value::real(123000)), "12,3");
  EXPECT_EQ(report::hectareText(data::Value::real(25000000)), "2500");
  EXPECT_EQ(report::hectareText(data::Value::real(123456789.0)), "12345,68");
  EXPECT_EQ(report::hectareText(data::Value()), "0");
  EXPECT_EQ(report::hectareText(data::Value::text("kein Wert")), "0");
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  const std::string german = report::hectareText(data::Value::real(123000));
  const std::string wholeSquareMetres = report::hectareText(data::Value::integer(123000));
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(german, "12,3");
  EXPECT_EQ(wholeSquareMetres, "12,3");
}

TEST(ReportFormat, withoutFirstCharacter_CountsCharacters) {
  EXPECT_EQ(report::withoutFirstCharacter("B123"), "123");
  EXPECT_EQ(report::withoutFirstCharacter("B"), "");
  EXPECT_EQ(report::withoutFirstCharacter(""), "");
  EXPECT_EQ(report::withoutFirstCharacter("Ü12"), "12");
}

}  // namespace

// Outlines as the map shows them: points within the tolerance of the kept line go, the ring
// stays closed, and a ring that would fall below a triangle stays whole.
TEST(MapOutline, simplifiedRing_LeavesOutWhatTheMapCannotShow) {
  // A square with a point bulging 0.1 out of its right side and one 2 out of its top.
  const word::Ring ring = {{0, 0}, {0, 10}, {5, 12}, {10, 10}, {10.1f, 5}, {10, 0}, {0, 0}};
  EXPECT_EQ(report::simplifiedRing(ring, 0.5f),
            (word::PointList{{0, 0}, {0, 10}, {5, 12}, {10, 10}, {10, 0}, {0, 0}}));
  EXPECT_EQ(report::simplifiedRing(ring, 3).size(), 5u);  // the square, closed
  const word::Ring sliver = {{0, 0}, {0, 0.1f}, {5, 0.1f}, {5, 0}, {0, 0}};
  EXPECT_EQ(report::simplifiedRing(sliver, 1).size(), 5u);
}

// Two squares sharing an edge and a third apart: the first and third stay closed rings, of
// the second only its three edges of its own remain, as one open line.
TEST(MapOutline, outlinesOnce_DrawsASharedEdgeOnce) {
  auto square = [](float x) {
    return word::Ring{{x, 0}, {x, 10}, {x + 10, 10}, {x + 10, 0}, {x, 0}};
  };
  const word::Ring a = square(0), b = square(10), c = square(30);
  EXPECT_EQ(report::outlinesOnce({&a, &b, &c}, 0.25f),
            (std::vector<word::PointList>{{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}},
                                          {{10, 10}, {20, 10}, {20, 0}, {10, 0}},
                                          {{30, 0}, {30, 10}, {40, 10}, {40, 0}, {30, 0}}}));
  // Where a line ends on another, that one keeps the point, however straight it runs there.
  const word::Ring d = {{0, 0}, {0, 10}, {10, 10}, {10, 5}, {10, 0}, {0, 0}};
  const word::Ring e = {{10, 5}, {10, 10}, {20, 10}, {20, 5}, {10, 5}};
  EXPECT_EQ(report::outlinesOnce({&d, &e}, 0.25f),
            (std::vector<word::PointList>{{{0, 0}, {0, 10}, {10, 10}, {10, 5}, {10, 0}, {0, 0}},
                                          {{10, 10}, {20, 10}, {20, 5}, {10, 5}}}));
  EXPECT_EQ(report::simplifiedRing(d, 0.25f).size(), 5u);  // alone, it goes
}

TEST(MapOutline, shareOut_OneEachUntilTheShapesRunOut) {
  EXPECT_EQ(report::shareOut(3, 250), (std::vector<std::size_t>{1, 1, 1}));
  EXPECT_EQ(report::shareOut(7, 3), (std::vector<std::size_t>{3, 3, 1}));
  EXPECT_TRUE(report::shareOut(0, 3).empty());
}
