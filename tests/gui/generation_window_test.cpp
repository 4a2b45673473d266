// What both generation windows do alike: captions and the idle state, a run with its status
// line and message file, cancel, the end of the program on a fatal error and the end of a run on
// a database failure; then the report window's own lists.

#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include "data/provider_error.h"
#include "generation_window_fixture.h"
#include "print/pdf_join.h"
#include "print/real_chain.h"
#include "support/survey_fixture.h"

namespace fs = std::filesystem;

namespace {

using guitest::clickRow;
using guitest::rows;
using guitest::WindowKind;

class GenerationWindowTest : public guitest::WindowTest,
                             public ::testing::WithParamInterface<WindowKind> {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    open(GetParam());
  }
};

TEST_P(GenerationWindowTest, captions_and_idle_state) {
  const WindowKind& kind = GetParam();
  EXPECT_EQ(window_->windowTitle(), "Datenreport");
  EXPECT_EQ(c<QLabel>("lblHeadline")->text(), kind.headline);
  EXPECT_EQ(c<QLabel>("lblPolygon")->text(), kind.polygonLabel);
  EXPECT_EQ(c<QPushButton>("cmdGenerate")->text(), kind.generate);
  EXPECT_EQ(c<QPushButton>("cmdCancel")->text(), "Abbrechen");
  EXPECT_EQ(c<QPushButton>("cmdExit")->text(), "Verlassen");
  EXPECT_EQ(c<QLabel>("lblTime")->text(), "00:00:00");
  EXPECT_EQ(c<QLabel>("lblProgress")->text(), "Gesamtdauer");
  EXPECT_FALSE(c<QCheckBox>("chkEmpty")->isChecked());
  EXPECT_FALSE(c<QCheckBox>("chkEmpty")->isEnabled());
  EXPECT_FALSE(c<QCheckBox>("chkKopien")->isChecked());
  EXPECT_TRUE(c<QCheckBox>("chkKopien")->isEnabled());
  EXPECT_FALSE(c<QPushButton>("cmdCancel")->isEnabled());
  EXPECT_FALSE(window_->findChild<QTimer*>("Timer1")->isActive());
  EXPECT_EQ(rows(c<QListWidget>("lstFFHGebiet")), (std::vector<std::string>{"059", "364", "734"}));
}

TEST_P(GenerationWindowTest, run_makes_the_choice_and_removes_an_old_message_file) {
  testsupport::writeFile(out_ / "MessageReport.txt", "alt\r\n");
  fs::permissions(out_ / "MessageReport.txt", fs::perms::owner_read);
  GetParam().choose(window_.get());
  const auto expected = GetParam().expected(*db_);
  ASSERT_GT(expected.size(), 2u);
  press();
  EXPECT_EQ(guitest::documents(out_), expected);
  EXPECT_FALSE(fs::exists(out_ / "MessageReport.txt"));
  EXPECT_TRUE(ui().boxes.empty()) << lastBox();
  EXPECT_EQ(c<QProgressBar>("prbProgress")->value(), 0);
  EXPECT_EQ(c<QLabel>("lblProgress")->text().toStdString(), GetParam().doneText(expected));
  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_FALSE(c<QPushButton>("cmdCancel")->isEnabled());
  // The window answers while the documents are made, at least once per sheet or polygon.
  EXPECT_GT(ui().eventPumps, static_cast<int>(GetParam().lastRun(*window_).second));
}

TEST_P(GenerationWindowTest, message_file_box_meets_an_idle_window) {
  GetParam().choose(window_.get());
  // The first document is open elsewhere.
  const fs::path first = out_ / GetParam().expected(*db_).front();
  fs::create_directories(first.parent_path());
  testsupport::writeFile(first.parent_path() / (".~lock." + first.filename().string() + "#"), "");
  ui().atMessage = [&] {
    EXPECT_FALSE(window_->findChild<QTimer*>("Timer1")->isActive());
    EXPECT_FALSE(c<QPushButton>("cmdCancel")->isEnabled());
    EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
  };
  press();
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_NE(lastBox().find((out_ / "MessageReport.txt").string()), std::string::npos) << lastBox();
  EXPECT_NE(testsupport::readFile(out_ / "MessageReport.txt").find(first.stem().string()),
            std::string::npos);
  EXPECT_NE(c<QLabel>("lblProgress")->text().indexOf(", 1 nicht erstellt"), -1);
}

