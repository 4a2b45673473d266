// The report window's lists: parts of a polygon folded into one row, the generate button's
// states, the options, and the run that this build does not have yet.

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/frm_report.h"
#include "gui/window_support.h"
#include "gui_fixture.h"
#include "support/temp_dir.h"

namespace {

using guitest::child;
using guitest::clickRow;
using guitest::GuiTest;
using guitest::rows;

class ReportWindowTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    db_ = openDatabase();
    window_ = std::make_unique<gui::frmReport>();
    window_->setDBFData(*db_);
    window_->resize(700, 520);
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    db_.reset();
    GuiTest::TearDown();
  }
  template <typename T>
  T* c(const char* name) {
    return child<T>(window_.get(), name);
  }

  std::unique_ptr<data::clsDBFData> db_;
  std::unique_ptr<gui::frmReport> window_;
};

TEST_F(ReportWindowTest, load_captions_options_and_area_list) {
  EXPECT_EQ(window_->windowTitle(), "Datenreport");
  EXPECT_EQ(c<QLabel>("lblHeadline")->text(), "Reportgenerator");
  EXPECT_EQ(c<QLabel>("lblPolygon")->text(), "Polygon,Teil");
  EXPECT_EQ(c<QLabel>("lblTime")->text(), "00:00:00");
  EXPECT_EQ(c<QPushButton>("cmdGenerate")->text(), "Report erstellen");
  EXPECT_FALSE(c<QCheckBox>("chkEmpty")->isChecked());
  EXPECT_FALSE(c<QCheckBox>("chkEmpty")->isEnabled());
  EXPECT_FALSE(c<QCheckBox>("chkKopien")->isChecked());
  EXPECT_EQ(rows(c<QListWidget>("lstFFHGebiet")), (std::vector<std::string>{"059", "364", "734"}));
  EXPECT_FALSE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_FALSE(c<QListWidget>("lstTeilgebiet")->isEnabled());
}

TEST_F(ReportWindowTest, polygon_list_folds_parts_and_generate_follows_clicks) {
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
  EXPECT_EQ(window_->selectedPolygonCodes(),
            (std::vector<std::string>{"73400100002", "73400100005"}));
  // A new area click empties the lower lists and takes the button back.
  clickRow(c<QListWidget>("lstFFHGebiet"), "059");
  EXPECT_FALSE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_TRUE(rows(c<QListWidget>("lstPolygon")).empty());
  EXPECT_FALSE(c<QListWidget>("lstPolygon")->isEnabled());
}

TEST_F(ReportWindowTest, two_areas_same_subarea_give_every_combination) {
  clickRow(c<QListWidget>("lstFFHGebiet"), "059");
  clickRow(c<QListWidget>("lstFFHGebiet"), "364");
  const auto subAreas = rows(c<QListWidget>("lstTeilgebiet"));
  EXPECT_EQ(subAreas, (std::vector<std::string>{"001", "001", "002", "003"}));
  auto* sub = c<QListWidget>("lstTeilgebiet");
  QTest::mouseClick(sub->viewport(), Qt::LeftButton, {},
                    sub->visualItemRect(sub->item(0)).center());
  QTest::mouseClick(sub->viewport(), Qt::LeftButton, {},
                    sub->visualItemRect(sub->item(1)).center());
  clickRow(c<QListWidget>("lstPolygon"), "00002");
  const auto codes = window_->selectedPolygonCodes();
  EXPECT_NE(std::find(codes.begin(), codes.end(), "05900100002"), codes.end());
  EXPECT_NE(std::find(codes.begin(), codes.end(), "36400100002"), codes.end());
}

