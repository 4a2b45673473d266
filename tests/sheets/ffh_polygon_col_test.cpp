#include "sheets/ffh_polygon_col.h"

#include "support/survey_test_base.h"

namespace {

class PolygonColTest : public testsupport::SurveyTestBase {
 protected:
  void SetUp() override {
    SurveyTestBase::SetUp();
    connect({{"123001000011", "F", "1.1.1", "9110", ""},
             {"123001000021", "GN", "2.2.2", "6510", "3"},
             {"123001000021", "GN", "2.2.2", "6510", "3"},  // stored twice
             {"123001000031", "H", "", "", "4"},
             {"456001000011", "GT", "1.1.1", "9130", "1"},
             {"", "F", "1.1.1", "9110", ""}});
  }
  std::vector<std::string> run(int allBio, int allHab, int allAreas, int skip) {
    data::TextSet result;
    EXPECT_EQ(sheets::FfhGetPolygonCol(*db_, bio_, allBio, hab_, allHab, types_, codes_, allAreas,
                                       skip, result),
              100);
    std::vector<std::string> keys;
    for (const auto& [k, v] : result) keys.push_back(k);
    return keys;
  }
  data::TextSet bio_, hab_, types_, codes_;
};

TEST_F(PolygonColTest, FfhGetPolygonCol_NoRestrictionsGivesEveryTypedSheetOnce) {
  for (const char* t : {"F", "GN", "GT", "H"}) types_.add(t, t);
  EXPECT_EQ(run(1, 1, 1, 0), (std::vector<std::string>{"123001000011F", "123001000021GN",
                                                       "123001000031H", "456001000011GT"}));
  EXPECT_EQ(run(1, 1, 1, 1), (std::vector<std::string>{"123001000011F", "456001000011GT"}));
}

TEST_F(PolygonColTest, FfhGetPolygonCol_EachRestrictionExcludes) {
  for (const char* t : {"F", "GN", "GT", "H"}) types_.add(t, t);
  codes_.add("123001000021", "123001000021");
  codes_.add("123001000031", "123001000031");
  EXPECT_EQ(run(1, 1, 0, 0), (std::vector<std::string>{"123001000021GN", "123001000031H"}));
  bio_.add("2.2.2", "2.2.2");
  EXPECT_EQ(run(0, 1, 0, 0), (std::vector<std::string>{"123001000021GN"}));  // Null biotope out
  hab_.add("9110", "9110");
  EXPECT_TRUE(run(0, 0, 0, 0).empty());
  types_ = data::TextSet();
  types_.add("F", "F");
  EXPECT_EQ(run(1, 0, 1, 0), (std::vector<std::string>{"123001000011F"}));
}

TEST_F(PolygonColTest, FfhGetPolygonCol_QueryFailureIsLogged) {
  std::filesystem::remove(dir_.path() / "db" / "GBogen.dbf");
  db_->ConnectDBDaten();
  data::TextSet result;
  result.add("alt", "alt");
  EXPECT_EQ(sheets::FfhGetPolygonCol(*db_, bio_, 1, hab_, 1, types_, codes_, 1, 0, result), 101);
  EXPECT_TRUE(result.empty());
  EXPECT_EQ(lastLog(),
            "D2 FfhGetPolygonCol: Fehler! Die SQL-Anfrage (SELECT gbogen.GBCODE, gbogen.GBBOGEN, "
            "gbogen.GBBIOTOP, gbogen.GBFFH1, gbogen.GBKOPIE FROM gbogen) auf die Tabelle gbogen "
            "schlug fehlt.");
}

}  // namespace