TEST_P(GenerationWindowTest, cancel_finishes_the_document_in_work_then_stops) {
  const WindowKind& kind = GetParam();
  kind.choose(window_.get());
  qint64 cancelMs = -1;
  bool clicked = false, visibleAfterClose = false;
  QObject::connect(c<QProgressBar>("prbProgress"), &QProgressBar::valueChanged, window_.get(),
                   [&](int value) {
                     if (value != 1 || clicked) return;
                     clicked = true;
                     EXPECT_TRUE(window_->findChild<QTimer*>("Timer1")->isActive());
                     EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);
                     EXPECT_TRUE(c<QPushButton>("cmdCancel")->isEnabled());
                     for (const char* name : kind.lockedInRun)
                       EXPECT_FALSE(c<QWidget>(name)->isEnabled());
                     // The click arrives through the run's next event processing, as a user's
                     // would.
                     QTimer::singleShot(0, window_.get(), [&] {
                       QElapsedTimer clock;
                       clock.start();
                       c<QPushButton>("cmdCancel")->click();
                       cancelMs = clock.elapsed();
                       // A second run or closing waits until the run has ended.
                       EXPECT_FALSE(c<QPushButton>("cmdGenerate")->isEnabled());
                       EXPECT_FALSE(c<QPushButton>("cmdExit")->isEnabled());
                       EXPECT_FALSE(window_->findChild<QTimer*>("Timer1")->isActive());
                       window_->close();
                       visibleAfterClose = window_->isVisible();
                     });
                   });
  window_->setJobs(1);  // one document in work at a time: the count below is exact
  press();
  // Cancel answers at once; the run, not the button, waits for the document in work.
  EXPECT_GE(cancelMs, 0);
  EXPECT_LT(cancelMs, 1000);
  EXPECT_TRUE(visibleAfterClose);

  EXPECT_EQ(kind.lastRun(*window_), std::pair(true, std::size_t{1}));
  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_TRUE(c<QPushButton>("cmdExit")->isEnabled());
  EXPECT_FALSE(c<QPushButton>("cmdCancel")->isEnabled());
  for (const char* name : kind.lockedInRun) EXPECT_TRUE(c<QWidget>(name)->isEnabled()) << name;
  EXPECT_NE(window_->cursor().shape(), Qt::WaitCursor);
  EXPECT_EQ(c<QLabel>("lblTime")->text().left(6), "00:00:");
}

TEST_P(GenerationWindowTest, unreadable_shapefile_table_ends_the_program) {
  const fs::path shape = dir_.path() / "shape";
  fs::copy(guitest::sampleSurvey().shape.parent_path(), shape, fs::copy_options::recursive);
  const fs::path shp = shape / guitest::sampleSurvey().shape.filename();
  testsupport::writeTable(fs::path(shp).replace_extension(".dbf"), {{"NUMMER", 'C', 11, 0}},
                          {{"1"}});
  settings().set(app::kShapeFilesPfad, shp.string());
  GetParam().choose(window_.get());
  press(true);
  EXPECT_TRUE(window_->programEnded());
  EXPECT_FALSE(window_->isVisible());
  EXPECT_FALSE(window_->runActive());
  ASSERT_FALSE(ui().boxes.empty());
  EXPECT_EQ(
      lastBox().rfind("Programm wird beendet!\n\nGrund: Unbekanntes DBF-Shapefile-Format!", 0), 0u)
      << lastBox();
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Warning);
}

INSTANTIATE_TEST_SUITE_P(Windows, GenerationWindowTest,
                         ::testing::Values(guitest::kOutputWindow, guitest::kReportWindow),
                         [](const auto& info) { return std::string(info.param.name); });

// A window whose run fails in the database: a failure that escapes the run (the output
// window's selection query, the report run outside its polygons) ends the run in either window
// alike.
class ThrowingWindow : public gui::GenerationWindow {
 public:
  explicit ThrowingWindow(data::clsDBFData& db)
      : GenerationWindow(nullptr, {"frmTest", "", "", "", "", "Los"},
                         data::AreaSelection::Mode::Report) {
    db_ = &db;
    SetGenerateState(false);
  }

