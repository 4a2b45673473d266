#include "app/ffh_check_path.h"

#include "app/app_fixture.h"

namespace {

using testsupport::AppFixture;
using testsupport::writeFile;

class CheckPathTest : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    ASSERT_TRUE(startLog(dir_.path()));
    std::filesystem::create_directories(dir_.path() / "shape");
    std::filesystem::create_directories(dir_.path() / "db");
    writeFile(dir_.path() / "shape/Gebiete.shp", "");
    writeFile(dir_.path() / "shape/Gebiete.shx", "");
    writeFile(dir_.path() / "db/polygone.dbf", "");
    settings().set(app::kShapeFilesPfad, (dir_.path() / "shape/Gebiete.shp").string());
    settings().set(app::kDbfFilesPfad, (dir_.path() / "db").string());
  }

  // Runs the check and answers the one box and the last log line it produced.
  void expectFailure(const std::string& logLine, const std::string& message) {
    EXPECT_EQ(app::FfhCheckPath(), 101);
    ASSERT_EQ(ui().boxes.size(), 1u);
    EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Error);
    EXPECT_EQ(ui().boxes[0].text, message + "\nBitte überprüfen Sie die Pfade.");
    EXPECT_EQ(logLines(dir_.path()).back(), "D2 mod_subs.FfhCheckPath: Fehler! " + logLine);
  }
};

// Shapefiles of DOS-era programs name their parts in capitals: the extensions are taken
// without regard to case, the index file in whatever case it is written.
TEST_F(CheckPathTest, FfhCheckPath_ExtensionsInAnyCase) {
  for (const char* name : {"Gebiete.shp", "Gebiete.shx"})
    std::filesystem::remove(dir_.path() / "shape" / name);
  const std::string path = (dir_.path() / "shape/FFH.SHP").string();
  settings().set(app::kShapeFilesPfad, path);
  writeFile(path, "");
  expectFailure("Die shx-Datei fehlt: " + (dir_.path() / "shape/FFH.SHX").string(),
                "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei FFH.SHX.");
  for (const char* index : {"FFH.SHX", "ffh.shx"}) {
    writeFile(dir_.path() / "shape" / index, "");
    EXPECT_EQ(app::FfhCheckPath(), 100) << index;
    std::filesystem::remove(dir_.path() / "shape" / index);
  }
  ui().boxes.clear();
  const std::string other = (dir_.path() / "shape/FFH.SHPX").string();
  settings().set(app::kShapeFilesPfad, other);
  expectFailure("Die ausgewählte Datei ist kein Shapefile: " + other,
                "Die ausgewählte Datei ist kein Shapefile.");
}

TEST_F(CheckPathTest, FfhCheckPath_IndexFileMissing) {
  std::filesystem::remove(dir_.path() / "shape/Gebiete.shx");
  expectFailure("Die shx-Datei fehlt: " + (dir_.path() / "shape/Gebiete.shx").string(),
                "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei Gebiete.shx.");
}

TEST_F(CheckPathTest, FfhCheckPath_DbfPathEmpty) {
  settings().set(app::kDbfFilesPfad, "");
  expectFailure("Der Pfad für die Programm-Daten ist nicht gesetzt.",
                "Der Pfad für Programm-Daten ist nicht bestimmt.");
}

TEST_F(CheckPathTest, FfhCheckPath_AllGoodThenPolygonTableMissingOnlyInExistingFolder) {
  EXPECT_EQ(app::FfhCheckPath(), 100);
  EXPECT_TRUE(ui().boxes.empty());
  std::filesystem::remove(dir_.path() / "db/polygone.dbf");
  expectFailure("Die Programm-Daten (DBF) konnten nicht gefunden werden, Pfad: " +
                    (dir_.path() / "db").string() + "/Polygone.dbf",
                "Die Programm-Daten konnten nicht gefunden werden.");
  ui().boxes.clear();
  settings().set(app::kDbfFilesPfad, (dir_.path() / "gibt-es-nicht").string());
  EXPECT_EQ(app::FfhCheckPath(), 100);
}

TEST_F(CheckPathTest, FfhCheckPath_OutputPathEmptyOrMissing) {
  app::g_Debug().Ausgabe(1, "");  // keep the log where it is; the setting changes below
  settings().set(app::kDataFilesPfad, "");
  expectFailure("Der Pfad für die zu generierenden Daten ist nicht gesetzt.",
                "Der Pfad für die zu generierenden Daten ist nicht bestimmt.");
  ui().boxes.clear();
  settings().set(app::kDataFilesPfad, (dir_.path() / "fehlt").string());
  EXPECT_EQ(app::FfhCheckPath(), 101);
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].text,
            "Der Pfad für die zu generierenden Dateien konnte nicht gefunden werden.\nBitte "
            "überprüfen Sie die Pfade.");
}

// On the first start no path is set; the shapefile's is named first.
TEST_F(CheckPathTest, FfhCheckPath_FirstStartReportsShapePathFirst) {
  settings().set(app::kShapeFilesPfad, "");
  settings().set(app::kDbfFilesPfad, "");
  settings().set(app::kDataFilesPfad, "");
  expectFailure("Der Shpfile-Pfad ist nicht gesetzt.",
                "Der Pfad für ShapeFile-Dateien ist nicht bestimmt.");
}

}  // namespace
