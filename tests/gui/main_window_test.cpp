// The start window: the path checks behind its two buttons, the database check, the log it
// starts, the dialogs its menu opens, and a new user's first session through it.

#include <gmock/gmock.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <iostream>

#include "generation_window_fixture.h"
#include "gui/frm_main.h"
#include "gui/window_memory.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using guitest::child;

class MainWindowTest : public guitest::GuiTest {
 protected:
  // Presses a main button and answers what the user saw last.
  std::string press(const char* button) {
    gui::frmMain window;
    ui().boxes.clear();
    child<QPushButton>(&window, button)->click();
    return lastBox();
  }
};

// Each message of the path check is tested with the check itself; here: both buttons run it
// first and show its message, the first path and the last.
TEST_F(MainWindowTest, buttons_run_the_path_check_first) {
  for (const char* button : {"cmdAusgabe", "cmdReport"}) {
    settings().set(app::kShapeFilesPfad, "");
    EXPECT_EQ(press(button).rfind("Der Pfad für ShapeFile-Dateien", 0), 0u) << button;
    settings().set(app::kShapeFilesPfad, guitest::sampleSurvey().shape.string());
    settings().set(app::kDataFilesPfad, (dir_.path() / "missing").string());
    EXPECT_EQ(press(button).rfind("Der Pfad für die zu generierenden Dateien", 0), 0u) << button;
    ASSERT_EQ(ui().boxes.size(), 1u);
    EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Error);
    settings().set(app::kDataFilesPfad, out_.string());
  }
}

TEST_F(MainWindowTest, buttons_missing_table_report_has_extra_line) {
  fs::remove(copySurvey() / "bgx2.dbf");
  const std::string end =
      "Bitte überprüfen Sie die Pfade.\n\nKontaktieren Sie den Hersteller, wenn sich das "
      "Problem trotz korrektem Pfad nicht beheben lässt.";
  EXPECT_EQ(press("cmdAusgabe"), "Die Programm-Daten sind nicht korrekt.\n" + end);
  EXPECT_EQ(press("cmdReport"),
            "Die Programm-Daten sind nicht korrekt.\nEine oder mehrere DBF-Dateien konnten "
            "nicht gefunden werden.\n" +
                end);
}

TEST_F(MainWindowTest, buttons_damaged_sheet_table_opens_window_with_empty_lists) {
  testsupport::writeFile(copySurvey() / "GBogen.dbf", std::string(40, '\x7f'));
  gui::frmMain window;
  int areas = -1;
  guitest::whenModal([&](QWidget* w) {
    areas = child<QListWidget>(w, "lstFFHGebiet")->count();
    w->close();
  });
  child<QPushButton>(&window, "cmdAusgabe")->click();
  EXPECT_EQ(areas, 0);
  // The cause goes into the box and the message file, not only into the log.
  const auto& boxes = ui().boxes;
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_THAT(
      boxes[boxes.size() - 2].text,
      ::testing::StartsWith("Die Geländebögennummern konnten nicht ermittelt werden.\nGrund: Die "
                            "Tabelle 'GBogen' ist beschädigt"));
  EXPECT_THAT(testsupport::readFile(out_ / "MessageReport.txt"),
              ::testing::HasSubstr("ermittelt werden. Grund: Die Tabelle 'GBogen' ist beschädigt"));
}

TEST_F(MainWindowTest, start_log_follows_inverted_setting_and_closes_at_end) {
  settings().set(app::kErrorReport, "1");
  { gui::frmMain window; }
  EXPECT_FALSE(fs::exists(out_ / "FehlerReport2.log"));
  settings().set(app::kErrorReport, "0");
  {
    gui::frmMain window;
    EXPECT_TRUE(app::g_Debug().isStarted());
  }
  const auto log = logLines(out_);
  EXPECT_EQ(log.front().rfind("D1 #+++", 0), 0u);
  EXPECT_EQ(log.back().rfind("D1 Programm beendet ", 0), 0u);
}

