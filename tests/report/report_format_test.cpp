#include "report/report_format.h"

#include <gtest/gtest.h>

#include <clocale>

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
