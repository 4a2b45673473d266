// A first session from an empty settings store, the way a new user goes: the three paths set in
// "Einstellungen", clean copies with a biotope filter, data reports for two polygons, and the
// message box and message file when a document is open elsewhere.

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "gui/frm_main.h"
#include "gui_fixture.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using guitest::child;
using guitest::clickRow;
using guitest::GuiTest;
using guitest::whenModal;

class NewUserTest : public GuiTest {};

TEST_F(NewUserTest, settings_clean_copies_with_filter_reports_for_two_polygons) {
  const guitest::SampleSurvey& survey = guitest::sampleSurvey();
  app::installSettings(std::make_unique<app::MemorySettings>());
  gui::frmMain main;
  main.show();

  // 1. The three paths, chosen in the settings dialog.
  whenModal(
      [&](QWidget* settingsDialog) {
        whenModal(
            [&](QWidget* w) {
              auto* files = qobject_cast<QFileDialog*>(w);
              files->setDirectory(QString::fromStdString(survey.shape.parent_path().string()));
              files->selectFile(QString::fromStdString(survey.shape.filename().string()));
              static_cast<QDialog*>(files)->accept();
            },
            settingsDialog);
        child<QPushButton>(settingsDialog, "cmdShpChange")->click();
        for (const auto& [button, folder] :
             {std::pair{"cmdDBFChange", survey.db}, std::pair{"cmdDataChange", out_}}) {
          whenModal(
              [folder](QWidget* chooser) {
                guitest::pickFolder(child<QTreeWidget>(chooser, "Dir1"), folder);
                child<QPushButton>(chooser, "cmdExit")->click();
              },
              settingsDialog);
          child<QPushButton>(settingsDialog, button)->click();
        }
        child<QPushButton>(settingsDialog, "cmdExit")->click();
      },
      &main);
  main.findChild<QAction*>("mnuEinstellungen")->trigger();
  EXPECT_EQ(app::settings().get(app::kShapeFilesPfad), survey.shape.string());
  EXPECT_EQ(app::settings().get(app::kDbfFilesPfad), survey.db.string());
  EXPECT_EQ(app::settings().get(app::kDataFilesPfad), out_.string());
  EXPECT_TRUE(ui().boxes.empty()) << lastBox();

  // 2. Clean copies of the sheets with one biotope type.
  data::clsDBFData db;
  ASSERT_TRUE(db.ValidFilePaths());
  db.ConnectDBDaten();
  std::string biotope;
  guitest::sheetKeys(db, [&](auto&, auto&, const std::string& b, auto&, auto&) {
    if (biotope.empty() && !b.empty()) biotope = b;
    return false;
  });
  const auto withBiotope = guitest::sheetKeys(
      db, [&](auto&, auto&, const std::string& b, auto&, auto&) { return b == biotope; });
  whenModal(
      [&](QWidget* output) {
        child<QTabWidget>(output, "tabAuswahl")->setCurrentIndex(1);
        child<QCheckBox>(output, "chkBiotoptyp")->click();
        QTest::keyClicks(child<QLineEdit>(output, "txtKennung"), QString::fromStdString(biotope));
        clickRow(child<QTreeWidget>(output, "lvwBiotoptyp"), 0);
        child<QPushButton>(output, "cmdBioSelect")->click();
        whenModal([](QWidget* sheets) { child<QPushButton>(sheets, "cmdGenerate")->click(); },
                  output);
        child<QPushButton>(output, "cmdGenerate")->click();
        child<QPushButton>(output, "cmdExit")->click();
      },
      &main);
  child<QPushButton>(&main, "cmdAusgabe")->click();
  std::vector<std::string> expected;
  for (const auto& key : withBiotope) expected.push_back(key.substr(12) + "/" + key + ".docx");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(guitest::documents(out_), expected);
  EXPECT_TRUE(ui().boxes.empty()) << lastBox();

  // 3. Data reports for two polygons; one report is open in another program.
  const auto firstPolygon =
      guitest::sheetKeys(db, [](const std::string& code, auto&, auto&, auto&, auto&) {
        return code.rfind("73400100002", 0) == 0;
      });
  ASSERT_FALSE(firstPolygon.empty());
  const std::string locked = firstPolygon.front() + "-Report.docx";
  fs::create_directories(out_ / "Report");
  testsupport::writeFile(out_ / "Report" / (".~lock." + locked + "#"), "");
  whenModal(
      [&](QWidget* report) {
        clickRow(child<QListWidget>(report, "lstFFHGebiet"), "734");
        clickRow(child<QListWidget>(report, "lstTeilgebiet"), "001");
        clickRow(child<QListWidget>(report, "lstPolygon"), "00002");
        clickRow(child<QListWidget>(report, "lstPolygon"), "00004");
        child<QPushButton>(report, "cmdGenerate")->click();
        child<QPushButton>(report, "cmdExit")->click();
      },
      &main);
  child<QPushButton>(&main, "cmdReport")->click();

  const auto docs = guitest::documents(out_);
  EXPECT_NE(std::find(docs.begin(), docs.end(), "Report/73400100002Deckblatt.docx"), docs.end());
  EXPECT_NE(std::find(docs.begin(), docs.end(), "Report/73400100004Deckblatt.docx"), docs.end());
  EXPECT_EQ(std::find(docs.begin(), docs.end(), "Report/" + locked), docs.end());
  const fs::path messageFile = out_ / "MessageReport.txt";
  ASSERT_TRUE(fs::exists(messageFile));
  const std::string messages = testsupport::readFile(messageFile);
  EXPECT_NE(messages.find(firstPolygon.front()), std::string::npos) << messages;
  ASSERT_FALSE(ui().boxes.empty());
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Warning);
  EXPECT_EQ(lastBox(),
            "Es sind Fehler aufgetreten. Weitere Informationen erhalten Sie über die "
            "Datei:\n" +
                messageFile.string());
  std::cout << "Meldungsdatei:\n" << messages;
}

}  // namespace