TEST_F(MainWindowTest, captions_menus_open_their_dialogs) {
  gui::frmMain window;
  EXPECT_EQ(window.windowTitle().toStdString(), gui::kMainTitle);
  EXPECT_EQ(child<QPushButton>(&window, "cmdAusgabe")->text(), "Ausgabe der Geländebögen");
  EXPECT_EQ(child<QPushButton>(&window, "cmdReport")->text(), "Datenreport");
  EXPECT_EQ(child<QPushButton>(&window, "cmdExit")->text(), "Programm beenden");
  const std::vector<std::pair<const char*, QString>> menus = {{"mnuEinstellungen", "Einstellungen"},
                                                              {"mnuErrorReport", "Fehlerprotokoll"},
                                                              {"mnuInfo", "Information"}};
  for (const auto& [action, caption] : menus) {
    QString seen;
    guitest::whenModal([&seen](QWidget* w) {
      seen = w->windowTitle();
      w->close();
    });
    window.findChild<QAction*>(action)->trigger();
    EXPECT_EQ(seen, caption) << action;
  }
  window.show();
  window.findChild<QAction*>("mnuExit")->trigger();
  EXPECT_FALSE(window.isVisible());
}

// A first session from an empty settings store, the way a new user goes: the three paths set in
// "Einstellungen", then clean copies and data reports made from them.
TEST_F(MainWindowTest, new_user_sets_paths_then_makes_clean_copies_and_reports) {
  const guitest::SampleSurvey& survey = guitest::sampleSurvey();
  app::installSettings(std::make_unique<app::MemorySettings>());
  gui::frmMain main;
  main.show();

  // 1. The three paths, chosen in the settings dialog.
  guitest::whenModal(
      [&](QWidget* settingsDialog) {
        guitest::chooseShapefile(settingsDialog, survey.shape);
        guitest::chooseFolder(settingsDialog, "cmdDBFChange", survey.db);
        guitest::chooseFolder(settingsDialog, "cmdDataChange", out_);
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
  const auto db = openDatabase();
  std::vector<std::string> expected;
  for (const auto& [button, kind] : {std::pair{"cmdAusgabe", &guitest::kOutputWindow},
                                     std::pair{"cmdReport", &guitest::kReportWindow}}) {
    guitest::whenModal(
        [kind](QWidget* w) {
          kind->choose(w);
          if (w->objectName() == "frmAusgabe")
            guitest::whenModal(
                [](QWidget* sheets) { child<QPushButton>(sheets, "cmdGenerate")->click(); }, w);
          child<QPushButton>(w, "cmdGenerate")->click();
          child<QPushButton>(w, "cmdExit")->click();
        },
        &main);
    child<QPushButton>(&main, button)->click();
    for (const auto& doc : kind->expected(*db)) expected.push_back(doc);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(guitest::documents(out_), expected);
  EXPECT_FALSE(fs::exists(out_ / "MessageReport.txt"));
  EXPECT_TRUE(ui().boxes.empty()) << lastBox();
}

// A new user with nothing set up is told where the paths are set, may open the settings from
// the box and, before anything is set, may take the sample survey and have documents at once.
TEST_F(MainWindowTest, first_start_names_the_settings_and_offers_the_sample_survey) {
  app::installSettings(std::make_unique<app::MemorySettings>());
  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", QByteArray::fromStdString(dir_.path().string()));
  gui::frmMain main;
  main.show();
  ui().boxes.clear();
  child<QPushButton>(&main, "cmdAusgabe")->click();
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(lastBox().rfind("Der Pfad für ShapeFile-Dateien ist nicht bestimmt.\nBitte überprüfen "
                            "Sie die Pfade.\n\nDie Pfade stellen Sie unter „Optionen → "
                            "Einstellungen“ ein.",
                            0),
            0u)
      << lastBox();
  EXPECT_EQ(ui().buttons, (std::vector<std::string>{"Einstellungen öffnen",
                                                    "Beispieldaten verwenden", "Schließen"}));

  ui().press = "Einstellungen öffnen";
  QString opened;
  guitest::whenModal(
      [&](QWidget* w) {
        opened = w->objectName();
        child<QPushButton>(w, "cmdCancel")->click();
      },
      &main);
  child<QPushButton>(&main, "cmdReport")->click();
  EXPECT_EQ(opened, "frmEinstellungen");

  // The sample survey, then the clean copies with everything chosen: the first documents.
  ui().press = "Beispieldaten verwenden";
  QElapsedTimer clock;
  clock.start();
  guitest::whenModal(
      [&](QWidget* w) {
        guitest::whenModal([](QWidget* d) { child<QPushButton>(d, "cmdGenerate")->click(); }, w);
        child<QPushButton>(w, "cmdGenerate")->click();
        child<QPushButton>(w, "cmdExit")->click();
      },
      &main);
  child<QPushButton>(&main, "cmdAusgabe")->click();
  const fs::path sample = dir_.path() / "Quelbrix-Beispiel";
  EXPECT_EQ(app::settings().get(app::kDbfFilesPfad), (sample / "Erfassung").string());
  EXPECT_EQ(app::settings().get(app::kDataFilesPfad), (sample / "Dokumente").string());
  EXPECT_GT(guitest::documents(sample / "Dokumente").size(), 50u);
  EXPECT_LT(clock.elapsed(), 60000);
  std::cout << "[ measured ] sample survey and " << guitest::documents(sample / "Dokumente").size()
            << " clean copies from the first click: " << clock.elapsed() << " ms\n";
  EXPECT_NE(child<QLabel>(&main, "lblPfade")->text().indexOf("Quelbrix-Beispiel/Erfassung"), -1);
  qputenv("HOME", home);

  // With a survey set, the sample is not offered: it would replace the user's paths.
  app::settings().set(app::kShapeFilesPfad, "");
  ui().press.clear();
  child<QPushButton>(&main, "cmdAusgabe")->click();
  EXPECT_EQ(ui().buttons, (std::vector<std::string>{"Einstellungen öffnen", "Schließen"}));
}

// Size and place, the last five surveys (the latest first, each once) and what a drop sets.
TEST_F(MainWindowTest, remembers_geometry_and_surveys_and_takes_dropped_paths) {
  {
    gui::frmMain main;
    main.resize(611, 433);
    main.show();
    main.close();
  }
  gui::frmMain main;
  EXPECT_EQ(main.size(), QSize(611, 433));
  for (int i = 1; i <= 6; ++i) gui::addRecentSurvey({QString("/e%1").arg(i), "/e.shp"});
  gui::addRecentSurvey({"/e3", "/e3.shp"});
  std::vector<QString> folders;
  for (const auto& survey : gui::recentSurveys()) folders.push_back(survey.folder);
  EXPECT_EQ(folders, (std::vector<QString>{"/e3", "/e6", "/e5", "/e4", "/e2"}));
  // Choosing one in the menu sets its two paths.
  auto* recent = main.findChild<QMenu*>("mnuZuletzt");
  emit recent->aboutToShow();
  recent->actions().front()->trigger();
  EXPECT_EQ(settings().get(app::kDbfFilesPfad), "/e3");
  EXPECT_EQ(settings().get(app::kShapeFilesPfad), "/e3.shp");

  // A survey folder brings its one shapefile along; a file that is no shapefile is refused.
  const guitest::SampleSurvey& survey = guitest::sampleSurvey();
  EXPECT_TRUE(main.takeDroppedPaths({QString::fromStdString(survey.db.string())}));
  EXPECT_EQ(settings().get(app::kDbfFilesPfad), survey.db.string());
  EXPECT_EQ(settings().get(app::kShapeFilesPfad), survey.shape.string());
  const fs::path lonely = dir_.path() / "lonely.shp";
  testsupport::writeFile(lonely, "");
  ui().boxes.clear();
  EXPECT_FALSE(main.takeDroppedPaths(
      {QString::fromStdString(lonely.string()), QString::fromStdString(dir_.path().string())}));
  EXPECT_EQ(lastBox(),
            "lonely.shp: Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei "
            "lonely.shx.\nBitte überprüfen Sie die Pfade.\nDer Ordner " +
                dir_.path().string() +
                " enthält keine Erfassung: Die Programm-Daten (Polygone.dbf) konnten nicht "
                "gefunden werden.");
  EXPECT_EQ(settings().get(app::kShapeFilesPfad), survey.shape.string());
}

}  // namespace
