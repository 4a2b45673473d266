// The settings dialog with its shapefile chooser and folder chooser, the folder chooser on its
// own, the log dialog with its inverted setting, and the about box.

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "gui/frm_data_path.h"
#include "gui/frm_einstellungen.h"
#include "gui/frm_error_report.h"
#include "gui/frm_info.h"
#include "gui/window_support.h"
#include "gui_fixture.h"

namespace fs = std::filesystem;

namespace {

using guitest::child;
using guitest::chooseFolder;
using guitest::chooseShapefile;

class SettingsDialogTest : public guitest::GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ASSERT_TRUE(startLog(out_));
    // The home folder is the test's own: the choosers start there.
    home_ = dir_.path() / "home";
    fs::create_directories(home_);
    qputenv("HOME", QByteArray::fromStdString(home_.string()));
    shapes_ = dir_.path() / "shapes";
    fs::create_directories(shapes_);
    for (const char* name : {"good.shp", "good.shx", "BIG.SHP", "BIG.shx", "lonely.shp"})
      testsupport::writeFile(shapes_ / name, "");
  }
  std::string label(QWidget* w, const char* name) {
    return child<QLabel>(w, name)->text().toStdString();
  }

  void TearDown() override {
    qputenv("HOME", oldHome_);
    GuiTest::TearDown();
  }

  fs::path shapes_, home_;
  const QByteArray oldHome_ = qgetenv("HOME");
};

TEST_F(SettingsDialogTest, einstellungen_load_shows_stored_values_and_cancel_stores_nothing) {
  settings().set(app::kDataFilesPrint, "1");
  gui::frmEinstellungen dialog;
  dialog.show();
  EXPECT_EQ(label(&dialog, "lblShpPath"), guitest::sampleSurvey().shape.string());
  EXPECT_EQ(label(&dialog, "lblDBFPath"), guitest::sampleSurvey().db.string());
  EXPECT_EQ(label(&dialog, "lblDataPath"), out_.string());
  EXPECT_TRUE(child<QCheckBox>(&dialog, "chkDrucken")->isChecked());
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Information);
  EXPECT_EQ(ui().boxes[0].text,
            "Die Gelände- und Reportbögen werden auf den Standard-Drucker ausgegeben.\nSorgen "
            "Sie bitte dafür, dass der entsprechende Drucker im System eingestellt und "
            "eingeschaltet ist.");

  // The shapefile chooser starts beside the stored shapefile.
  EXPECT_EQ(chooseShapefile(&dialog, {}).folder.toStdString(),
            guitest::sampleSurvey().shape.parent_path().string());
  chooseFolder(&dialog, "cmdDataChange", dir_.path());
  EXPECT_EQ(label(&dialog, "lblDataPath"), dir_.path().string());
  child<QPushButton>(&dialog, "cmdCancel")->click();
  EXPECT_EQ(settings().get(app::kDataFilesPfad), out_.string());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// From an empty store: the initial texts, and a chooser in German that starts in the home folder.