 private:
  void generate() override { throw data::ProviderError(3078, "Tabelle fehlt"); }
  void runModeChanged(bool) override {}
  void areaClicked(int) override {}
};

using ThrowingWindowTest = guitest::GuiTest;

TEST_F(ThrowingWindowTest, provider_error_is_logged_shown_and_ends_the_run) {
  ASSERT_TRUE(startLog(out_));
  auto db = openDatabase();
  ThrowingWindow window(*db);
  window.show();
  guitest::child<QPushButton>(&window, "cmdGenerate")->click();
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Error);
  EXPECT_EQ(lastBox(), "Tabelle fehlt(3078)");
  EXPECT_EQ(logLines(out_).back(),
            "D2 cmdGenerate_Click: Fehler! Nicht abgefangener Fehler.Tabelle fehlt(3078)");
  EXPECT_FALSE(window.programEnded());
  EXPECT_FALSE(window.runActive());
  EXPECT_FALSE(window.findChild<QTimer*>("Timer1")->isActive());
  EXPECT_TRUE(guitest::child<QPushButton>(&window, "cmdGenerate")->isEnabled());
}

class ReportWindowTest : public guitest::WindowTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    open(guitest::kReportWindow);
  }
};

TEST_F(ReportWindowTest, polygon_list_folds_parts_and_generate_follows_clicks) {
  EXPECT_FALSE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_FALSE(c<QListWidget>("lstTeilgebiet")->isEnabled());
  clickRow(c<QListWidget>("lstFFHGebiet"), "734");
  EXPECT_FALSE(c<QPushButton>("cmdGenerate")->isEnabled());
  clickRow(c<QListWidget>("lstTeilgebiet"), "001");
  // Nodes 000021, 000022 and 000023 are the parts of polygon 00002: one row.
  const auto polygons = rows(c<QListWidget>("lstPolygon"));
  EXPECT_EQ(std::count(polygons.begin(), polygons.end(), "00002"), 1);
  EXPECT_EQ(std::count(polygons.begin(), polygons.end(), "00005"), 1);
  for (const auto& p : polygons) EXPECT_EQ(p.size(), 5u) << p;
  EXPECT_TRUE(c<QListWidget>("lstPolygon")->isEnabled());
  EXPECT_FALSE(c<QPushButton>("cmdGenerate")->isEnabled());
  clickRow(c<QListWidget>("lstPolygon"), "00002");
  clickRow(c<QListWidget>("lstPolygon"), "00005");
  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_EQ(guitest::report(*window_).selectedPolygonCodes(),
            (std::vector<std::string>{"73400100002", "73400100005"}));
  // A new area click empties the lower lists and takes the button back.
  clickRow(c<QListWidget>("lstFFHGebiet"), "059");
  EXPECT_FALSE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_TRUE(rows(c<QListWidget>("lstPolygon")).empty());
  EXPECT_FALSE(c<QListWidget>("lstPolygon")->isEnabled());
}

// "Je Polygon eine PDF-Mappe": the run writes, beside the polygon's documents, one PDF with the
// pages of all of them.
TEST_F(ReportWindowTest, dossier_box_writes_one_pdf_per_polygon) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  QCheckBox* box = c<QCheckBox>("chkDossier");
  EXPECT_EQ(box->text(), "Je Polygon eine PDF-Mappe");
  EXPECT_FALSE(box->isChecked());
  box->setChecked(true);
  clickRow(c<QListWidget>("lstFFHGebiet"), "734");
  clickRow(c<QListWidget>("lstTeilgebiet"), "001");
  clickRow(c<QListWidget>("lstPolygon"), "00002");
  press();
  EXPECT_TRUE(ui().boxes.empty()) << lastBox();
  EXPECT_TRUE(box->isEnabled());
  std::size_t documents = 0;
  for (const auto& name : guitest::documents(out_)) documents += name.starts_with("Report/734001");
  ASSERT_GE(documents, 2u);
  std::string reason;
  EXPECT_GE(print::pdfPageCount(out_ / "Report" / "73400100002Dossier.pdf", reason),
            static_cast<int>(documents))
      << reason;
}

}  // namespace
