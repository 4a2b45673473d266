// Writes a picture of every window, filled from the sample survey, into the folder given as
// the only argument: quelbrix_gui_screenshots docs/screenshots
// The survey is written to ~/Kartierung/FFH_2024 and the documents go to ~/Kartierung/Berichte,
// so that the pictures show the paths a user would have; run it with HOME set to a clean
// folder (docs/screenshots/README.md).
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <iostream>

#include "app/resource_folder.h"
#include "data/sheet_types.h"
#include "gui/frm_ausgabe.h"
#include "gui/frm_data_path.h"
#include "gui/frm_datenpruefung.h"
#include "gui/frm_einstellungen.h"
#include "gui/frm_error_report.h"
#include "gui/frm_info.h"
#include "gui/frm_main.h"
#include "gui/frm_polygone.h"
#include "gui/frm_report.h"
#include "gui/window_support.h"
#include "gui_test_support.h"
#include "tools/sample_database.h"
#include "tools/sample_messy.h"
#include "tools/sample_shapefile.h"

namespace fs = std::filesystem;

namespace {

fs::path target;

void save(QWidget* w, const char* name) {
  w->show();
  QCoreApplication::processEvents();
  const fs::path file = target / (std::string(name) + ".png");
  if (!w->grab().save(QString::fromStdString(file.string())))
    std::cerr << "could not write " << file << "\n";
  else
    std::cout << file.string() << "\n";
}

// A picture of a fresh window of type W.
template <typename W>
void shot(const char* name) {
  W w;
  save(&w, name);
}

void selectRow(QListWidget* list, const QString& text) {
  // As a click does: the row becomes the current one too.
  list->setCurrentItem(list->findItems(text, Qt::MatchExactly).front(),
                       QItemSelectionModel::Select);
}

// A box as gui::choose shows it, with buttons of its own.
void choiceShot(QMessageBox::Icon icon, const QString& text, const QStringList& buttons,
                const char* name) {
  QMessageBox box(icon, "Quelbrix", text, QMessageBox::NoButton);
  for (const QString& b : buttons) box.addButton(b, QMessageBox::AcceptRole);
  save(&box, name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: quelbrix_gui_screenshots OUTDIR\n";
    return 2;
  }
  target = argv[1];
  fs::create_directories(target);
  guitest::ensureApplication();
  const fs::path home = QDir::homePath().toStdString();
  const fs::path mapping = home / "Kartierung";
  fs::remove_all(mapping);
  const fs::path resources = home / ".cache" / "quelbrix-screenshots";
  fs::remove_all(resources);
  const guitest::SampleSurvey survey = guitest::writeSampleSurvey(mapping / "FFH_2024", resources);
  const fs::path out = mapping / "Berichte";
  fs::create_directories(out / "GN");
  auto store = std::make_unique<app::MemorySettings>();
  store->set(app::kShapeFilesPfad, survey.shape.string());
  store->set(app::kDbfFilesPfad, survey.db.string());
  store->set(app::kDataFilesPfad, out.string());
  store->set(app::kErrorReport, "0");
  app::installSettings(std::move(store));
  app::installUi(std::make_unique<guitest::PumpingRecorder>());
  app::setResourceFolder(survey.resources);

  shot<gui::frmMain>("frmMain");
  shot<gui::frmEinstellungen>("frmEinstellungen");
  {
    gui::frmDataPath chooser;
    chooser.SetPath(QString::fromStdString(out.string()));
    chooser.setHeadline("Bestimmung des Ordners der zu speichernden Daten");
    chooser.resize(460, 420);
    save(&chooser, "frmDataPath");
  }
  shot<gui::frmErrorReport>("frmErrorReport");
  shot<gui::frmInfo>("frmInfo");
  {
    // Qt's own file chooser, as "Ändern" for the shapefile opens it.
    QFileDialog chooser(nullptr, "Bestimmung des Pfades der Shapefiles",
                        QString::fromStdString(survey.shape.parent_path().string()),
                        "Shapefiles (*.shp)");
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::ExistingFile);
    gui::fitFileChooser(chooser);
    chooser.show();
    // The folder's files are listed by a background reader.
    QTest::qWait(500);
    save(&chooser, "dlgShapeFile");
  }
  data::clsDBFData db;
  db.ValidFilePaths();
  db.ConnectDBDaten();
  db.CheckUmlauteTab();
  {
    gui::frmAusgabe window;
    window.setDBFData(db);
    window.resize(960, 620);
    window.findChild<QCheckBox*>("chkGebiet")->click();
    selectRow(window.findChild<QListWidget*>("lstFFHGebiet"), "364");
    selectRow(window.findChild<QListWidget*>("lstTeilgebiet"), "002");
    selectRow(window.findChild<QListWidget*>("lstPolygon"), "000031");
    save(&window, "frmAusgabe");
    auto* tabs = window.findChild<QTabWidget*>("tabAuswahl");
    window.findChild<QCheckBox*>("chkBiotoptyp")->click();
    auto* available = window.findChild<QTreeWidget*>("lvwBiotoptyp");
    available->topLevelItem(1)->setSelected(true);
    available->topLevelItem(4)->setSelected(true);
    window.findChild<QPushButton*>("cmdBioSelect")->click();
    tabs->setCurrentIndex(1);
    save(&window, "frmAusgabe_Biotoptypen");
    tabs->setCurrentIndex(2);
    save(&window, "frmAusgabe_Lebensraeume");
    tabs->setCurrentIndex(0);

    gui::frmPolygone selection(window);
    sheets::Restrictions all;
    for (const std::string& t : data::kSheetTypes) all.sheetTypes.add(t, t);
    selection.FillListViewBoegen(sheets::selectSheets(db, all));
    save(&selection, "frmPolygone");
  }
  {
    gui::frmReport window;
    window.setDBFData(db);
    window.resize(700, 520);
    selectRow(window.findChild<QListWidget*>("lstFFHGebiet"), "734");
    selectRow(window.findChild<QListWidget*>("lstTeilgebiet"), "001");
    selectRow(window.findChild<QListWidget*>("lstPolygon"), "00002");
    save(&window, "frmReport");
    // After a run: the status line, the documents written, "Ausgabeordner öffnen".
    window.findChild<QPushButton*>("cmdGenerate")->click();
    save(&window, "frmReport_fertig");
  }
  choiceShot(QMessageBox::Critical,
             "Der Pfad für ShapeFile-Dateien ist nicht bestimmt.\nBitte überprüfen Sie die "
             "Pfade.\n\nDie Pfade stellen Sie unter „Optionen → Einstellungen“ ein.\nZum "
             "Ausprobieren schreibt „Beispieldaten verwenden“ eine Beispiel-Erfassung in den "
             "Ordner " +
                 QDir::homePath() + "/Quelbrix-Beispiel und stellt die Pfade darauf ein.",
             {"Einstellungen öffnen", "Beispieldaten verwenden", "Schließen"}, "Erster_Start");
  choiceShot(QMessageBox::Warning,
             "Es sind Fehler aufgetreten. Weitere Informationen erhalten Sie über die Datei:\n" +
                 QString::fromStdString((out / "MessageReport.txt").string()) +
                 "\n\nAbgebrochen: 3 Bögen erstellt. 3 Dokument(e) an den Drucker PDF "
                 "übergeben: 0 gedruckt, 3 noch in der Warteschlange.\nDer Drucker PDF ist "
                 "angehalten (paused).",
             {"Meldungsdatei öffnen", "OK"}, "Meldung_Drucker");
  {
    // The data check of last year's survey, kept as offices keep it, with the map of the
    // polygon whose ring crosses itself.
    const fs::path messy = mapping / "FFH_2023";
    const sample::SampleResult written = sample::writeSampleDatabase(messy, {30, 1, "CP1252"});
    sample::makeMessy(messy);
    std::vector<std::string> codes;
    for (const auto& p : written.polygons) codes.push_back(p.code);
    sample::ShapefileForm form;
    form.nullRecord = form.faultyRecords = true;
    fs::create_directories(messy / "shape");
    sample::writeSampleShapefile(messy / "shape" / "ffh_flaechen.shp", codes, 1, form);
    app::settings().set(app::kDbfFilesPfad, messy.string());
    app::settings().set(app::kShapeFilesPfad, (messy / "shape" / "ffh_flaechen.shp").string());
    gui::frmDatenpruefung window;
    window.resize(1100, 640);
    window.startCheck();
    while (!window.result()) QTest::qWait(50);
    auto* view = window.findChild<QTableView*>("lvwBefunde");
    for (int r = 0; r < view->model()->rowCount(); ++r) {
      if (view->model()->index(r, 1).data().toString() != "Selbstüberschneidung") continue;
      view->selectRow(r);
      window.showFindingOnMap(r);
    }
    save(&window, "frmDatenpruefung");
    app::settings().set(app::kDbfFilesPfad, survey.db.string());
    app::settings().set(app::kShapeFilesPfad, survey.shape.string());
  }
  {
    QMessageBox box(QMessageBox::Critical, "Quelbrix",
                    "Der Pfad für ShapeFile-Dateien ist nicht bestimmt.\nBitte überprüfen Sie die "
                    "Pfade.");
    save(&box, "Meldung");
  }
  app::installUi(std::make_unique<app::ConsoleUserInterface>());
  app::installSettings(std::make_unique<app::MemorySettings>());
  return 0;
}
