#include "gui/frm_einstellungen.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/program_objects.h"
#include "base/file_lookup.h"
#include "gui/frm_data_path.h"
#include "gui/window_support.h"

namespace gui {
namespace {

QGroupBox* pathFrame(QWidget* parent, const char* name, const QString& caption, QLabel* label,
                     QPushButton* change, QLabel* example = nullptr) {
  auto* frame = new QGroupBox(caption, parent);
  frame->setObjectName(name);
  label->setParent(frame);
  change->setParent(frame);
  label->setWordWrap(true);
  label->setMinimumWidth(420);
  label->setFrameShape(QFrame::StyledPanel);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* grid = new QGridLayout(frame);
  grid->addWidget(label, 0, 0);
  grid->addWidget(change, 0, 1, Qt::AlignTop);
  if (example) {
    example->setParent(frame);
    grid->addWidget(example, 1, 0, 1, 2);
  }
  grid->setColumnStretch(0, 1);
  return frame;
}

QPushButton* changeButton(const char* name) {
  auto* b = new QPushButton("Ändern");
  b->setObjectName(name);
  return b;
}

QLabel* namedLabel(const char* name, const QString& text) {
  auto* l = new QLabel(text);
  l->setObjectName(name);
  return l;
}

}  // namespace

frmEinstellungen::frmEinstellungen(QWidget* parent) : QDialog(parent) {
  setObjectName("frmEinstellungen");
  setWindowTitle("Einstellungen");
  setModal(true);

  lblShpPath_ = namedLabel("lblShpPath", "Kein ShapeFile eingestellt");
  lblDBFPath_ = namedLabel("lblDBFPath", "Kein Pfad für die DBF-Dateien eingestellt");
  lblDataPath_ = namedLabel("lblDataPath", "Kein Pfad eingestellt");
  QPushButton* shpChange = changeButton("cmdShpChange");
  QPushButton* dbfChange = changeButton("cmdDBFChange");
  QPushButton* dataChange = changeButton("cmdDataChange");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pathFrame(this, "fraShpPath", "Pfad der Shapefiles", lblShpPath_, shpChange));
  layout->addWidget(pathFrame(
      this, "fraDBFData", "Pfad der Programm-Daten (DBF-Dateien der FFH-Geländeerfassung)",
      lblDBFPath_, dbfChange,
      namedLabel("lblBeispiel", "(Beispiel: /home/benutzer/FFH-Erfassung/Daten)")));
  layout->addWidget(pathFrame(
      this, "fraDataPath", "Pfad für die generierten Word-Dateien", lblDataPath_, dataChange,
      namedLabel("lblBeispiel2", "(Beispiel: /home/benutzer/Quelbrix/Reports)")));

  chkDrucken_ = new QCheckBox("Generierte Dateien werden ausgedruckt!", this);
  chkDrucken_->setObjectName("chkDrucken");
  layout->addWidget(chkDrucken_);

  const DialogButtons dialog = dialogButtons(this, "OK");
  QPushButton* ok = dialog.confirm;
  QPushButton* cancel = dialog.cancel;
  QHBoxLayout* buttons = dialog.row;
  layout->addLayout(buttons);

