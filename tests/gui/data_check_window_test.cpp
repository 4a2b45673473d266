// "Daten prüfen": the check of the messy sample beside the event loop, its findings in the
// table as the command line reports them, filtered, sorted and saved, and a polygon's map.

#include <gmock/gmock.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "check/findings_csv.h"
#include "gui/frm_datenpruefung.h"
#include "gui/frm_main.h"
#include "gui/polygon_map_view.h"
#include "gui_fixture.h"
#include "sample/sample_database.h"
#include "sample/sample_messy.h"
#include "sample/sample_shapefile.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using guitest::child;

class DataCheckWindowTest : public guitest::GuiTest {
 protected:
  // The messy sample as `quelbrix sample-data --messy` writes it, set as the survey.
  check::CheckOptions useMessySample() {
    const fs::path db = dir_.path() / "messy";
    const sample::SampleResult written = sample::writeSampleDatabase(db, {});
    sample::makeMessy(db);
    std::vector<std::string> codes;
    for (const auto& p : written.polygons) codes.push_back(p.code);
    const fs::path shp = db / "shape" / "ffh_flaechen.shp";
    fs::create_directories(shp.parent_path());
    sample::ShapefileForm form;
    form.nullRecord = form.faultyRecords = true;
    sample::writeSampleShapefile(shp, codes, 1, form);
    settings().set(app::kDbfFilesPfad, db.string());
    settings().set(app::kShapeFilesPfad, shp.string());
    return {db, shp, check::today()};
  }

  static std::vector<QString> column(const QTableView* view, int c) {
    std::vector<QString> texts;
    for (int r = 0; r < view->model()->rowCount(); ++r)
      texts.push_back(view->model()->index(r, c).data().toString());
    return texts;
  }
};

TEST_F(DataCheckWindowTest, findingsOfTheCommandLine_filteredSortedSavedAndMapped) {
  const check::CheckOptions options = useMessySample();
  gui::frmDatenpruefung window;
  window.show();
  window.startCheck();
  EXPECT_TRUE(window.running());  // beside the event loop, which goes on
  QTRY_VERIFY_WITH_TIMEOUT(window.result() != nullptr, 60000);
  EXPECT_FALSE(window.running());
  const check::CheckResult& result = *window.result();
  auto* view = child<QTableView>(&window, "lvwBefunde");
  EXPECT_EQ(static_cast<std::size_t>(view->model()->rowCount()), result.findings.size());

  // The file the window saves holds what the command line's check finds.
  const fs::path saved = dir_.path() / "befunde.csv";
  ASSERT_TRUE(window.saveCsv(QString::fromStdString(saved.string())));
  EXPECT_EQ(testsupport::readFile(saved),
            check::findingsCsv(check::runDataCheck(options).findings));

  child<QComboBox>(&window, "cboSchwere")->setCurrentIndex(1);  // Fehler
  EXPECT_THAT(column(view, 0), ::testing::Each(QString("Fehler")));
  EXPECT_EQ(column(view, 0).size(), result.count(check::Severity::Fehler));
  view->sortByColumn(3, Qt::DescendingOrder);
  const auto records = column(view, 3);
  for (std::size_t i = 1; i < records.size(); ++i)
    EXPECT_GE(records[i - 1].toUInt(), records[i].toUInt()) << i;

  // The duplicate square on the map, its original (at the same place) among the neighbours.
  child<QLineEdit>(&window, "txtSchluessel")->setText(sample::kDuplicatePolygon);
  ASSERT_EQ(column(view, 1), std::vector<QString>{"Polygon doppelt"});
  window.showFindingOnMap(0);
  const auto* map = child<gui::PolygonMapView>(&window, "picKarte");
  EXPECT_EQ(result.shape->keyOf(map->record()), sample::kDuplicatePolygon);
  EXPECT_THAT(map->neighbours(),
              ::testing::Contains(result.shape->recordOf(sample::kOriginalPolygon)));
  EXPECT_FALSE(window.grab().isNull());
}

// A shapefile in degrees is mapped in metres: the same neighbours as around the metric original.
TEST_F(DataCheckWindowTest, mapOfDegrees_showsTheNeighboursOfTheMetricOriginal) {
  const fs::path db = dir_.path() / "tidy";
  const sample::SampleResult written = sample::writeSampleDatabase(db, {});
  std::vector<std::string> codes;
  for (const auto& p : written.polygons) codes.push_back(p.code);
  std::vector<std::vector<int32_t>> neighbours;
  for (int crs : {0, 4326}) {
    const fs::path shp = db / std::to_string(crs) / "ffh_flaechen.shp";
    fs::create_directories(shp.parent_path());
    sample::ShapefileForm form;
    form.crs = crs;
    sample::writeSampleShapefile(shp, codes, 1, form);
    const check::CheckResult result = check::runDataCheck({db, shp, check::today()});
    gui::PolygonMapView map;
    map.showRecord(result.shape, 7, std::nullopt);
    neighbours.push_back(map.neighbours());
  }
  EXPECT_FALSE(neighbours[0].empty());
  EXPECT_EQ(neighbours[1], neighbours[0]);
}

// The main window's button opens the check, which starts at once; closing the window while a
// check runs cancels it and waits for its thread.
TEST_F(DataCheckWindowTest, mainWindowButton_opensCheck_closeCancelsIt) {
  gui::frmMain main;
  QString opened;
  guitest::whenModal([&](QWidget* w) {
    opened = w->objectName();
    child<QPushButton>(w, "cmdExit")->click();
  });
  child<QPushButton>(&main, "cmdDatenPruefen")->click();
  EXPECT_EQ(opened, "frmDatenpruefung");

  gui::frmDatenpruefung window;
  window.startCheck();
  window.reject();
  EXPECT_FALSE(window.running());
}

}  // namespace
