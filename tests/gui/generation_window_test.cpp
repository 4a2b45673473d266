// What both generation windows do alike: captions and the idle state, a run with its status
// line and message file, cancel, the end of the program on a fatal error and the end of a run on
// a database failure; then the report window's own lists.

#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include "data/provider_error.h"
#include "generation_window_fixture.h"
#include "gui/polygon_preview.h"
#include "print/pdf_join.h"
#include "print/real_chain.h"
#include "report/polygon_map.h"
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
  EXPECT_FALSE(c<QPushButton>("cmdOpenFolder")->isEnabled());
  press();
  EXPECT_EQ(guitest::documents(out_), expected);
  EXPECT_FALSE(fs::exists(out_ / "MessageReport.txt"));
  EXPECT_TRUE(ui().boxes.empty()) << lastBox();
  // Done: the bar full, the status line, the documents listed, the output folder offered.
  EXPECT_EQ(c<QProgressBar>("prbProgress")->value(), c<QProgressBar>("prbProgress")->maximum());
  EXPECT_EQ(c<QLabel>("lblProgress")->text().toStdString(), GetParam().doneText(expected));
  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_FALSE(c<QPushButton>("cmdCancel")->isEnabled());
  QListWidget* written = c<QListWidget>("lstDokumente");
  EXPECT_EQ(rows(written), expected);
  EXPECT_TRUE(written->isVisible());
  emit written->itemDoubleClicked(written->item(1));
  c<QPushButton>("cmdOpenFolder")->click();
  EXPECT_EQ(ui().opened, (std::vector<std::string>{(out_ / expected[1]).string(), out_.string()}));
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
  ui().press = "Meldungsdatei öffnen";
  press();
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_NE(lastBox().find((out_ / "MessageReport.txt").string()), std::string::npos) << lastBox();
  EXPECT_NE(testsupport::readFile(out_ / "MessageReport.txt").find(first.stem().string()),
            std::string::npos);
  EXPECT_NE(c<QLabel>("lblProgress")->text().indexOf(", 1 nicht erstellt"), -1);
  // The box says what was made and opens the message file at a click.
  EXPECT_TRUE(lastBox().ends_with("\n\n" + c<QLabel>("lblProgress")->text().toStdString()));
  EXPECT_EQ(ui().buttons, (std::vector<std::string>{"Meldungsdatei öffnen", "OK"}));
  EXPECT_EQ(ui().opened, std::vector<std::string>{(out_ / "MessageReport.txt").string()});
}

// The choices and the window's size come back in the next window over the same survey.
TEST_P(GenerationWindowTest, choices_and_size_are_remembered) {
  GetParam().choose(window_.get());
  c<QCheckBox>("chkKopien")->setChecked(true);
  window_->resize(830, 640);
  c<QPushButton>("cmdExit")->click();
  window_ = GetParam().open(*db_);
  window_->show();
  EXPECT_EQ(window_->size(), QSize(830, 640));
  EXPECT_TRUE(c<QCheckBox>("chkKopien")->isChecked());
  std::map<std::string, std::vector<std::string>> chosen;
  for (const char* list : {"lstFFHGebiet", "lstTeilgebiet", "lstPolygon", "lstGBogen"})
    if (auto* rowsOf = window_->findChild<QListWidget*>(list))
      for (const QListWidgetItem* row : rowsOf->selectedItems())
        chosen[list].push_back(row->text().toStdString());
  for (auto& [list, texts] : chosen) std::sort(texts.begin(), texts.end());
  using Chosen = std::map<std::string, std::vector<std::string>>;
  const Chosen report = {
      {"lstFFHGebiet", {"734"}}, {"lstTeilgebiet", {"001"}}, {"lstPolygon", {"00002", "00005"}}};
  const Chosen output = {{"lstGBogen", {"H"}}};
  EXPECT_EQ(chosen, GetParam().name == std::string("report") ? report : output);
  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
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

// During the run the status line counts the polygons; the map shows the polygon clicked last.
TEST_F(ReportWindowTest, progress_counts_polygons_and_preview_shows_the_cover_map) {
  guitest::kReportWindow.choose(window_.get());
  auto* preview = window_->findChild<gui::PolygonPreview*>("picKarte");
  ASSERT_TRUE(preview->map().has_value()) << preview->note().toStdString();
  EXPECT_EQ(guitest::report(*window_).previewedPolygon(), "73400100005");
  // The cover sheet's shapes: the surveyed polygon marked grey, inside the frame.
  std::string cause;
  word::RunContext run = word::programContext(*db_);
  const auto map = report::coverSheetMap("73400100005", run, cause);
  ASSERT_TRUE(map) << cause;
  ASSERT_EQ(preview->map()->shapes.size(), map->shapes.size());
  EXPECT_TRUE(
      std::any_of(map->shapes.begin(), map->shapes.end(), [](auto& s) { return s.marked; }));
  for (std::size_t i = 0; i < map->shapes.size(); ++i)
    EXPECT_EQ(preview->map()->shapes[i].lines, map->shapes[i].lines) << i;
  const QImage picture = preview->grab().toImage();
  int grey = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      grey += picture.pixelColor(x, y) == QColor(192, 192, 192);
  EXPECT_GT(grey, 50);

  std::vector<std::string> shown;
  QObject::connect(c<QProgressBar>("prbProgress"), &QProgressBar::valueChanged, window_.get(),
                   [&] { shown.push_back(c<QLabel>("lblProgress")->text().toStdString()); });
  window_->setJobs(1);
  press();
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "Polygon 1 von 2: 73400100002", "Polygon 2 von 2: 73400100005",
                       guitest::kReportWindow.doneText(guitest::kReportWindow.expected(*db_))}));
  // A polygon row no longer chosen: no map.
  clickRow(c<QListWidget>("lstPolygon"), "00005");
  EXPECT_FALSE(preview->map().has_value());
}

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
