#include "gui/frm_report.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "app/program_objects.h"
#include "data/sheet_types.h"
#include "gui/window_support.h"
#include "report/report_run.h"

namespace gui {
namespace {

using data::kSheetTypes;

// The report window's lists keep room for a few rows.
QListWidget* tallList(QWidget* parent, const char* name) {
  QListWidget* l = multiList(parent, name);
  l->setMinimumHeight(220);
  return l;
}

std::vector<std::size_t> selectedRows(const QListWidget* list) {
  std::vector<std::size_t> rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows.push_back(static_cast<std::size_t>(i));
  return rows;
}

// The status line after a run: "Fertig: 4 Datenreports und 2 Deckblätter erstellt".
QString runEndText(const report::ReportSummary& summary) {
  QString text = QString("%1: %2 %3 und %4 %5 erstellt")
                     .arg(summary.cancelled ? "Abgebrochen" : "Fertig")
                     .arg(summary.reports)
                     .arg(summary.reports == 1 ? "Datenreport" : "Datenreports")
                     .arg(summary.coverSheets)
                     .arg(summary.coverSheets == 1 ? "Deckblatt" : "Deckblätter");
  if (!summary.incomplete.empty())
    text += QString(", %1 unvollständig").arg(summary.incomplete.size());
  const std::size_t missing = summary.failed.size() + summary.failedCoverSheets.size();
  if (missing > 0) text += QString(", %1 nicht erstellt").arg(missing);
  return text;
}

}  // namespace

frmReport::frmReport(QWidget* parent) : QDialog(parent) {
  setObjectName("frmReport");
  setWindowTitle("Datenreport");
  setModal(true);

  auto* headline = namedLabel(this, "lblHeadline", "Reportgenerator");
  QFont bold = headline->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  headline->setFont(bold);

  fraFFHGebiet_ = new QGroupBox("Auswahl der Geländebögen", this);
  fraFFHGebiet_->setObjectName("fraFFHGebiet");
  lstFFHGebiet_ = tallList(fraFFHGebiet_, "lstFFHGebiet");
  lstTeilgebiet_ = tallList(fraFFHGebiet_, "lstTeilgebiet");
  lstPolygon_ = tallList(fraFFHGebiet_, "lstPolygon");
  auto* grid = new QGridLayout(fraFFHGebiet_);
  grid->addWidget(namedLabel(fraFFHGebiet_, "lblFFHGebiet", "FFH-Gebiet"), 0, 0);
  grid->addWidget(namedLabel(fraFFHGebiet_, "lblTeilgebiet", "Teilgebiet"), 0, 1);
  grid->addWidget(namedLabel(fraFFHGebiet_, "lblPolygon", "Polygon,Teil"), 0, 2);
  grid->addWidget(lstFFHGebiet_, 1, 0);
  grid->addWidget(lstTeilgebiet_, 1, 1);
  grid->addWidget(lstPolygon_, 1, 2);

  auto* option = namedLabel(this, "lblOption", "Einschränkungen");
  chkEmpty_ = new QCheckBox("Leere Geländebögen nicht generieren", this);
  chkEmpty_->setObjectName("chkEmpty");
  chkKopien_ = new QCheckBox("Kopien von Sammel- und Komplexbögen nicht generieren", this);
  chkKopien_->setObjectName("chkKopien");
  auto* options = new QVBoxLayout;
  options->addWidget(option);
  options->addWidget(chkEmpty_);
  options->addWidget(chkKopien_);

  auto* label1 = namedLabel(this, "Label1", "Geländebogen");
  lblProgress_ = namedLabel(this, "lblProgress", "Gesamtdauer");
  lblProgress_->setMinimumWidth(260);
  prbProgress_ = new QProgressBar(this);
  prbProgress_->setObjectName("prbProgress");
  prbProgress_->setRange(0, 1);
  prbProgress_->setValue(0);
  prbProgress_->setTextVisible(false);
  lblTime_ = namedLabel(this, "lblTime", "00:00:00");
  auto* progress = new QGridLayout;
  progress->addWidget(label1, 0, 0);
  progress->addWidget(prbProgress_, 0, 1);
  progress->addWidget(lblProgress_, 1, 0);
  progress->addWidget(lblTime_, 1, 1, Qt::AlignRight);
  progress->setColumnStretch(1, 1);

  cmdGenerate_ = namedButton(this, "cmdGenerate", "Report erstellen");
  cmdCancel_ = namedButton(this, "cmdCancel", "Abbrechen");
  cmdExit_ = namedButton(this, "cmdExit", "Verlassen");
  cmdCancel_->setCursor(Qt::ArrowCursor);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdGenerate_);
  buttons->addWidget(cmdCancel_);
  buttons->addWidget(cmdExit_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(headline);
  layout->addWidget(fraFFHGebiet_, 1);
  layout->addLayout(options);
  layout->addLayout(progress);
  layout->addLayout(buttons);

  Timer1_ = new QTimer(this);
  Timer1_->setObjectName("Timer1");
  Timer1_->setInterval(1000);
  connect(Timer1_, &QTimer::timeout, this, [this] { timerTick(); });
  connect(lstFFHGebiet_, &QListWidget::itemSelectionChanged, this, [this] { areaClicked(0); });
  connect(lstTeilgebiet_, &QListWidget::itemSelectionChanged, this, [this] { areaClicked(1); });
  connect(lstPolygon_, &QListWidget::itemSelectionChanged, this, [this] { areaClicked(2); });
  connect(cmdGenerate_, &QPushButton::clicked, this, [this] { cmdGenerateClick(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { cancelRun(); });
  connect(cmdExit_, &QPushButton::clicked, this, [this] { reject(); });

  chkKopien_->setChecked(false);
  chkEmpty_->setChecked(false);
  // The option has no effect on reports.
  chkEmpty_->setEnabled(false);
  SetGenerateState(false);
  cmdCancel_->setEnabled(false);
  cmdGenerate_->setEnabled(false);
  setFieldEnabled(lstTeilgebiet_, false);
  setFieldEnabled(lstPolygon_, false);
  printing_ = std::make_unique<WindowPrinting>([this] { return cancel_.load(); });
}

void frmReport::setDBFData(data::clsDBFData& db) {
  db_ = &db;
  data::TextSet sheets;
  data::AreaRoots roots;
  if (db.GetReportBogenNumbers(kSheetTypes, sheets, roots) == 101) {
    app::g_Debug().Ausgabe(2, "Fehler! Geländebogennummern konnten nicht ermittelt werden.");
    app::ui().message(app::MessageIcon::Warning,
                      "Die Geländebogennummern konnten nicht ermittelt werden.\nBitte versuchen "
                      "Sie es erneut.");
    return;
  }
  SetBogenNumbers(sheets, roots);
}

void frmReport::SetBogenNumbers(const data::TextSet& sheets, const data::AreaRoots& roots) {
  areas_.SetBogenNumbers(roots);
  sheets_ = sheets;
  fillRows(lstFFHGebiet_, areas_.areaRows());
  fillRows(lstTeilgebiet_, areas_.subAreaRows());
  fillRows(lstPolygon_, areas_.polygonRows());
  setFieldEnabled(lstFFHGebiet_, true);
  cmdGenerate_->setEnabled(false);
}

void frmReport::fillRows(QListWidget* list, const std::vector<std::string>& rows) {
  const QSignalBlocker quiet(list);
  list->clear();
  for (const auto& row : rows) list->addItem(qs(row));
}

void frmReport::areaClicked(int level) {
  if (level == 0) {
    cmdGenerate_->setEnabled(false);
    areas_.selectAreas(selectedRows(lstFFHGebiet_));
    fillRows(lstTeilgebiet_, areas_.subAreaRows());
    fillRows(lstPolygon_, areas_.polygonRows());
  } else if (level == 1) {
    cmdGenerate_->setEnabled(false);
    areas_.selectSubAreas(selectedRows(lstTeilgebiet_));
    fillRows(lstPolygon_, areas_.polygonRows());
  } else {
    areas_.selectPolygons(selectedRows(lstPolygon_));
    cmdGenerate_->setEnabled(true);
  }
  setFieldEnabled(lstTeilgebiet_, areas_.subAreaListEnabled());
  setFieldEnabled(lstPolygon_, areas_.polygonListEnabled());
}

void frmReport::SetGenerateState(bool running) {
  running_ = running;
  if (running) {
    started_.start();
    Timer1_->start();
    setCursor(Qt::WaitCursor);
  } else {
    if (started_.isValid()) timerTick();
    Timer1_->stop();
    unsetCursor();
  }
  for (QListWidget* list : {lstFFHGebiet_, lstTeilgebiet_, lstPolygon_})
    setFieldEnabled(list, !running);
  // A second run or closing the window waits until a cancelled run has ended.
  cmdExit_->setEnabled(!running && !runActive_);
  cmdGenerate_->setEnabled(!running && !runActive_);
}

void frmReport::timerTick() {
  lblTime_->setText(formatElapsed(std::chrono::milliseconds(started_.elapsed())));
}

void frmReport::cmdGenerateClick() {
  if (runActive_ || !db_) return;
  runActive_ = true;
  cancel_ = false;
  cmdCancel_->setEnabled(true);
  SetGenerateState(true);
  app::ui().processEvents();

  const std::vector<std::string> codes = areas_.selectedPolygonCodes();
  prbProgress_->setRange(0, static_cast<int>(codes.size()) + 1);
  prbProgress_->setValue(0);
  app::ui().processEvents();
  lblProgress_->setText("Gesamtdauer");
  report::ReportCallbacks callbacks;
  callbacks.progress = [this](std::size_t position, std::size_t, const std::string&) {
    prbProgress_->setValue(static_cast<int>(position));
  };
  // Run mode ends before the message file's box is shown, so the box meets an idle window.
  auto finish = [this] {
    prbProgress_->setValue(0);
    runActive_ = false;
    SetGenerateState(false);
    cmdCancel_->setEnabled(false);
  };
  callbacks.finished = [this, finish](const report::ReportSummary& summary) {
    finish();
    lblProgress_->setText(runEndText(summary));
  };
  try {
    // The window's thread serves the workers, one per core, and keeps the window answering.
    word::RunContext run = word::programContext(*db_);
    lastRun_ = report::runReports(run, codes, chkKopien_->isChecked(), cancel_, callbacks, jobs_);
  } catch (const data::FatalError& e) {
    finish();
    app::ui().message(app::MessageIcon::Warning, e.what());
    programEnded_ = true;
    hide();
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(1);
    return;
  }
  finish();
  // The run has logged the error and ended without a message file; without a box the user
  // would take the half-made run for a finished one.
  if (lastRun_.aborted)
    app::ui().message(
        app::MessageIcon::Error,
        "Der Datenreport wurde wegen eines unerwarteten Fehlers abgebrochen:\n" + lastRun_.error);
}

void frmReport::cancelRun() {
  cancel_ = true;
  SetGenerateState(false);
  cmdCancel_->setEnabled(false);
}

void frmReport::reject() {
  if (runActive_) return;
  QDialog::reject();
}

void frmReport::closeEvent(QCloseEvent* event) {
  if (runActive_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace gui
