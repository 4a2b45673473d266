#include "gui/frm_datenpruefung.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "app/program_objects.h"
#include "app/settings.h"
#include "check/findings_csv.h"
#include "gui/findings_model.h"
#include "gui/polygon_map_view.h"
#include "gui/window_support.h"

namespace gui {

frmDatenpruefung::frmDatenpruefung(QWidget* parent) : QDialog(parent) {
  setObjectName("frmDatenpruefung");
  setWindowTitle("Daten prüfen");
  setModal(true);
  resize(1000, 640);

  auto* headline = namedLabel(this, "lblHeadline", "Kartierordner vor der Abgabe prüfen");
  QFont big = headline->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.3);
  headline->setFont(big);
  lblFolders_ = namedLabel(this, "lblFolders", "");
  lblFolders_->setWordWrap(true);
  lblFolders_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  cmdStart_ = namedButton(this, "cmdStart", "Prüfung starten");
  cmdCancel_ = namedButton(this, "cmdCancel", "Abbrechen");
  cmdCancel_->setEnabled(false);
  prbProgress_ = new QProgressBar(this);
  prbProgress_->setObjectName("prbProgress");
  prbProgress_->setValue(0);
  lblProgress_ = namedLabel(this, "lblProgress", "");
  auto* runRow = new QHBoxLayout;
  runRow->addWidget(cmdStart_);
  runRow->addWidget(prbProgress_, 1);
  runRow->addWidget(cmdCancel_);

  cboSchwere_ = new QComboBox(this);
  cboSchwere_->setObjectName("cboSchwere");
  cboSchwere_->addItem("Alle", -1);
  for (auto s : {check::Severity::Fehler, check::Severity::Warnung, check::Severity::Hinweis})
    cboSchwere_->addItem(check::severityText(s), static_cast<int>(s));
  cboPruefung_ = new QComboBox(this);
  cboPruefung_->setObjectName("cboPruefung");
  cboPruefung_->addItem("Alle Prüfungen", -1);
  txtSchluessel_ = new QLineEdit(this);
  txtSchluessel_->setObjectName("txtSchluessel");
  txtSchluessel_->setPlaceholderText("Bogen- oder Polygonnummer");
  txtSchluessel_->setClearButtonEnabled(true);
  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(namedLabel(this, "lblSchwere", "Schwere:"));
  filterRow->addWidget(cboSchwere_);
  filterRow->addWidget(namedLabel(this, "lblPruefung", "Prüfung:"));
  filterRow->addWidget(cboPruefung_, 1);
  filterRow->addWidget(namedLabel(this, "lblSchluessel", "Schlüssel:"));
  filterRow->addWidget(txtSchluessel_, 1);

  model_ = new FindingsModel(this);
  filter_ = new FindingsFilter(this);
  filter_->setSourceModel(model_);
  lvwBefunde_ = new QTableView(this);
  lvwBefunde_->setObjectName("lvwBefunde");
  lvwBefunde_->setModel(filter_);
  lvwBefunde_->setSortingEnabled(true);
  lvwBefunde_->sortByColumn(0, Qt::AscendingOrder);
  lvwBefunde_->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvwBefunde_->setSelectionMode(QAbstractItemView::SingleSelection);
  lvwBefunde_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvwBefunde_->verticalHeader()->hide();
  lvwBefunde_->verticalHeader()->setDefaultSectionSize(lvwBefunde_->fontMetrics().height() + 6);
  lvwBefunde_->horizontalHeader()->setStretchLastSection(true);
  lvwBefunde_->setWordWrap(false);