TEST_F(SettingsDialogTest, shapefile_chooser_accepts_refuses_and_cancels) {
  app::installSettings(std::make_unique<app::MemorySettings>());
  gui::frmEinstellungen dialog;
  dialog.show();
  EXPECT_EQ(label(&dialog, "lblShpPath"), "Kein ShapeFile eingestellt");
  EXPECT_EQ(label(&dialog, "lblDBFPath"), "Kein Pfad für die DBF-Dateien eingestellt");
  EXPECT_EQ(label(&dialog, "lblDataPath"), "Kein Pfad eingestellt");
  const guitest::FileDialogSeen seen = chooseShapefile(&dialog, shapes_ / "good.shx");
  EXPECT_EQ(seen.folder.toStdString(), home_.string());
  for (const char* german :
       {"Suchen in:", "Datei&name:", "Dateien des Typs:", "&Öffnen", "Abbrechen"})
    EXPECT_TRUE(seen.texts.contains(german))
        << german << ": " << seen.texts.join("|").toStdString();
  for (const char* english : {"Look in:", "File &name:", "&Open", "Cancel"})
    EXPECT_FALSE(seen.texts.contains(english)) << english;
  EXPECT_EQ(lastBox(),
            "Die ausgewählte Datei ist kein Shapefile.\nBitte überprüfen Sie die Pfade.");
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Error);
  EXPECT_EQ(label(&dialog, "lblShpPath"), "Kein ShapeFile eingestellt");

  chooseShapefile(&dialog, shapes_ / "lonely.shp");
  EXPECT_EQ(lastBox(),
            "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei lonely.shx.\nBitte "
            "überprüfen Sie die Pfade.");
  EXPECT_EQ(label(&dialog, "lblShpPath"), "Kein ShapeFile eingestellt");

  // The parts of a DOS-era shapefile, named in capitals.
  chooseShapefile(&dialog, shapes_ / "BIG.SHP");
  EXPECT_EQ(label(&dialog, "lblShpPath"), (shapes_ / "BIG.SHP").string());

  chooseShapefile(&dialog, shapes_ / "good.shp");
  EXPECT_EQ(label(&dialog, "lblShpPath"), (shapes_ / "good.shp").string());
  const std::size_t boxes = ui().boxes.size();
  chooseShapefile(&dialog, {});
  EXPECT_EQ(ui().boxes.size(), boxes);
  EXPECT_EQ(label(&dialog, "lblShpPath"), (shapes_ / "good.shp").string());
  // "Abbrechen" in the folder chooser leaves an unset folder unset, without a word.
  chooseFolder(&dialog, "cmdDBFChange", home_, false);
  chooseFolder(&dialog, "cmdDataChange", home_, false);
  EXPECT_EQ(ui().boxes.size(), boxes);
  EXPECT_EQ(label(&dialog, "lblDBFPath"), "Kein Pfad für die DBF-Dateien eingestellt");
  EXPECT_EQ(label(&dialog, "lblDataPath"), "Kein Pfad eingestellt");

  child<QPushButton>(&dialog, "cmdExit")->click();
  EXPECT_EQ(app::settings().get(app::kShapeFilesPfad), (shapes_ / "good.shp").string());
  // The other labels were never set: nothing stored for them.
  for (const char* key : {app::kDbfFilesPfad, app::kDataFilesPfad, app::kDataFilesPrint})
    EXPECT_EQ(app::settings().get(key), "") << key;
}

TEST_F(SettingsDialogTest, folder_buttons_warn_but_keep_folder_and_ok_stores) {
  const fs::path noTables = dir_.path() / "notables";
  const fs::path used = dir_.path() / "used";
  fs::create_directories(noTables);
  fs::create_directories(used / "GN");
  gui::frmEinstellungen dialog;
  dialog.show();

  chooseFolder(&dialog, "cmdDBFChange", noTables);
  EXPECT_EQ(label(&dialog, "lblDBFPath"), noTables.string());
  EXPECT_EQ(lastBox(),
            "Die Programm-Daten konnten nicht gefunden werden.\nBitte überprüfen Sie "
            "die Pfade.");
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Error);
  EXPECT_EQ(logLines(out_).back(),
            "D3 frmEinstellungen.cmdDBFChange: Warnung! Die DBF-Dateien konnten nicht gefunden "
            "werden, Pfad: " +
                noTables.string() + "/Polygone.dbf");

  chooseFolder(&dialog, "cmdDataChange", used);
  EXPECT_EQ(label(&dialog, "lblDataPath"), used.string());
  EXPECT_EQ(lastBox(),
            "Der Pfad für die zu generierenden Daten ist nicht leer.\nVorhandene "
            "Dateien werden überschrieben.\nBitte überprüfen Sie die Pfade.");
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Warning);

  // "Abbrechen" in the chooser gives back the start folder: the label stays.
  chooseFolder(&dialog, "cmdDBFChange", dir_.path(), false);
  EXPECT_EQ(label(&dialog, "lblDBFPath"), noTables.string());

  child<QCheckBox>(&dialog, "chkDrucken")->setChecked(false);
  child<QPushButton>(&dialog, "cmdExit")->click();
  EXPECT_EQ(settings().get(app::kDbfFilesPfad), noTables.string());
  EXPECT_EQ(settings().get(app::kDataFilesPfad), used.string());
  EXPECT_EQ(settings().get(app::kDataFilesPrint), "0");
}

TEST_F(SettingsDialogTest, data_path_missing_start_folder_falls_back_to_home) {
  gui::frmDataPath chooser;
  EXPECT_EQ(chooser.windowTitle(), "Änderung der Pfadeinstellungen");
  EXPECT_EQ(child<QLabel>(&chooser, "lblHeadline")->text(),
            "Bestimmung des Ordners für die zu speichernden Daten");
  const std::string missing = (dir_.path() / "gone").string();
  chooser.SetPath(QString::fromStdString(missing));
  EXPECT_EQ(logLines(out_).back(),
            "D3 frmDataPath.SetPath: Warnung! Der Pfad " + missing + " existiert nicht.");
  // A folder that is gone falls back to the home folder, never to the program's folder.
  EXPECT_EQ(chooser.GetPath().toStdString(), home_.string());
}

