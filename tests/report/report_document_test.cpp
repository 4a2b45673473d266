// Report documents of single sheets: head, body and footer as they come back from the saved file.

#include "report/mod_ffh_report_bogen.h"
#include "report_fixture.h"
#include "support/temp_dir.h"
#include "word/run_context.h"

namespace {

using reporttest::Row;

class ReportDocumentTest : public reporttest::ReportFixture {
 protected:
  void SetUp() override {
    ReportFixture::SetUp();
    writeStandardTemplates();
    Row first = {{"GBCODE", "123001000011"},
                 {"GBBOGEN", "GN"},
                 {"GBPOLYGON", "12300100001"},
                 {"GBBIOTOP", "35111"},
                 {"GBBIOTOP2", "35112"},
                 {"GBFFH1", "6510"},
                 {"GBFFH2", "9190"},
                 {"GBKOPIE", "1"},
                 {"GBLAGE", "Am Mühlbach"},
                 {"GBBEEIN1", "B123"},
                 {"GBBEEIN2", "B"},
                 {"GBGESETZ", "T"},
                 {"GBLRTFL", "F"},
                 {"GBANTEIL", "40"},
                 {"GBKARTIER", "MKL"},
                 {"GBEHZ", "A"},
                 {"GBWERT", "2"},
                 {"GBGROESSE", "1200 m²"}};
    writeDatabase(
        {{"GBogen",
          {first,
           {{"GBCODE", "123001000012"},
            {"GBBOGEN", "GT"},
            {"GBPOLYGON", "12300100001"},
            {"GBBIOTOP", "99999"},
            {"GBKOPIE", "2"}},
           {{"GBCODE", "123001000013"},
            {"GBBOGEN", "F"},
            {"GBPOLYGON", "12300100001"},
            {"GBKOPIE", "3"}},
           {{"GBCODE", "123001000014"},
            {"GBBOGEN", "F"},
            {"GBPOLYGON", "12300100001"},
            {"GBKOPIE", "4"},
            {"GBKOPVON", "123001000011"}},
           {{"GBCODE", "123001000015"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "12300100001"}},
           {{"GBCODE", "777001000011"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "77700100001"}}}},
         {"ffhnum", {{{"FFHNR", "123"}, {"FFH_NR", "5914-301"}, {"NAME", "Wiesen am Mühlbach"}}}},
         {"ffh_ref",
          {{{"CODE_EG", "6510"}, {"CODE_ALT", "38.2"}, {"NAME", "Magere Flachland-Mähwiesen"}}}},
         {"biottyp",
          {{{"CODE", "35111"}, {"BIOTYP", "Magerwiese"}},
           {{"CODE", "35112"}, {"BIOTYP", "Feuchtwiese"}}}},
         {"bgg",
          {{{"GBCODE", "123001000011"}, {"NUTZUNG", "Mähweide"}, {"VERBUSCH", "15"}},
           {{"GBCODE", "123001000012"}, {"VERBUSCH", "5"}}}},
         {"bgg2", {{{"GBCODE", "123001000011"}, {"OBERGRAS", "30"}, {"ASPEKT", "bunt"}}}},
         {"bgf", {{{"GBCODE", "123001000013"}, {"GESTEIN", "Kalk"}, {"FELSHOEHE", "12"}}}},
         {"anmerk", {{{"GBCODE", "123001000011"}, {"ANMERKUNG", "Quellige Stellen"}}}},
         {"pfsozbew",
          {{{"GELBOGENNR", "123001000011"}, {"PFSOZ", "Arrhenatheretum"}},
           {{"GELBOGENNR", "123001000011"}},
           {{"GELBOGENNR", "123001000011"}, {"PFSOZ", "Calthion"}}}}});
  }

