#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/resource_folder.h"
#include "shape/c_file_name.h"
#include "shape/c_shape_file.h"
#include "support/cli_fixture.h"
#include "support/read_only_folder.h"
#include "support/survey_fixture.h"

using ::testing::HasSubstr;

namespace {

class CliTest : public testsupport::CliFixture {
 protected:
  void SetUp() override {
    app::setResourceFolder(dir_.path() / "res");
    std::filesystem::create_directories(dir_.path() / "res");
    std::filesystem::copy(QUELBRIX_TEMPLATE_DIR, dir_.path() / "res" / "Templates");
    testsupport::writeUmlautTable(dir_.path() / "res", {"ä", "ö", "ü", "Ä", "Ö", "Ü", "ß"});
    testsupport::writeSurveyTables(
        dir_.path() / "db", {{"123001000011", "F"}, {"123001000012", "GN"}, {"456002000021", "F"}});
    std::filesystem::create_directories(dir_.path() / "out");
    std::filesystem::create_directories(dir_.path() / "shape");
    shape::CFileName name;
    name.SetFileSpec((dir_.path() / "shape/p.shp").string());
    shape::CShapeFile().SetFileSpec(name, shape::CShapeFile::CREATEIT, shape::CShapeFile::kPolygon);
    testsupport::writeTable(dir_.path() / "shape/p.dbf", {{"POLYGONNR", 'C', 11, 0}}, {});
  }
  void TearDown() override { app::setResourceFolder({}); }

  std::vector<std::string> with(const std::vector<std::string>& tail) const {
    return folders(dir_.path() / "db", dir_.path() / "shape/p.shp", tail);
  }
};

TEST_F(CliTest, Check_PassesOnCompleteFoldersAndWritesLogOnRequest) {
  EXPECT_EQ(run(with({"check"})), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "Koordinatensystem der Shape-Datei: keines (die Shape-Datei hat keine .prj-Datei)\n"
            "Alle Prüfungen bestanden.\n");
  testsupport::writeFile(
      dir_.path() / "shape/p.prj",
      "PROJCS[\"ETRS_1989_UTM_Zone_32N\",GEOGCS[\"GCS_ETRS_1989\",DATUM[\"D_ETRS_1989\",SPHEROID["
      "\"GRS_1980\",6378137.0,298.257222101]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0."
      "0174532925199433]],PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\","
      "500000.0],PARAMETER[\"False_Northing\",0.0],PARAMETER[\"Central_Meridian\",9.0],PARAMETER["
      "\"Scale_Factor\",0.9996],PARAMETER[\"Latitude_Of_Origin\",0.0],UNIT[\"Meter\",1.0]]");
  EXPECT_EQ(run(with({"check"})), 0) << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("Shape-Datei: ETRS89 / UTM zone 32N (EPSG:25832)\n"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "out/FehlerReport2.log"));
  EXPECT_EQ(run(with({"--log", "check"})), 0);
  std::string log = testsupport::readFile(dir_.path() / "out/FehlerReport2.log");
  EXPECT_EQ(log.rfind("D1 #+++", 0), 0u);
  EXPECT_THAT(log, HasSubstr("D1 Programm beendet "));
}

TEST_F(CliTest, Check_FailsWithGermanMessage) {
  EXPECT_EQ(run({"check"}), 1);
  EXPECT_EQ(err_.str(),
            "Fehler: Der Pfad für ShapeFile-Dateien ist nicht bestimmt.\nBitte überprüfen Sie die "
            "Pfade.\n");
  testsupport::writeFile(dir_.path() / "shape/p.shp", "");  // no map could be drawn from it
  EXPECT_EQ(run(with({"check"})), 1);
  EXPECT_THAT(err_.str(),
              HasSubstr("Fehler! Die Shape-Datei " + (dir_.path() / "shape/p.shp").string() +
                        " ist nicht lesbar: "));
  std::filesystem::remove(dir_.path() / "db/bgx2.dbf");
  EXPECT_EQ(run(with({"check"})), 1);
  EXPECT_THAT(err_.str(), HasSubstr("Die Programm-Daten sind nicht korrekt."));
}

// An output folder nothing can be written into fails the check (as a run would fail in it).
TEST_F(CliTest, Check_FailsOnReadOnlyOutputFolder) {
  const testsupport::ReadOnlyFolder readOnly(dir_.path() / "out");
  if (!readOnly.binding()) GTEST_SKIP() << "file permissions cannot be made to bind";
  EXPECT_EQ(run(with({"check"})), 1);
  EXPECT_EQ(err_.str(), "Fehler: In den Ausgabeordner " + (dir_.path() / "out").string() +
                            " kann nicht geschrieben werden: keine Schreibberechtigung.\n");
}

TEST_F(CliTest, Check_NamesEveryUnusableTemplate) {
  const auto templates = dir_.path() / "res" / "Templates";
  std::filesystem::remove(templates / "TemplateBogenV2GN.dotx");
  testsupport::writeFile(templates / "TemplateDatenreportV2Deckblatt.dotx", "kein Paket");
  EXPECT_EQ(run(with({"check"})), 1);
  EXPECT_THAT(err_.str(),
              HasSubstr("Die Vorlage " + (templates / "TemplateBogenV2GN.dotx").string() +
                        " ist unbrauchbar: die Datei fehlt."));
  EXPECT_THAT(err_.str(),
              HasSubstr("TemplateDatenreportV2Deckblatt.dotx ist unbrauchbar: die Datei ist "
                        "kein lesbares Dokumentpaket"));
}