TEST_F(SettingsDialogTest, data_path_unreadable_root_warns_and_returns_to_loaded_root) {
  gui::frmDataPath chooser;
  chooser.show();
  auto* drives = child<QComboBox>(&chooser, "Drive1");
  ASSERT_EQ(drives->count(), 2);
  EXPECT_EQ(drives->itemText(1).toStdString(), home_.string());
  // The chooser loads in the home folder; the user moves to "/", the home folder goes away,
  // and the user picks it again.
  const QString loaded = drives->currentText();
  EXPECT_EQ(loaded.toStdString(), home_.string());
  chooser.SetPath(QString::fromStdString(dir_.path().string()));
  EXPECT_EQ(drives->currentText(), "/");
  fs::remove_all(home_);
  drives->setFocus();
  QTest::keyClick(drives, Qt::Key_Down);
  EXPECT_EQ(lastBox(), "Auf die Partition " + home_.string() + " konnte nicht zugegriffen werden.");
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Warning);
  EXPECT_EQ(drives->currentText(), loaded);
  EXPECT_EQ(logLines(out_).back(),
            "D2 Fehler! Auf die Partition " + home_.string() + " konnte nicht zugegriffen werden.");
}

TEST_F(SettingsDialogTest, error_report_inverted_setting_ok_and_cancel) {
  // "0" means on: the box is ticked and the label names the log file.
  struct Step {
    bool ticked;
    const char* button;
    const char* stored;
  };
  for (const Step& step :
       {Step{true, "cmdExit", "1"}, Step{false, "cmdCancel", "1"}, Step{false, "cmdExit", "0"}}) {
    gui::frmErrorReport dialog;
    EXPECT_EQ(label(&dialog, "lblHeadline"), "Aktivierung / Deaktivierung der Fehleranalyse");
    auto* box = child<QCheckBox>(&dialog, "chkErrorReport");
    EXPECT_EQ(box->isChecked(), step.ticked);
    for (int click = 0; click < 2; ++click) {
      EXPECT_EQ(label(&dialog, "lblReportFile"), box->isChecked()
                                                     ? (out_ / "FehlerReport2.log").string()
                                                     : "Keine Fehleranalyse aktiviert");
      if (click == 0) box->click();
    }
    child<QPushButton>(&dialog, step.button)->click();
    EXPECT_EQ(settings().get(app::kErrorReport), step.stored) << step.button;
  }
  // The running log keeps running until the program ends.
  EXPECT_TRUE(app::g_Debug().isStarted());
}

TEST_F(SettingsDialogTest, error_report_without_output_folder_shows_both_messages) {
  app::installSettings(std::make_unique<app::MemorySettings>());
  gui::frmErrorReport dialog;
  auto* box = child<QCheckBox>(&dialog, "chkErrorReport");
  ui().boxes.clear();
  box->click();
  EXPECT_FALSE(box->isChecked());
  ASSERT_EQ(ui().boxes.size(), 2u);
  EXPECT_EQ(ui().boxes[0].text,
            "Sie müssen erst die Pfade korrekt eingestellt haben, bevor Sie die "
            "Fehleranalyse aktivieren können.");
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Information);
  EXPECT_EQ(ui().boxes[1].text.rfind("Die Fehleranalyse konnte nicht gestartet werden.", 0), 0u);
  child<QPushButton>(&dialog, "cmdExit")->click();
  EXPECT_EQ(app::settings().get(app::kErrorReport), "1");
}

TEST_F(SettingsDialogTest, info_shows_version_build_date_and_documentation_without_addresses) {
  gui::frmInfo info;
  EXPECT_EQ(label(&info, "lblVersion"), "Version: 2.3.9");
  EXPECT_TRUE(QRegularExpression("^Erstellt am \\d\\d\\.\\d\\d\\.20\\d\\d$")
                  .match(child<QLabel>(&info, "lblBuildDate")->text())
                  .hasMatch())
      << label(&info, "lblBuildDate");
  // The documentation the box names is there to read.
  const QString docs = gui::documentationFolder();
  EXPECT_EQ(label(&info, "lblKontakt"), "Dokumentation:\n" + docs.toStdString());
  EXPECT_TRUE(QFileInfo::exists(docs + "/README.md")) << docs.toStdString();
  for (const QLabel* l : info.findChildren<QLabel*>()) {
    EXPECT_EQ(l->text().indexOf('@'), -1) << l->text().toStdString();
    EXPECT_EQ(l->text().indexOf("http"), -1) << l->text().toStdString();
  }
  EXPECT_FALSE(child<QLabel>(&info, "imgLogo")->pixmap().isNull());
  info.show();
  child<QPushButton>(&info, "cmdExit")->click();
  EXPECT_FALSE(info.isVisible());
}

}  // namespace