  // Makes the report of key and opens the saved file.
  void make(const std::string& key) {
    ASSERT_EQ(report::FfhReportGenerateBoegen(key, word::programContext(*db_), messages_), 100);
    ASSERT_TRUE(std::filesystem::exists(reportFile(key + "-Report"))) << key;
    read(reportFile(key + "-Report"));
  }
};

TEST_F(ReportDocumentTest, Head_CopyTextForEachStatusNotBold) {
  const std::pair<const char*, const char*> cases[] = {
      {"123001000011GN", "Kopiervorlage"},
      {"123001000012GT", "einfache Kopie"},
      {"123001000013F", "Kopie (von Sammelbogen Nr.: ...............)"},
      {"123001000014F", "Kopie (von Komplexbogen Nr.: 123001000011)"},
      {"123001000015F", ""}};
  for (const auto& [key, text] : cases) {
    make(key);
    EXPECT_EQ(mark("GBKOPVON"), text) << key;
  }
  const auto report = reportFile("123001000013F-Report");
  EXPECT_NE(reporttest::markFormat(report, "GBKOPVON").bold, true);
  EXPECT_EQ(reporttest::markFormat(report, "GBCODE").bold, true);
}

TEST_F(ReportDocumentTest, Head_NamesCodesKeinerRulesAndUnknownArea) {
  make("123001000011GN");
  const std::vector<std::pair<const char*, const char*>> values = {
      {"GBCODE", "123001000011"},
      {"NAME", "Wiesen am Mühlbach"},
      {"GBLAGE", "Am Mühlbach"},
      {"GBBIOTOP", "35111"},
      {"BIOHAUPTTYPNAME", "Magerwiese"},
      {"GBBIOTOP2", "35112"},
      {"BIONEBENTYPNAME", "Feuchtwiese"},
      {"CODE_EG", "6510"},
      {"LEBENSRAUMNAME", "Magere Flachland-Mähwiesen"},
      {"GBBEEIN1", "123"},
      {"GBGESETZ", "X"},
      {"GBANTEIL", "40"},
      {"GBKARTIER", "MKL"},
      {"GBGROESSE", "1200 m²"}};
  for (const auto& [name, text] : values) EXPECT_EQ(mark(name), text) << name;
  // 9190 is not in the catalogue: the code is emptied and the name says "keiner".
  for (const char* name : {"GBBIOTOP3", "GBBIOTOP4", "GBBIOTOP5", "GBBIOTOP6", "CODE_EG2",
                           "GBBEEIN2", "GBBEEIN3", "GBLRTFL"})
    EXPECT_EQ(mark(name), "") << name;
  for (const char* name : {"BIONEBENTYP2NAME", "BIONEBENTYP3NAME", "BIONEBENTYP4NAME",
                           "BIONEBENTYP5NAME", "LEBENSRAUMNAME2"})
    EXPECT_EQ(mark(name), "keiner") << name;

  make("123001000012GT");
  // An unknown biotope and an absent size leave the template text.
  const std::vector<std::pair<const char*, const char*>> sparse = {
      {"GBBIOTOP", "99999"}, {"BIOHAUPTTYPNAME", "~"},     {"BIONEBENTYPNAME", "keiner"},
      {"CODE_EG", ""},       {"LEBENSRAUMNAME", "keiner"}, {"GBGROESSE", "~"}};
  for (const auto& [name, text] : sparse) EXPECT_EQ(mark(name), text) << name;

  // An area missing from the catalogue: a warning, and its digits for a name.
  make("777001000011F");
  EXPECT_EQ(mark("NAME"), "7770");
  EXPECT_TRUE(logged("D2 Warnung! Das Polygon 777001000011 gehört nicht zu einem FFH-Gebiet."));
}

TEST_F(ReportDocumentTest, BodyAndFooter_FontTenForGrasslandNullEmptiedListsJoined) {
  make("123001000011GN");
  EXPECT_EQ(mark("VERBUSCH"), "15");
  EXPECT_EQ(mark("OBERGRAS"), "30");
  EXPECT_EQ(mark("KRAUTDECK"), "");  // Null: an empty bookmark
  EXPECT_EQ(mark("NUTZUNG"), "Mähweide");
  const auto grassland = reportFile("123001000011GN-Report");
  EXPECT_EQ(reporttest::markFormat(grassland, "VERBUSCH").sizePt, 10);
  EXPECT_EQ(reporttest::markFormat(grassland, "ASPEKT").sizePt, 10);
  EXPECT_EQ(reporttest::markFormat(grassland, "VERBUSCH").bold, true);
  EXPECT_EQ(mark("ANMERKUNGEN"), "Quellige Stellen");
  EXPECT_EQ(mark("PFLANZENSOZ"), "Arrhenatheretum, Calthion");
  ASSERT_EQ(doc_->tables().count(), 3);
  EXPECT_EQ(doc_->tables().rowCount(3), 2);                             // the "-" row went
  EXPECT_EQ(doc_->tables().cellText(3, 2, 2), "XL-Hecke, Xerophyten");  // as stored

  make("123001000012GT");
  EXPECT_EQ(mark("VERBUSCH"), "5");
  EXPECT_EQ(reporttest::markFormat(reportFile("123001000012GT-Report"), "VERBUSCH").sizePt, 10);

  make("123001000013F");
  EXPECT_EQ(mark("GESTEIN"), "Kalk");
  EXPECT_EQ(mark("FELSHOEHE"), "12");
  EXPECT_EQ(reporttest::markFormat(reportFile("123001000013F-Report"), "FELSHOEHE").sizePt, 11);
  EXPECT_EQ(mark("ANMERKUNGEN"), "keine");
  EXPECT_EQ(mark("PFLANZENSOZ"), "keine");
}

TEST_F(ReportDocumentTest, Driver_FailedHeadStillStoresDocumentAndSkipsBody) {
  testsupport::writeFile(dir_.path() / "db" / "biottyp.dbf", "kein dBASE");
  make("123001000011GN");
  EXPECT_EQ(mark("NAME"), "Wiesen am Mühlbach");
  EXPECT_EQ(mark("LEBENSRAUMNAME"), "Magere Flachland-Mähwiesen");
  EXPECT_EQ(mark("VERBUSCH"), "");      // body not filled
  EXPECT_EQ(mark("ANMERKUNGEN"), "~");  // footer not filled
  EXPECT_TRUE(
      logged("D2 FfhReportGenerateBoegen: Fehler! Der Kopfbereich für 123001000011GN "
             "konnte nicht erstellt werden."));
  EXPECT_TRUE(logged("D3 FfhReportGenerateBoegen: Datei 123001000011GN generiert."));
}

TEST_F(ReportDocumentTest, Driver_SheetsOfPolygonAndMissingTemplate) {
  std::vector<std::string> keys;
  EXPECT_EQ(report::FfhReportGetBogen("12300100001", *db_, keys), 100);
  EXPECT_EQ(keys, (std::vector<std::string>{"123001000011GN", "123001000012GT", "123001000013F",
                                            "123001000014F", "123001000015F"}));
  EXPECT_EQ(report::FfhReportGetBogen("1' OR ''='", *db_, keys), 100);
  EXPECT_TRUE(keys.empty());
  // A type without its report template: the engine is started and ended, nothing is stored.
  std::filesystem::remove(dir_.path() / "prog/Templates/TemplateDatenreportV2F.dotx");
  EXPECT_EQ(report::FfhReportGenerateBoegen("123001000013F", word::programContext(*db_), messages_),
            100);
  EXPECT_FALSE(std::filesystem::exists(reportFile("123001000013F-Report")));
  EXPECT_FALSE(logged("D3 FfhReportGenerateBoegen: Datei 123001000013F generiert."));
  EXPECT_EQ(
      report::FfhReportGenerateBoegen("123001000011GN", word::programContext(*db_), messages_),
      100);
  EXPECT_TRUE(std::filesystem::exists(reportFile("123001000011GN-Report")));
}

}  // namespace
