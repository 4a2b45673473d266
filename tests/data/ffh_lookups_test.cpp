#include "data/ffh_lookups.h"

#include "support/survey_test_base.h"

namespace {

class LookupsTest : public testsupport::SurveyTestBase {
 protected:
  void SetUp() override {
    SurveyTestBase::SetUp();
    connect({{"123001000011", "GN", "", "", "1"},
             {"123001000012", "GT", "", "", "2"},
             {"123001000021", "", "", "", ""},
             {"123001000031", "F", "", "", "3"},
             {"123001000041", "F", "", "", "4"},
             {"1230010000411", "F", "", "", "3"}});
  }
};

TEST_F(LookupsTest, Lookups_TypesInQueryOrderCopiesOnlyKindsThreeAndFour) {
  std::string types = "alt";
  const auto scans = db_->fullScanSteps();
  EXPECT_EQ(data::FfhReportGetBogentypen("12300100001", types, *db_), 100);
  EXPECT_EQ(types, "GN,GT");
  EXPECT_EQ(data::FfhReportGetBogentypen("12300100002", types, *db_), 101);
  EXPECT_EQ(types, "");
  EXPECT_EQ(data::FfhReportGetBogentypen("12300100009", types, *db_), 101);
  // Copies: only kinds three and four.
  EXPECT_FALSE(data::FfhBogenIsCopy("123001000011GN", *db_));
  EXPECT_FALSE(data::FfhBogenIsCopy("123001000012GT", *db_));
  EXPECT_TRUE(data::FfhBogenIsCopy("123001000031F", *db_));
  EXPECT_TRUE(data::FfhBogenIsCopy("12300100004_", *db_));
  EXPECT_FALSE(data::FfhBogenIsCopy("12300100001_", *db_));
  // The 13-character code is a different sheet: the key's first 12 characters are tested.
  EXPECT_TRUE(data::FfhBogenIsCopy("123001000041F", *db_));
  EXPECT_EQ(db_->fullScanSteps(), scans);  // found through the index of GBCODE
}

TEST_F(LookupsTest, Lookups_QuoteInCodeIsEscapedAndFailureLogged) {
  std::string types;
  EXPECT_EQ(data::FfhReportGetBogentypen("1' OR ''='", types, *db_), 101);
  EXPECT_FALSE(data::FfhBogenIsCopy("1' OR '1'='1_", *db_));
  std::filesystem::remove(dir_.path() / "db" / "GBogen.dbf");
  db_->ConnectDBDaten();
  EXPECT_FALSE(data::FfhBogenIsCopy("12300100004_", *db_));
  EXPECT_EQ(lastLog(),
            "D2 FfhBogenIsCopy: Fehler! Die SQL-Anfrage (SELECT GBogen.GBCODE, GBogen.GBKOPIE From "
            "GBogen WHERE (GBogen.GBCODE>='12300100004' AND GBogen.GBCODE<'12300100005' AND "
            "length(GBogen.GBCODE)=12 AND (GBogen.GBKOPIE='3' OR GBogen.GBKOPIE='4'))) auf die "
            "Tabelle mit dem Index 0 schlug fehlt.");
  EXPECT_EQ(data::FfhReportGetBogentypen("12300100001", types, *db_), 101);
}

}  // namespace