TEST_F(CliTest, List_PrintsTreeThenKeysOrCodesAndUnknownValuesAreRefused) {
  EXPECT_EQ(run(with({"list", "--types", "F,GN"})), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "FFH-Gebiet 123\n  Teilgebiet 001\n    Polygon 000011\n    Polygon 000012\n"
            "FFH-Gebiet 456\n  Teilgebiet 002\n    Polygon 000021\n\n"
            "123001000011F\n123001000012GN\n456002000021F\n");
  EXPECT_EQ(run(with({"list", "--types", "F", "--report"})), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n\n123001000011\n456002000021\n"));
  EXPECT_EQ(run(with({"list", "--format", "tsv"})), 0);
  EXPECT_EQ(out_.str(),
            "FFH-Gebiet\tTeilgebiet\tPolygon\tTeil\tBogentyp\tBogenschlüssel\n"
            "123\t001\t00001\t1\tF\t123001000011F\n123\t001\t00001\t2\tGN\t123001000012GN\n"
            "456\t002\t00002\t1\tF\t456002000021F\n");
  // Wrong values are wrong calls.
  EXPECT_EQ(run(with({"list", "--types", "Q"})), 2);
  EXPECT_EQ(run(with({"report"})), 2);  // neither areas nor --all
  EXPECT_EQ(run(with({"report", "--areas", "999"})), 2);
  EXPECT_THAT(err_.str(), HasSubstr("Unbekannter Wert für --areas: 999"));
  // Both generating commands take the areas alike.
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"sheets", "--yes"}, std::vector<std::string>{"report"}}) {
    auto call = [&](std::vector<std::string> options) {
      options.insert(options.begin(), command.begin(), command.end());
      return run(with(options));
    };
    EXPECT_EQ(call({"--all", "--areas", "123"}), 2) << command[0];
    EXPECT_THAT(err_.str(), HasSubstr("--all schließt --areas, --subareas und --polygons aus."));
    EXPECT_EQ(call({"--polygons", "99999"}), 2) << command[0];
    EXPECT_THAT(err_.str(), HasSubstr("Unbekannter Wert für --polygons: 99999"));
  }
}

// Without a survey folder, list says so as the path check does, not as an unexpected error.
TEST_F(CliTest, List_WithoutSurveyFolderGivesThePathMessage) {
  EXPECT_EQ(run({"list"}), 1);
  EXPECT_EQ(err_.str(),
            "Fehler: Der Pfad für Programm-Daten ist nicht bestimmt.\nBitte überprüfen Sie die "
            "Pfade.\n");
  EXPECT_EQ(run({"--db", (dir_.path() / "nirgends").string(), "list"}), 1);
  EXPECT_EQ(err_.str(),
            "Fehler: Die Programm-Daten konnten nicht gefunden werden.\nBitte überprüfen Sie die "
            "Pfade.\n");
}

TEST_F(CliTest, Settings_ShowAndStoreOnlyWhatARunCanUse) {
  stored_[app::kDataFilesPfad] = "/ablage";
  EXPECT_EQ(run({"settings"}), 0);
  EXPECT_THAT(out_.str(), HasSubstr("DataFilesPfad=/ablage\n"));
  EXPECT_EQ(run({"settings", "DataFilesPfad"}), 0);
  EXPECT_EQ(out_.str(), "/ablage\n");
  const std::string shp = (dir_.path() / "shape/p.shp").string();
  testsupport::writeFile(dir_.path() / "shape/ohne.shp", "");
  struct Case {
    const char *key, *value;
    int status;
  };
  for (const Case& c :
       {Case{"DataFilesPrint", "1", 0}, Case{"ErrorReport", "0", 0}, Case{"DataFilesPfad", "", 0},
        Case{"DbfFilesPfad", "db", 0}, Case{"ShapeFilesPfad", shp.c_str(), 0},
        Case{"DataFilesPrint", "ja", 2}, Case{"ErrorReport", "2", 2},
        Case{"DbfFilesPfad", "fehlt", 2}, Case{"ShapeFilesPfad", "shape/ohne.shp", 2},
        Case{"ShapeFilesPfad", "db/bgx2.dbf", 2}, Case{"Unsinn", "1", 2}}) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    // Relative paths are taken from the current folder.
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    EXPECT_EQ(run({"settings", c.key, c.value}), c.status) << err_.str();
    std::filesystem::current_path(before);
    EXPECT_EQ(out_.str().ends_with(" gespeichert\n"), c.status == 0);
  }
  EXPECT_EQ(run({"settings", "ShapeFilesPfad", (dir_.path() / "shape/ohne.shp").string()}), 2);
  EXPECT_EQ(err_.str(),
            "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei ohne.shx. Nichts "
            "gespeichert.\n");
}

// The log is kept for runs and checks, not for reading or storing settings and listing.
TEST_F(CliTest, Log_OnlyForCommandsThatWork) {
  stored_[app::kErrorReport] = "0";
  stored_[app::kDataFilesPfad] = (dir_.path() / "out").string();
  const auto log = dir_.path() / "out" / "FehlerReport2.log";
  EXPECT_EQ(run({"settings"}), 0);
  EXPECT_EQ(run({"--db", (dir_.path() / "db").string(), "list"}), 0) << err_.str();
  EXPECT_EQ(run({"sheets", "--help"}), 0);
  EXPECT_FALSE(std::filesystem::exists(log));
  EXPECT_EQ(run(with({"check"})), 0);
  EXPECT_TRUE(std::filesystem::exists(log));
}

}  // namespace
