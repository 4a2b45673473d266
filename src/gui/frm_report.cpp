#include "gui/frm_report.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

#include "app/message_file.h"
#include "app/program_objects.h"
#include "data/schema/sheet_types.h"
#include "gui/polygon_preview.h"
#include "gui/window_memory.h"
#include "gui/window_printing.h"
#include "gui/window_support.h"
#include "report/polygon_map.h"

namespace gui {
namespace {

using data::kSheetTypes;

}  // namespace

frmReport::frmReport(QWidget* parent)
    : GenerationWindow(parent,
                       {"frmReport", "Reportgenerator", "Polygon,Teil", "Einschränkungen",
                        "Geländebogen", "Report erstellen"},
                       data::AreaSelection::Mode::Report) {
  auto* frame = new QGroupBox("Auswahl der Geländebögen", this);
  frame->setObjectName("fraFFHGebiet");
  auto* grid = new QGridLayout(frame);
  placeAreaLists(grid, 0);
  // The lists keep room for a few rows.
  for (QListWidget* list : {lstFFHGebiet_, lstTeilgebiet_, lstPolygon_})
    list->setMinimumHeight(220);
  setBody(frame);

  // The map of the polygon clicked last, beside the lists.
  lblKarte_ = namedLabel(this, "lblKarte", "Karte");
  picKarte_ = new PolygonPreview(this);
  picKarte_->setObjectName("picKarte");
  picKarte_->showNote("Ein Polygon anklicken, um seine Karte zu sehen.");
  side_->addWidget(lblKarte_);
  side_->addWidget(picKarte_, 1);

  chkDossier_ = new QCheckBox("Je Polygon eine PDF-Mappe", this);
  chkDossier_->setObjectName("chkDossier");
  chkDossier_->setToolTip(
      "Schreibt je Polygon Report/<Polygon>Dossier.pdf: das Deckblatt, dann die Datenreports "
      "(braucht LibreOffice).");
  addOption(chkDossier_);

  chkKopien_->setChecked(false);
  chkEmpty_->setChecked(false);
  SetGenerateState(false);
  setFieldEnabled(lstTeilgebiet_, false);
  setFieldEnabled(lstPolygon_, false);
}

void frmReport::setDBFData(data::clsDBFData& db) {
  db_ = &db;
  data::TextSet sheets;
  data::AreaRoots roots;
  if (db.GetReportBogenNumbers(kSheetTypes, sheets, roots) == 101) {
    app::g_Debug().Ausgabe(2, "Fehler! Geländebogennummern konnten nicht ermittelt werden.");
    app::reportUnreadableSurvey(
        "Die Geländebogennummern konnten nicht ermittelt werden.\nBitte versuchen Sie es erneut.",
        db.lastError(), db.services(), app::MessageIcon::Warning);
    return;
  }
  SetBogenNumbers(sheets, roots);
  recallChoices();
}

void frmReport::rememberChoices() {
  GenerationWindow::rememberChoices();
  rememberAreaRows();
  rememberChoice(*this, "chkDossier", chkDossier_->isChecked());
}

void frmReport::recallChoices() {
  GenerationWindow::recallChoices();
  recallAreaRows();
  chkDossier_->setChecked(rememberedChoice(*this, "chkDossier", false).toBool());
}

void frmReport::SetBogenNumbers(const data::TextSet& sheets, const data::AreaRoots& roots) {
  areas_.SetBogenNumbers(roots);
  sheets_ = sheets;
  showAreaRows();
  setFieldEnabled(lstFFHGebiet_, true);
  polygonClicked_ = false;
  updateButtons();
}

void frmReport::areaClicked(int level) {
  polygonClicked_ = level == 2;
  showPreview();
  setFieldEnabled(lstTeilgebiet_, areas_.subAreaListEnabled());
  setFieldEnabled(lstPolygon_, areas_.polygonListEnabled());
  updateButtons();
}

void frmReport::showPreview() {
  previewed_.clear();
  const QListWidgetItem* row = lstPolygon_->currentItem();
  if (!db_ || !row || !row->isSelected()) {
    lblKarte_->setText("Karte");
    picKarte_->showNote("Ein Polygon anklicken, um seine Karte zu sehen.");
    return;
  }
  // The codes the lists stand for that end in this polygon: the first that has a map.
  const std::string polygon = ss(row->text());
  std::string cause;
  word::RunContext run = word::programContext(*db_);
  for (const std::string& code : areas_.selectedPolygonCodes()) {
    if (!code.ends_with(polygon)) continue;
    if (std::optional<report::PolygonMap> map = report::coverSheetMap(code, run, cause)) {
      previewed_ = code;
      lblKarte_->setText(qs("Karte: Polygon " + code));
      picKarte_->showMap(std::move(*map));
      return;
    }
  }
  lblKarte_->setText(qs("Karte: Polygon " + polygon));
  picKarte_->showNote(qs(cause.empty() ? "Keine Karte." : "Keine Karte: " + cause));
}

void frmReport::runModeChanged(bool running) {
  for (QListWidget* list : {lstFFHGebiet_, lstTeilgebiet_, lstPolygon_})
    setFieldEnabled(list, !running);
  chkDossier_->setEnabled(!running);
}

void frmReport::generate() {
  const std::vector<std::string> codes = areas_.selectedPolygonCodes();
  prbProgress_->setRange(0, static_cast<int>(codes.size()) + 1);
  prbProgress_->setValue(0);
  app::ui().processEvents();
  lblProgress_->setText("Gesamtdauer");
  report::ReportCallbacks callbacks;
  // "Polygon 3 von 12: 05900100003", counted in the order the polygons are taken in hand.
  callbacks.progress = [this](std::size_t, std::size_t count, const std::string& code) {
    showProgress(QString("Polygon %1 von %2: %3").arg(taken() + 1).arg(count).arg(qs(code)));
  };
  callbacks.finished = [this](const report::ReportSummary& summary) {
    finishRun();
    holdRunEndBox();
    // "Fertig: 4 Datenreports und 2 Deckblätter erstellt, 2 PDF-Mappen geschrieben"
    const QString made = QString("%1 %2 und %3 %4")
                             .arg(summary.reports)
                             .arg(summary.reports == 1 ? "Datenreport" : "Datenreports")
                             .arg(summary.coverSheets)
                             .arg(summary.coverSheets == 1 ? "Deckblatt" : "Deckblätter");
    const QString dossiers = chkDossier_->isChecked()
                                 ? QString("%1 %2 geschrieben")
                                       .arg(summary.dossiers)
                                       .arg(summary.dossiers == 1 ? "PDF-Mappe" : "PDF-Mappen")
                                 : QString();
    lblProgress_->setText(runEndText(summary.cancelled, made, summary.incomplete.size(),
                                     summary.failed.size() + summary.failedCoverSheets.size(),
                                     dossiers, summary.unchanged, summary.changedNotice));
  };
  if (chkDossier_->isChecked())
    callbacks.dossier = [&writer = printing().dossiers()](const auto& documents,
                                                          const auto& target) {
      return writer.write(documents, target);
    };
  // The window's thread serves the workers, one per core, and keeps the window answering.
  word::RunContext run = runContext();
  lastRun_ = report::runReports(run, codes, chkKopien_->isChecked(), cancel_, callbacks, jobs_,
                                changedOnly());
  if (!lastRun_.aborted) showRunEnd(lastRun_.cancelled, lastRun_.messageFile.file);
  // The run has logged the error and ended without a message file; without a box the user
  // would take the half-made run for a finished one.
  if (lastRun_.aborted) {
    finishRun();
    app::ui().message(
        app::MessageIcon::Error,
        "Der Datenreport wurde wegen eines unerwarteten Fehlers abgebrochen:\n" + lastRun_.error);
  }
}

}  // namespace gui
