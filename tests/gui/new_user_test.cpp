// A first session from an empty settings store, the way a new user goes: the three paths set in
// "Einstellungen", then clean copies and data reports made from them.

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "generation_window_fixture.h"
#include "gui/frm_main.h"

namespace fs = std::filesystem;

namespace {

using guitest::child;
using guitest::clickRow;
using guitest::GuiTest;
using guitest::whenModal;

class NewUserTest : public GuiTest {};

TEST_F(NewUserTest, settings_then_clean_copies_and_reports_for_two_polygons) {
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

  // 2. Clean copies and 3. data reports, chosen as the window tests choose them. What the
  // windows do with their lists, filters and problems is tested with each window.
  data::clsDBFData db;
  ASSERT_TRUE(db.ValidFilePaths());
  db.ConnectDBDaten();
  std::vector<std::string> expected;
  for (const auto& [button, kind] : {std::pair{"cmdAusgabe", &guitest::kOutputWindow},
                                     std::pair{"cmdReport", &guitest::kReportWindow}}) {
    whenModal(
        [kind](QWidget* w) {
          kind->choose(w);
          if (w->objectName() == "frmAusgabe")
            whenModal([](QWidget* sheets) { child<QPushButton>(sheets, "cmdGenerate")->click(); },
                      w);
          child<QPushButton>(w, "cmdGenerate")->click();
          child<QPushButton>(w, "cmdExit")->click();
        },
        &main);
    child<QPushButton>(&main, button)->click();
    for (const auto& doc : kind->expected(db)) expected.push_back(doc);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(guitest::documents(out_), expected);
  EXPECT_FALSE(fs::exists(out_ / "MessageReport.txt"));
  EXPECT_TRUE(ui().boxes.empty()) << lastBox();
}

}  // namespace