  picKarte_ = new PolygonMapView(this);
  lblKarte_ = namedLabel(this, "lblKarte", "");
  lblKarte_->setWordWrap(true);
  lblKarte_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  lblKarte_->setMinimumHeight(3 * lblKarte_->fontMetrics().lineSpacing());
  auto* mapColumn = new QWidget(this);
  auto* mapLayout = new QVBoxLayout(mapColumn);
  mapLayout->setContentsMargins(0, 0, 0, 0);
  mapLayout->addWidget(picKarte_, 1);
  mapLayout->addWidget(lblKarte_);
  auto* splitter = new QSplitter(this);
  splitter->addWidget(lvwBefunde_);
  splitter->addWidget(mapColumn);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);

  lblSummary_ = namedLabel(this, "lblSummary", "");
  cmdCsv_ = namedButton(this, "cmdCsv", "Als CSV speichern …");
  cmdCsv_->setEnabled(false);
  cmdExit_ = namedButton(this, "cmdExit", "Schließen");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lblSummary_, 1);
  buttons->addWidget(cmdCsv_);
  buttons->addWidget(cmdExit_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(headline);
  layout->addWidget(lblFolders_);
  layout->addLayout(runRow);
  layout->addWidget(lblProgress_);
  layout->addLayout(filterRow);
  layout->addWidget(splitter, 1);
  layout->addLayout(buttons);

  const app::Settings& s = app::settings();
  lblFolders_->setText("DBF-Dateien: " + qs(s.get(app::kDbfFilesPfad)) +
                       "\nShapefile: " + qs(s.get(app::kShapeFilesPfad)));

  connect(cmdStart_, &QPushButton::clicked, this, [this] { startCheck(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] {
    cancel_ = true;
    lblProgress_->setText("Wird abgebrochen …");
  });
  connect(cmdCsv_, &QPushButton::clicked, this, [this] { chooseCsvFile(); });
  connect(cmdExit_, &QPushButton::clicked, this, &QDialog::reject);
  connect(cboSchwere_, &QComboBox::currentIndexChanged, this, [this] { filterChanged(); });
  connect(cboPruefung_, &QComboBox::currentIndexChanged, this, [this] { filterChanged(); });
  connect(txtSchluessel_, &QLineEdit::textChanged, this, [this] { filterChanged(); });
  connect(lvwBefunde_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { showFindingOnMap(index.row()); });
}

frmDatenpruefung::~frmDatenpruefung() {
  stopWorker();
}

void frmDatenpruefung::startCheck() {
  if (running()) return;
  const app::Settings& s = app::settings();
  check::CheckOptions options;
  options.surveyFolder = s.get(app::kDbfFilesPfad);
  options.shapefile = s.get(app::kShapeFilesPfad);
  options.today = check::today();
  cancel_ = false;
  cmdStart_->setEnabled(false);
  cmdCancel_->setEnabled(true);
  cmdCsv_->setEnabled(false);
  prbProgress_->setValue(0);
  lblProgress_->setText("Die Prüfung beginnt …");
  // The check runs beside the event loop; what it reports reaches the window as queued calls,
  // which Qt drops once the window is gone (the destructor waits for the thread first).
  worker_ = std::thread([this, options] {
    auto result = std::make_shared<check::CheckResult>(check::runDataCheck(
        options,
        [this](std::size_t step, std::size_t steps, const std::string& what) {
          QMetaObject::invokeMethod(
              this, [this, step, steps, text = qs(what)] { progress(step, steps, text); },
              Qt::QueuedConnection);
        },
        &cancel_));
    QMetaObject::invokeMethod(
        this, [this, result] { finished(result); }, Qt::QueuedConnection);
  });
}

void frmDatenpruefung::progress(std::size_t step, std::size_t steps, const QString& what) {
  if (!running()) return;
  prbProgress_->setMaximum(static_cast<int>(steps));
  prbProgress_->setValue(static_cast<int>(step));
  if (!cancel_) lblProgress_->setText(what + " …");
}

void frmDatenpruefung::finished(std::shared_ptr<check::CheckResult> result) {
  if (worker_.joinable()) worker_.join();
  result_ = std::move(result);
  cmdStart_->setEnabled(true);
  cmdCancel_->setEnabled(false);
  prbProgress_->setValue(prbProgress_->maximum());
  if (result_->unreadable) {
    lblProgress_->setText("Die Prüfung war nicht möglich.");
    model_->setFindings({});
    updateSummary();
    app::ui().message(app::MessageIcon::Error, result_->reason);
    return;
  }
  QString done = result_->cancelled ? "Abgebrochen: die Befunde bis dahin." : "Fertig.";
  if (!result_->coordinateSystem.empty())
    done += " Koordinatensystem der Shape-Datei: " + qs(result_->coordinateSystem);
  lblProgress_->setText(done);
  model_->setFindings(result_->findings);
  const QSignalBlocker block(cboPruefung_);
  cboPruefung_->clear();
  cboPruefung_->addItem("Alle Prüfungen", -1);
  for (const auto& c : check::countByCheck(result_->findings))
    cboPruefung_->addItem(check::checkName(c.check), static_cast<int>(c.check));
  filterChanged();
  cmdCsv_->setEnabled(true);
  lvwBefunde_->resizeColumnsToContents();
}

void frmDatenpruefung::stopWorker() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void frmDatenpruefung::reject() {
  stopWorker();
  QDialog::reject();
}

void frmDatenpruefung::filterChanged() {
  const int severity = cboSchwere_->currentData().toInt();
  const int id = cboPruefung_->currentData().toInt();
  filter_->setSeverity(severity < 0 ? std::nullopt
                                    : std::optional(static_cast<check::Severity>(severity)));
  filter_->setCheck(id < 0 ? std::nullopt : std::optional(static_cast<check::CheckId>(id)));
  filter_->setKeyPart(txtSchluessel_->text());
  updateSummary();
}

void frmDatenpruefung::updateSummary() {
  if (!result_ || result_->unreadable) {
    lblSummary_->setText(result_ ? qs(result_->reason) : QString());
    return;
  }
  QString text = QString("%1 Fehler, %2 Warnungen, %3 Hinweise")
                     .arg(result_->count(check::Severity::Fehler))
                     .arg(result_->count(check::Severity::Warnung))
                     .arg(result_->count(check::Severity::Hinweis));
  if (filter_->rowCount() != model_->rowCount())
    text += QString(" (angezeigt: %1)").arg(filter_->rowCount());
  lblSummary_->setText(text);
}

void frmDatenpruefung::showFindingOnMap(int row) {
  const QModelIndex index = filter_->mapToSource(filter_->index(row, 0));
  if (!index.isValid() || !result_) return;
  const check::Finding& f = model_->finding(index.row());
  if (f.shapeRecord == 0 || !result_->shape) {
    picKarte_->showRecord(nullptr, 0, std::nullopt);
    lblKarte_->setText("Zu diesem Befund gibt es kein Polygon im Shapefile.");
    return;
  }
  picKarte_->showRecord(result_->shape, f.shapeRecord, f.place);
  const std::string key = result_->shape->keyOf(f.shapeRecord);
  lblKarte_->setText(QString("Polygon %1, Datensatz %2 des Shapefiles%3")
                         .arg(qs(key.empty() ? "ohne Nummer" : key))
                         .arg(f.shapeRecord)
                         .arg(f.place ? "; der rote Kreis zeigt die Stelle." : "."));
}

bool frmDatenpruefung::saveCsv(const QString& file) {
  if (!result_) return false;
  const std::string problem = check::writeFindingsCsv(ss(file), result_->findings);
  if (problem.empty()) {
    lblProgress_->setText("Gespeichert: " + file);
    return true;
  }
  app::ui().message(app::MessageIcon::Error, problem);
  return false;
}

void frmDatenpruefung::chooseCsvFile() {
  QString folder = qs(app::settings().get(app::kDataFilesPfad));
  if (folder.isEmpty()) folder = fallbackFolder();
  const QString file = QFileDialog::getSaveFileName(
      this, "Befunde speichern", folder + "/Datenpruefung.csv", "CSV-Dateien (*.csv)");
  if (!file.isEmpty()) saveCsv(file);
}

void showDataCheck(QWidget* parent) {
  frmDatenpruefung window(parent);
  window.startCheck();
  window.exec();
}

}  // namespace gui