TEST_F(ReportWindowTest, run_makes_cover_sheet_and_reports_per_polygon) {
  testsupport::writeFile(out_ / "MessageReport.txt", "alt\r\n");
  clickRow(c<QListWidget>("lstFFHGebiet"), "734");
  clickRow(c<QListWidget>("lstTeilgebiet"), "001");
  clickRow(c<QListWidget>("lstPolygon"), "00002");
  clickRow(c<QListWidget>("lstPolygon"), "00005");
  c<QPushButton>("cmdGenerate")->click();

  std::vector<std::string> expected;
  for (const std::string polygon : {"73400100002", "73400100005"}) {
    expected.push_back("Report/" + polygon + "Deckblatt.docx");
    for (const auto& key :
         guitest::sheetKeys(*db_, [&](const std::string&code, auto&, auto&, auto&, auto&) {
           return code.substr(0, 11) == polygon;
         }))
      expected.push_back("Report/" + key + "-Report.docx");
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_GT(expected.size(), 4u);
  EXPECT_EQ(guitest::documents(out_), expected);
  EXPECT_FALSE(std::filesystem::exists(out_ / "MessageReport.txt"));
  EXPECT_TRUE(ui().boxes.empty()) << lastBox();
  EXPECT_EQ(window_->lastRun().polygons, 2u);
  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_FALSE(c<QPushButton>("cmdCancel")->isEnabled());
  EXPECT_EQ(c<QProgressBar>("prbProgress")->value(), 0);
  EXPECT_EQ(c<QLabel>("lblProgress")->text().toStdString(),
            "Fertig: " + std::to_string(expected.size() - 2) +
                " Datenreports und 2 Deckblätter "
                "erstellt");
}

TEST_F(ReportWindowTest, message_file_box_comes_after_run_mode) {
  std::filesystem::create_directories(out_ / "Report");
  testsupport::writeFile(out_ / "Report" / ".~lock.73400100002Deckblatt.docx#", "");
  clickRow(c<QListWidget>("lstFFHGebiet"), "734");
  clickRow(c<QListWidget>("lstTeilgebiet"), "001");
  clickRow(c<QListWidget>("lstPolygon"), "00002");
  bool timerActive = true, cancelEnabled = true, generateEnabled = false;
  ui().atMessage = [&] {
    timerActive = window_->findChild<QTimer*>("Timer1")->isActive();
    cancelEnabled = c<QPushButton>("cmdCancel")->isEnabled();
    generateEnabled = c<QPushButton>("cmdGenerate")->isEnabled();
  };
  c<QPushButton>("cmdGenerate")->click();
  ASSERT_TRUE(std::filesystem::exists(out_ / "MessageReport.txt"));
  EXPECT_EQ(lastBox().rfind("Es sind Fehler aufgetreten.", 0), 0u) << lastBox();
  EXPECT_FALSE(timerActive);
  EXPECT_FALSE(cancelEnabled);
  EXPECT_TRUE(generateEnabled);
  EXPECT_NE(c<QLabel>("lblProgress")->text().indexOf(", 1 nicht erstellt"), -1);
}

TEST_F(ReportWindowTest, cancel_finishes_polygon_in_work_then_stops) {
  clickRow(c<QListWidget>("lstFFHGebiet"), "734");
  clickRow(c<QListWidget>("lstTeilgebiet"), "001");
  for (const char* polygon : {"00002", "00004", "00005", "00006"})
    clickRow(c<QListWidget>("lstPolygon"), polygon);
  struct Seen {
    bool timerActive = false, waitCursor = false, listsDisabled = false;
    bool generateAfterCancel = true, listsAfterCancel = false, visibleAfterClose = false;
  } seen;
  QObject::connect(c<QProgressBar>("prbProgress"), &QProgressBar::valueChanged, window_.get(),
                   [&](int value) {
                     if (value != 1) return;
                     seen.timerActive = window_->findChild<QTimer*>("Timer1")->isActive();
                     seen.waitCursor = window_->cursor().shape() == Qt::WaitCursor;
                     seen.listsDisabled = !c<QListWidget>("lstFFHGebiet")->isEnabled();
                     QTimer::singleShot(0, window_.get(), [&] {
                       c<QPushButton>("cmdCancel")->click();
                       seen.generateAfterCancel = c<QPushButton>("cmdGenerate")->isEnabled();
                       seen.listsAfterCancel = c<QListWidget>("lstPolygon")->isEnabled();
                       window_->close();
                       seen.visibleAfterClose = window_->isVisible();
                     });
                   });
  window_->setJobs(1);  // one polygon in work at a time: the counts below are exact
  c<QPushButton>("cmdGenerate")->click();
  EXPECT_TRUE(seen.timerActive);
  EXPECT_TRUE(seen.waitCursor);
  EXPECT_TRUE(seen.listsDisabled);
  EXPECT_FALSE(seen.generateAfterCancel);
  EXPECT_TRUE(seen.listsAfterCancel);
  EXPECT_TRUE(seen.visibleAfterClose);
  EXPECT_TRUE(window_->lastRun().cancelled);
  EXPECT_EQ(window_->lastRun().polygons, 1u);
  const auto docs = guitest::documents(out_);
  ASSERT_FALSE(docs.empty());
  for (const auto& d : docs) EXPECT_EQ(d.substr(0, 18), "Report/73400100002") << d;
  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_NE(window_->cursor().shape(), Qt::WaitCursor);
}

}  // namespace
