#include "gui/frm_ausgabe.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/program_objects.h"
#include "data/provider_error.h"
#include "data/sheet_types.h"
#include "gui/frm_polygone.h"
#include "gui/window_support.h"
#include "report/mod_ffh_report_bogen.h"

namespace gui {
namespace {

using data::kSheetTypes;

// List-view column widths are given in twips; a screen pixel is 15 of them.
constexpr int twips(int value) {
  return value / 15;
}

// The given widths are the least a column gets: codes longer than the column would be cut, so
// the code column widens to its content, and the text column takes the room that is left.
QTreeWidget* listView(QWidget* parent, const char* name, const QString& first, int firstWidth,
                      int secondWidth) {
  auto* v = new QTreeWidget(parent);
  v->setObjectName(name);
  v->setColumnCount(2);
  v->setHeaderLabels({first, "Langtext"});
  v->setRootIsDecorated(false);
  v->setUniformRowHeights(true);
  v->setSelectionMode(QAbstractItemView::ExtendedSelection);
  v->header()->setStretchLastSection(true);
  // The code column's header is never cut, also while the list is empty: it keeps room for its
  // caption and the sort arrow that a filled list shows.
  v->header()->setSortIndicatorShown(true);
  const int least = std::max(twips(firstWidth), v->header()->sectionSizeHint(0));
  v->header()->setSortIndicatorShown(false);
  v->header()->setMinimumSectionSize(least);
  v->setColumnWidth(0, least);
  v->setColumnWidth(1, twips(secondWidth));
  return v;
}

void fitCodeColumn(QTreeWidget* v) {
  const int least = v->header()->minimumSectionSize();
  v->resizeColumnToContents(0);
  if (v->columnWidth(0) < least) v->setColumnWidth(0, least);
}

std::vector<std::size_t> selectedRows(const QListWidget* list) {
  std::vector<std::size_t> rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows.push_back(static_cast<std::size_t>(i));
  return rows;
}

// The status line after a run: "Fertig: 12 Bögen erstellt, 1 unvollständig", "Abgebrochen: 3
// Bögen erstellt".
QString runEndText(const sheets::RunSummary& summary) {
  QString text = QString("%1: %2 %3 erstellt")
                     .arg(summary.cancelled ? "Abgebrochen" : "Fertig")
                     .arg(summary.produced)
                     .arg(summary.produced == 1 ? "Bogen" : "Bögen");
  if (!summary.incomplete.empty())
    text += QString(", %1 unvollständig").arg(summary.incomplete.size());
  if (!summary.failed.empty()) text += QString(", %1 nicht erstellt").arg(summary.failed.size());
  return text;
}

std::vector<std::string> selectedCodes(const QTreeWidget* view) {
  std::vector<std::string> codes;
  for (int i = 0; i < view->topLevelItemCount(); ++i)
    if (view->topLevelItem(i)->isSelected()) codes.push_back(ss(view->topLevelItem(i)->text(0)));
  return codes;
}

}  // namespace

frmAusgabe::frmAusgabe(QWidget* parent) : QDialog(parent) {
  setObjectName("frmAusgabe");
  setWindowTitle("Datenreport");
  setModal(true);

  lblHeadline_ = namedLabel(this, "lblHeadline", "Generator für die Geländebögen (Reinschrift)");
  QFont bold = lblHeadline_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  lblHeadline_->setFont(bold);

  auto* tabs = new QTabWidget(this);
  tabs->setObjectName("tabAuswahl");
  tabs->addTab(buildAreaPage(), "Gebiete und Geländebögen");
  tabs->addTab(buildTypePage(bio_, true), "Biotoptypen");
  tabs->addTab(buildTypePage(leben_, false), "Lebensräume");

  auto* option = namedLabel(this, "lblOption", "Einschränkungen:");
  chkKopien_ = new QCheckBox("Kopien von Sammel- und Komplexbögen nicht generieren", this);
  chkKopien_->setObjectName("chkKopien");
  chkEmpty_ = new QCheckBox("Leere Geländebögen nicht generieren", this);
  chkEmpty_->setObjectName("chkEmpty");
  // Nothing can tell an empty sheet from a filled one yet; the box is shown but not offered.
  chkEmpty_->setEnabled(false);
  chkEmpty_->setToolTip("In dieser Version ohne Wirkung");
  auto* options = new QHBoxLayout;
  options->addWidget(option);
  options->addWidget(chkKopien_);
  options->addWidget(chkEmpty_);
  options->addStretch();

  lblProgress_ = namedLabel(this, "lblProgress", "Gesamtdauer");
  lblProgress_->setMinimumWidth(300);
  prbProgress_ = new QProgressBar(this);
  prbProgress_->setObjectName("prbProgress");
  prbProgress_->setRange(0, 1);
  prbProgress_->setValue(0);
  prbProgress_->setTextVisible(false);
  lblTime_ = namedLabel(this, "lblTime", formatElapsed(std::chrono::milliseconds(0)));
  auto* progress = new QHBoxLayout;
  progress->addWidget(lblProgress_);
  progress->addWidget(prbProgress_, 1);
  progress->addWidget(lblTime_);

  cmdGenerate_ = namedButton(this, "cmdGenerate", "Bögen erstellen");
  cmdCancel_ = namedButton(this, "cmdCancel", "Abbrechen");
  cmdExit_ = namedButton(this, "cmdExit", "Verlassen");
  // While running the window shows the hourglass, but the one button that still works does not.
  cmdCancel_->setCursor(Qt::ArrowCursor);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdGenerate_);
  buttons->addWidget(cmdCancel_);
  buttons->addWidget(cmdExit_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblHeadline_);
  layout->addWidget(tabs, 1);
  layout->addLayout(options);
  layout->addLayout(progress);
  layout->addLayout(buttons);