  connect(chkDrucken_, &QCheckBox::toggled, this, [](bool ticked) {
    if (ticked)
      app::ui().message(app::MessageIcon::Information,
                        "Die Gelände- und Reportbögen werden auf den Standard-Drucker "
                        "ausgegeben.\nSorgen Sie bitte dafür, dass der entsprechende Drucker im "
                        "System eingestellt und eingeschaltet ist.");
  });
  connect(shpChange, &QPushButton::clicked, this, [this] { cmdShpChangeClick(); });
  connect(dbfChange, &QPushButton::clicked, this, [this] { cmdDBFChangeClick(); });
  connect(dataChange, &QPushButton::clicked, this, [this] { cmdDataChangeClick(); });
  connect(ok, &QPushButton::clicked, this, [this] { cmdExitClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  GetPathFromRegistry();
}

void frmEinstellungen::GetPathFromRegistry() {
  const app::Settings& s = app::settings();
  auto load = [](QLabel* label, bool& set, const std::string& value) {
    if (value.empty()) return;
    label->setText(qs(value));
    set = true;
  };
  load(lblShpPath_, shpSet_, s.get(app::kShapeFilesPfad));
  load(lblDBFPath_, dbfSet_, s.get(app::kDbfFilesPfad));
  load(lblDataPath_, dataSet_, s.get(app::kDataFilesPfad));
  const std::string print = s.get(app::kDataFilesPrint);
  if (!print.empty()) chkDrucken_->setChecked(std::atof(print.c_str()) != 0.0);
}

void frmEinstellungen::cmdShpChangeClick() {
  const QString previous = lblShpPath_->text();
  // The chooser opens where the chosen shapefile lies, else in the home folder.
  const QString current = QFileInfo(previous).absolutePath();
  const QString start = shpSet_ && QFileInfo(current).isDir() ? current : fallbackFolder();
  QFileDialog dialog(this, "Bestimmung des Pfades der Shapefiles", start, "Shapefiles (*.shp)");
  dialog.setObjectName("dlgShapeFile");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // The same dialog on every desktop, and one a test can drive.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  fitFileChooser(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString file = dialog.selectedFiles().constFirst();
  lblShpPath_->setText(file);

  // The parts of shapefiles from DOS-era programs are named in capitals ("FFH.SHP").
  if (!base::hasExtensionNoCase(ss(file), ".shp")) {
    app::g_Debug().Ausgabe(3,
                           "frmEinstellungen.cmdShpChange: Warnung! Die ausgewählte Datei ist "
                           "kein Shapefile: " +
                               ss(file));
    app::ui().message(app::MessageIcon::Error,
                      "Die ausgewählte Datei ist kein Shapefile.\nBitte überprüfen Sie die Pfade.");
    lblShpPath_->setText(previous);
    return;
  }
  if (base::findSiblingNoCase(ss(file), ".shx").empty()) {
    app::g_Debug().Ausgabe(
        3, "frmEinstellungen.cmdShpChange: Warnung! Die shx-Datei fehlt: " + ss(file));
    app::ui().message(app::MessageIcon::Error,
                      "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei " +
                          base::siblingPath(ss(file), ".shx").filename().string() +
                          ".\nBitte überprüfen Sie die Pfade.");
    lblShpPath_->setText(previous);
    return;
  }
  shpSet_ = true;
}

bool frmEinstellungen::chooseFolder(QLabel* label, const QString& headline) {
  frmDataPath chooser(this);
  chooser.SetPath(label->text());
  chooser.setHeadline(headline);
  // "Abbrechen" leaves the setting as it was: the chooser's start folder would be the home
  // folder whenever the label holds no folder yet.
  if (chooser.exec() != QDialog::Accepted) return false;
  const QString folder = chooser.GetPath();
  if (folder.isEmpty()) return false;
  label->setText(folder);
  return true;
}

void frmEinstellungen::cmdDBFChangeClick() {
  if (!chooseFolder(lblDBFPath_, "Bestimmung des Ordners der Programm-Daten")) return;
  dbfSet_ = true;
  const QString folder = lblDBFPath_->text();
  if (QFileInfo(folder).isDir() && !folderHoldsFile(folder, "Polygone.dbf")) {
    app::g_Debug().Ausgabe(3,
                           "frmEinstellungen.cmdDBFChange: Warnung! Die DBF-Dateien konnten "
                           "nicht gefunden werden, Pfad: " +
                               ss(folder) + "/Polygone.dbf");
    app::ui().message(app::MessageIcon::Error,
                      "Die Programm-Daten konnten nicht gefunden werden.\nBitte überprüfen Sie "
                      "die Pfade.");
  }
}

void frmEinstellungen::cmdDataChangeClick() {
  if (!chooseFolder(lblDataPath_, "Bestimmung des Ordners der zu speichernden Daten")) return;
  dataSet_ = true;
  const QString folder = lblDataPath_->text();
  if (QFileInfo(folder).isDir() &&
      !QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty()) {
    app::g_Debug().Ausgabe(3,
                           "frmEinstellungen.cmdDataChange: Warnung! Der Pfad für die zu "
                           "generierenden Daten ist nicht leer. Pfad: " +
                               ss(folder));
    app::ui().message(app::MessageIcon::Warning,
                      "Der Pfad für die zu generierenden Daten ist nicht leer.\nVorhandene "
                      "Dateien werden überschrieben.\nBitte überprüfen Sie die Pfade.");
  }
}

void frmEinstellungen::cmdExitClick() {
  app::Settings& s = app::settings();
  if (shpSet_) s.set(app::kShapeFilesPfad, ss(lblShpPath_->text()));
  if (dbfSet_) s.set(app::kDbfFilesPfad, ss(lblDBFPath_->text()));
  if (dataSet_) {
    s.set(app::kDataFilesPfad, ss(lblDataPath_->text()));
    s.set(app::kDataFilesPrint, chkDrucken_->isChecked() ? "1" : "0");
  }
  accept();
}

}  // namespace gui