  Timer1_ = new QTimer(this);
  Timer1_->setObjectName("Timer1");
  Timer1_->setInterval(1000);
  connect(Timer1_, &QTimer::timeout, this, [this] { timerTick(); });
  connect(cmdGenerate_, &QPushButton::clicked, this, [this] { cmdGenerateClick(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
  connect(cmdExit_, &QPushButton::clicked, this, [this] { reject(); });

  SetGenerateState(false);
  cmdGenerate_->setEnabled(true);
  printing_ = std::make_unique<WindowPrinting>([this] { return cancel_.load(); });
}

frmAusgabe::~frmAusgabe() = default;

QWidget* frmAusgabe::buildAreaPage() {
  auto* page = new QWidget;
  chkGebiet_ = new QCheckBox("Alle Gebiete, Teilgebiete, Polygone, etc.", page);
  chkGebiet_->setObjectName("chkGebiet");
  lblFFHGebiet_ = namedLabel(page, "lblFFHGebiet", "FFH-Gebiet");
  lblTeilgebiet_ = namedLabel(page, "lblTeilgebiet", "Teilgebiet");
  lblPolygon_ = namedLabel(page, "lblPolygon", "Polygon,Teil,ID");
  lstFFHGebiet_ = multiList(page, "lstFFHGebiet");
  lstTeilgebiet_ = multiList(page, "lstTeilgebiet");
  lstPolygon_ = multiList(page, "lstPolygon");
  chkBoegen_ = new QCheckBox("Alle Geländebögen", page);
  chkBoegen_->setObjectName("chkBoegen");
  lblBogen_ = namedLabel(page, "lblBogen", "Geländebogen");
  lstGBogen_ = multiList(page, "lstGBogen");
  lstGBogen_->setMaximumWidth(120);

  auto* grid = new QGridLayout(page);
  grid->addWidget(chkGebiet_, 0, 0, 1, 3);
  grid->addWidget(chkBoegen_, 0, 3);
  grid->addWidget(lblFFHGebiet_, 1, 0);
  grid->addWidget(lblTeilgebiet_, 1, 1);
  grid->addWidget(lblPolygon_, 1, 2);
  grid->addWidget(lblBogen_, 1, 3);
  grid->addWidget(lstFFHGebiet_, 2, 0);
  grid->addWidget(lstTeilgebiet_, 2, 1);
  grid->addWidget(lstPolygon_, 2, 2);
  grid->addWidget(lstGBogen_, 2, 3);
  grid->setRowStretch(2, 1);

  connect(chkGebiet_, &QCheckBox::toggled, this, [this] { RefreshAreaSelection(); });
  connect(chkBoegen_, &QCheckBox::toggled, this, [this] { chkBoegenClick(); });
  connect(lstFFHGebiet_, &QListWidget::itemSelectionChanged, this, [this] { areaClicked(0); });
  connect(lstTeilgebiet_, &QListWidget::itemSelectionChanged, this, [this] { areaClicked(1); });
  connect(lstPolygon_, &QListWidget::itemSelectionChanged, this, [this] { areaClicked(2); });
  return page;
}

QWidget* frmAusgabe::buildTypePage(TypeGroup& g, bool biotope) {
  auto* page = new QWidget;
  g.all = new QCheckBox(biotope ? "Alle Biotoptypen" : "Alle Lebensräume", page);
  g.all->setObjectName(biotope ? "chkBiotoptyp" : "chkLebensraum");
  g.searchLabel =
      namedLabel(page, biotope ? "lblKennung" : "lblEGNummer", biotope ? "Kennung" : "EG-Nummer");
  g.search = new QLineEdit(page);
  g.search->setObjectName(biotope ? "txtKennung" : "txtEGNummer");
  g.search->setMaximumWidth(120);
  g.available = biotope ? listView(page, "lvwBiotoptyp", "Typ", 500, 4000)
                        : listView(page, "lvwLebensraum", "Nummer", 800, 4000);
  g.chosenLabel = namedLabel(page, biotope ? "lblBioSelected" : "lblLebenSelected",
                             biotope ? "Ausgewählte Biotoptypen" : "Ausgewählte Lebensräume");
  g.chosen = listView(page, biotope ? "lvwBioSelected" : "lvwLebenSelected", "Typ", 500, 2000);
  g.select = namedButton(page, biotope ? "cmdBioSelect" : "cmdLebenSelect", ">");
  g.selectAll = namedButton(page, biotope ? "cmdBioSelectAll" : "cmdLebenSelectAll", ">>");
  g.clear = namedButton(page, biotope ? "cmdBioClear" : "cmdLebenClear", "Entfernen");
  g.clearAll = namedButton(page, biotope ? "cmdBioClearAll" : "cmdLebenClearAll", "Alle Entfernen");

  auto* search = new QHBoxLayout;
  search->addWidget(g.searchLabel);
  search->addWidget(g.search);
  search->addStretch();
  auto* middle = new QVBoxLayout;
  middle->addStretch();
  for (QPushButton* b : {g.select, g.selectAll, g.clear, g.clearAll}) middle->addWidget(b);
  middle->addStretch();

  auto* grid = new QGridLayout(page);
  grid->addWidget(g.all, 0, 0, 1, 3);
  grid->addLayout(search, 1, 0);
  grid->addWidget(g.chosenLabel, 1, 2);
  grid->addWidget(g.available, 2, 0);
  grid->addLayout(middle, 2, 1);
  grid->addWidget(g.chosen, 2, 2);
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(2, 2);
  g.available->setMinimumWidth(twips(500) + twips(4000) / 2);

  connect(g.all, &QCheckBox::toggled, this, [this, &g] { groupClick(g); });
  connect(g.search, &QLineEdit::textChanged, this, [this, &g] { searchTyped(g); });
  connect(g.select, &QPushButton::clicked, this, [this, &g] {
    g.filter.choose(selectedCodes(g.available));
    refreshChosen(g);
  });
  connect(g.selectAll, &QPushButton::clicked, this, [this, &g] {
    g.filter.chooseAll();
    refreshChosen(g);
  });
  connect(g.clear, &QPushButton::clicked, this, [this, &g] {
    g.filter.remove(selectedCodes(g.chosen));
    refreshChosen(g);
  });
  connect(g.clearAll, &QPushButton::clicked, this, [this, &g] {
    g.filter.removeAll();
    refreshChosen(g);
  });
  return page;
}

bool frmAusgabe::setDBFData(data::clsDBFData& db) {
  db_ = &db;
  chkBoegen_->setChecked(true);
  chkBoegenClick();
  lstGBogen_->clear();
  for (const auto& type : kSheetTypes) lstGBogen_->addItem(qs(type));

  for (TypeGroup* g : {&bio_, &leben_}) {
    g->all->setChecked(true);
    groupClick(*g);
    if (g->filter.search(db, "") != 100) {
      endProgram();
      return false;
    }
    std::vector<std::pair<std::string, std::string>> rows(g->filter.available().begin(),
                                                          g->filter.available().end());
    FillListView(g->available, rows);
  }

  chkGebiet_->blockSignals(true);
  chkGebiet_->setChecked(true);
  chkGebiet_->blockSignals(false);
  RefreshAreaSelection();
  return true;
}

void frmAusgabe::SetBogenNumbers(const data::TextSet& codes, const data::AreaRoots& roots) {
  codes_ = codes;
  areas_.SetBogenNumbers(roots);
  fillAreaRows(lstFFHGebiet_, areas_.areaRows());
  fillAreaRows(lstTeilgebiet_, areas_.subAreaRows());
  fillAreaRows(lstPolygon_, areas_.polygonRows());
  SetGenerateState(running_);
}

void frmAusgabe::fillAreaRows(QListWidget* list, const std::vector<std::string>& rows) {
  const QSignalBlocker quiet(list);
  list->clear();
  for (const auto& row : rows) list->addItem(qs(row));
}

void frmAusgabe::RefreshAreaSelection() {
  SetGenerateState(running_);
  if (!db_) return;
  std::vector<std::string> types;
  for (int i = 0; i < lstGBogen_->count(); ++i) types.push_back(ss(lstGBogen_->item(i)->text()));
  if (types.empty()) return;
  data::TextSet codes;
  data::AreaRoots roots;
  if (db_->GetBogenNumbers(types, codes, roots) == 101) {
    app::g_Debug().Ausgabe(2,
                           "lstGBogen_Click: Fehler! Geländebögennummern konnten nicht "
                           "ermittelt werden.");
    app::ui().message(app::MessageIcon::Error,
                      "Die Geländebögennummern konnten nicht ermittelt werden.");
  }
  SetBogenNumbers(codes, roots);
}

void frmAusgabe::areaClicked(int level) {
  if (level == 0) {
    areas_.selectAreas(selectedRows(lstFFHGebiet_));
    fillAreaRows(lstTeilgebiet_, areas_.subAreaRows());
    fillAreaRows(lstPolygon_, areas_.polygonRows());
  } else if (level == 1) {
    areas_.selectSubAreas(selectedRows(lstTeilgebiet_));
    fillAreaRows(lstPolygon_, areas_.polygonRows());
  } else {
    areas_.selectPolygons(selectedRows(lstPolygon_));
  }
  SetGenerateState(running_);
}

void frmAusgabe::chkBoegenClick() {
  SetGenerateState(running_);
}

void frmAusgabe::groupClick(TypeGroup&) {
  SetGenerateState(running_);
}

void frmAusgabe::FillListView(QTreeWidget* list,
                              const std::vector<std::pair<std::string, std::string>>& rows) {
  list->setSortingEnabled(false);
  list->clear();
  for (const auto& [code, text] : rows) {
    auto* item = new QTreeWidgetItem(list, QStringList{qs(code), qs(text)});
    // Long texts are cut at the column's edge; the tip shows them whole.
    item->setToolTip(1, qs(text));
  }
  if (list->topLevelItemCount() > 0) {
    list->clearSelection();
    list->setSortingEnabled(true);
    list->sortByColumn(0, Qt::AscendingOrder);
  }
  fitCodeColumn(list);
}

void frmAusgabe::refreshChosen(TypeGroup& g) {
  std::vector<std::pair<std::string, std::string>> rows(g.filter.chosen().begin(),
                                                        g.filter.chosen().end());
  FillListView(g.chosen, rows);
}

void frmAusgabe::searchTyped(TypeGroup& g) {
  if (!db_) return;
  if (g.filter.search(*db_, ss(g.search->text())) != 100) {
    endProgram();
    return;
  }
  std::vector<std::pair<std::string, std::string>> rows(g.filter.available().begin(),
                                                        g.filter.available().end());
  FillListView(g.available, rows);
}

void frmAusgabe::SetGenerateState(bool running) {
  running_ = running;
  if (running) {
    started_.start();
    Timer1_->start();
    chkKopien_->setEnabled(false);
    setCursor(Qt::WaitCursor);
  } else {
    if (started_.isValid()) timerTick();
    Timer1_->stop();
    chkKopien_->setEnabled(true);
    unsetCursor();
  }

  for (TypeGroup* g : {&bio_, &leben_}) {
    if (!g->all) continue;
    const bool usable = !running && !g->all->isChecked();
    g->all->setEnabled(!running);
    for (QWidget* field : std::initializer_list<QWidget*>{g->search, g->available, g->chosen})
      setFieldEnabled(field, usable);
    for (QWidget* w : std::initializer_list<QWidget*>{g->searchLabel, g->chosenLabel, g->select,
                                                      g->selectAll, g->clear, g->clearAll})
      w->setEnabled(usable);
  }

  const bool types = !running && !chkBoegen_->isChecked();
  chkBoegen_->setEnabled(!running);
  setFieldEnabled(lstGBogen_, types);
  lblBogen_->setEnabled(types);

  const bool areas = !running && !chkGebiet_->isChecked();
  chkGebiet_->setEnabled(!running);
  setFieldEnabled(lstFFHGebiet_, areas);
  setFieldEnabled(lstTeilgebiet_, areas && areas_.subAreaListEnabled());
  setFieldEnabled(lstPolygon_, areas && areas_.polygonListEnabled());
  for (QWidget* label : std::initializer_list<QWidget*>{lblFFHGebiet_, lblTeilgebiet_, lblPolygon_})
    label->setEnabled(areas);
  updateButtons();
}

void frmAusgabe::updateButtons() {
  // After cancel the run still finishes its sheet inside event processing; a second run or
  // closing the window must wait for it.
  cmdExit_->setEnabled(!running_ && !runActive_);
  cmdGenerate_->setEnabled(!running_ && !runActive_);
  cmdCancel_->setEnabled(running_);
}

void frmAusgabe::timerTick() {
  lblTime_->setText(formatElapsed(std::chrono::milliseconds(started_.elapsed())));
}

void frmAusgabe::cmdGenerateClick() {
  if (runActive_ || !db_) return;
  runActive_ = true;
  cancel_ = false;
  cmdCancel_->setEnabled(true);
  SetGenerateState(true);
  confirmed_ = false;
  app::ui().processEvents();

  // Run mode ends before the message file's box is shown, so the box meets an idle window.
  auto finish = [this] {
    prbProgress_->setValue(0);
    runActive_ = false;
    if (running_) SetGenerateState(false);
    updateButtons();
  };

  try {
    sheets::Restrictions r;
    r.allBiotopeTypes = bio_.all->isChecked();
    r.biotopeTypes = bio_.filter.restriction(r.allBiotopeTypes);
    r.allHabitatTypes = leben_.all->isChecked();
    r.habitatTypes = leben_.filter.restriction(r.allHabitatTypes);
    for (int i = 0; i < lstGBogen_->count(); ++i) {
      const QListWidgetItem* row = lstGBogen_->item(i);
      if (chkBoegen_->isChecked() || row->isSelected())
        r.sheetTypes.add(ss(row->text()), ss(row->text()));
    }
    r.allAreas = chkGebiet_->isChecked();
    if (!r.allAreas) r.sheetCodes = areas_.selectedSheetCodes();
    r.skipCopies = chkKopien_->isChecked();

    const sheets::Selection selection = sheets::selectSheets(*db_, r);
    if (selection.status != 100) {
      app::ui().message(app::MessageIcon::Error,
                        "Die zu generierenden Geländebögen konnten nicht ermittelt werden.");
      finish();
      return;
    }

    {
      frmPolygone dialog(*this);
      dialog.FillListViewBoegen(selection);
      dialog.exec();
    }
    if (!confirmed_) {
      finish();
      return;
    }
    // The run's time is the time of making the documents, not of reading the selection.
    started_.start();
    timerTick();

    prbProgress_->setRange(0, std::max<int>(1, static_cast<int>(selection.keys.size())));
    prbProgress_->setValue(0);
    app::ui().processEvents();
    sheets::RunCallbacks callbacks;
    callbacks.progress = [this](std::size_t i, std::size_t, const std::string& key) {
      prbProgress_->setValue(static_cast<int>(i));
      lblProgress_->setText(qs("Generiere Geländebogen: " + key));
    };
    // The cover sheet lands in the sheet's own folder, beside the sheet.
    callbacks.coverSheet = report::coverSheetInFolder();
    callbacks.finished = [this, finish](const sheets::RunSummary& summary) {
      finish();
      lblProgress_->setText(runEndText(summary));
    };
    // The window's thread serves the workers, one per core, and keeps the window answering.
    word::RunContext run = word::programContext(*db_);
    lastRun_ = sheets::runCleanCopies(run, selection.keys, r.skipCopies, createDecklatt_, cancel_,
                                      callbacks, jobs_);
  } catch (const data::FatalError& e) {
    finish();
    app::ui().message(app::MessageIcon::Warning, e.what());
    endProgram(false);
    return;
  } catch (const data::ProviderError& e) {
    app::g_Debug().Ausgabe(2, "cmdGenerate_Click: Fehler! Nicht abgefangener Fehler." +
                                  e.description() + "(" + std::to_string(e.number()) + ")");
    app::ui().message(app::MessageIcon::Error,
                      e.description() + "(" + std::to_string(e.number()) + ")");
  } catch (const std::exception& e) {
    app::g_Debug().Ausgabe(2, std::string("cmdGenerate_Click: Fehler! Nicht abgefangener "
                                          "Fehler.") +
                                  e.what());
    app::ui().message(app::MessageIcon::Error, e.what());
  }
  finish();
}

void frmAusgabe::waitProcessingEvents(int milliseconds) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < milliseconds) {
    app::ui().processEvents();
    QThread::msleep(20);
  }
}

void frmAusgabe::cancelRun() {
  cancel_ = true;
  SetGenerateState(false);
  cmdCancel_->setEnabled(false);
}

void frmAusgabe::cmdCancelClick() {
  cancelRun();
  app::ui().processEvents();
  waitProcessingEvents(1200);
  app::ui().processEvents();
  waitProcessingEvents(1200);
  app::ui().processEvents();
  waitProcessingEvents(200);
  app::ui().processEvents();
}

void frmAusgabe::endProgram(bool tell) {
  programEnded_ = true;
  if (tell) app::ui().message(app::MessageIcon::Information, "Das Programm wird beendet.");
  hide();
  // Leaves every running event loop, the modal one of this window and the application's.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(1);
}

void frmAusgabe::reject() {
  if (runActive_) return;
  QDialog::reject();
}

void frmAusgabe::closeEvent(QCloseEvent* event) {
  if (runActive_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace gui
