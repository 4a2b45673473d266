#include "gui/frm_ausgabe.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "app/message_file.h"
#include "app/program_objects.h"
#include "data/schema/sheet_types.h"
#include "gui/frm_polygone.h"
#include "gui/window_memory.h"
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

std::vector<std::string> selectedCodes(const QTreeWidget* view) {
  std::vector<std::string> codes;
  for (int i = 0; i < view->topLevelItemCount(); ++i)
    if (view->topLevelItem(i)->isSelected()) codes.push_back(ss(view->topLevelItem(i)->text(0)));
  return codes;
}

}  // namespace

frmAusgabe::frmAusgabe(QWidget* parent)
    : GenerationWindow(parent,
                       {"frmAusgabe",
                        "Generator für die Geländebögen (Reinschrift)",
                        "Polygon,Teil,ID",
                        "Einschränkungen:",
                        {},
                        "Bögen erstellen"},
                       data::AreaSelection::Mode::Sheets) {
  auto* tabs = new QTabWidget(this);
  tabs->setObjectName("tabAuswahl");
  tabs->addTab(buildAreaPage(), "Gebiete und Geländebögen");
  tabs->addTab(buildTypePage(bio_, true), "Biotoptypen");
  tabs->addTab(buildTypePage(leben_, false), "Lebensräume");
  setBody(tabs);
  chkEmpty_->setToolTip("In dieser Version ohne Wirkung");
  SetGenerateState(false);
}

frmAusgabe::~frmAusgabe() = default;

QWidget* frmAusgabe::buildAreaPage() {
  auto* page = new QWidget;
  chkGebiet_ = new QCheckBox("Alle Gebiete, Teilgebiete, Polygone, etc.", page);
  chkGebiet_->setObjectName("chkGebiet");
  chkBoegen_ = new QCheckBox("Alle Geländebögen", page);
  chkBoegen_->setObjectName("chkBoegen");
  lblBogen_ = namedLabel(page, "lblBogen", "Geländebogen");
  lstGBogen_ = multiList(page, "lstGBogen");
  lstGBogen_->setMaximumWidth(120);

  auto* grid = new QGridLayout(page);
  grid->addWidget(chkGebiet_, 0, 0, 1, 3);
  grid->addWidget(chkBoegen_, 0, 3);
  placeAreaLists(grid, 1);
  grid->addWidget(lblBogen_, 1, 3);
  grid->addWidget(lstGBogen_, 2, 3);
  grid->setRowStretch(2, 1);

  connect(chkGebiet_, &QCheckBox::toggled, this, [this] { RefreshAreaSelection(); });
  connect(chkBoegen_, &QCheckBox::toggled, this, [this] { chkBoegenClick(); });
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
  g.clearAll = namedButton(page, biotope ? "cmdBioClearAll" : "cmdLebenClearAll", "Alle entfernen");

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
  // Each button changes the choice; the chosen list then shows it again.
  const auto changes = [this, &g](QPushButton* button, std::function<void()> change) {
    connect(button, &QPushButton::clicked, this, [this, &g, change] {
      change();
      refreshChosen(g);
    });
  };
  changes(g.select, [&g] { g.filter.choose(selectedCodes(g.available)); });
  changes(g.selectAll, [&g] { g.filter.chooseAll(); });
  changes(g.clear, [&g] { g.filter.remove(selectedCodes(g.chosen)); });
  changes(g.clearAll, [&g] { g.filter.removeAll(); });
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
  recallChoices();
  return true;
}

void frmAusgabe::rememberChoices() {
  GenerationWindow::rememberChoices();
  rememberChoice(*this, "chkGebiet", chkGebiet_->isChecked());
  rememberAreaRows();
  rememberChoice(*this, "chkBoegen", chkBoegen_->isChecked());
  QStringList types;
  for (const QListWidgetItem* row : lstGBogen_->selectedItems()) types << row->text();
  rememberChoice(*this, "lstGBogen", types);
  for (TypeGroup* g : {&bio_, &leben_}) {
    rememberChoice(*this, g->all->objectName(), g->all->isChecked());
    QStringList chosen;
    for (const auto& [code, text] : g->filter.chosen()) chosen << qs(code);
    rememberChoice(*this, g->chosen->objectName(), chosen);
  }
}

void frmAusgabe::recallChoices() {
  GenerationWindow::recallChoices();
  // The boxes as their clicks set them: the lists behind them follow.
  chkGebiet_->setChecked(rememberedChoice(*this, "chkGebiet", true).toBool());
  if (!chkGebiet_->isChecked()) recallAreaRows();
  chkBoegen_->setChecked(rememberedChoice(*this, "chkBoegen", true).toBool());
  const QStringList types = rememberedChoice(*this, "lstGBogen").toStringList();
  for (int i = 0; i < lstGBogen_->count(); ++i)
    lstGBogen_->item(i)->setSelected(types.contains(lstGBogen_->item(i)->text()));
  for (TypeGroup* g : {&bio_, &leben_}) {
    g->all->setChecked(rememberedChoice(*this, g->all->objectName(), true).toBool());
    std::vector<std::string> codes;
    for (const QString& code : rememberedChoice(*this, g->chosen->objectName()).toStringList())
      codes.push_back(ss(code));
    g->filter.choose(codes);
    refreshChosen(*g);
  }
}

void frmAusgabe::SetBogenNumbers(const data::TextSet& codes, const data::AreaRoots& roots) {
  codes_ = codes;
  areas_.SetBogenNumbers(roots);
  showAreaRows();
  SetGenerateState(running_);
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
    app::reportUnreadableSurvey("Die Geländebögennummern konnten nicht ermittelt werden.",
                                db_->lastError(), db_->services());
  }
  SetBogenNumbers(codes, roots);
}

void frmAusgabe::areaClicked(int) {
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

void frmAusgabe::runModeChanged(bool running) {
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
}

void frmAusgabe::generate() {
  confirmed_ = false;
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
    finishRun();
    app::reportUnreadableSurvey("Die zu generierenden Geländebögen konnten nicht ermittelt werden.",
                                db_->lastError(), db_->services());
    return;
  }
  {
    frmPolygone dialog(*this);
    dialog.FillListViewBoegen(selection);
    dialog.exec();
  }
  if (!confirmed_) return;
  // The run's time is the time of making the documents, not of reading the selection.
  restartClock();

  prbProgress_->setRange(0, std::max<int>(1, static_cast<int>(selection.keys.size())));
  prbProgress_->setValue(0);
  app::ui().processEvents();
  sheets::RunCallbacks callbacks;
  callbacks.progress = [this](std::size_t, std::size_t, const std::string& key) {
    showProgress(qs("Generiere Geländebogen: " + key));
  };
  // The cover sheet lands in the sheet's own folder, beside the sheet.
  callbacks.coverSheet = report::coverSheetInFolder();
  callbacks.finished = [this](const sheets::RunSummary& summary) {
    finishRun();
    holdRunEndBox();
    // "Fertig: 12 Bögen erstellt, 1 unvollständig", "Abgebrochen: 3 Bögen erstellt"
    const QString made =
        QString("%1 %2").arg(summary.produced).arg(summary.produced == 1 ? "Bogen" : "Bögen");
    lblProgress_->setText(runEndText(summary.cancelled, made, summary.incomplete.size(),
                                     summary.failed.size(), {}, summary.unchanged,
                                     summary.changedNotice));
  };
  // The window's thread serves the workers, one per core, and keeps the window answering.
  word::RunContext run = runContext();
  lastRun_ = sheets::runCleanCopies(run, selection.keys, r.skipCopies, createDecklatt_, cancel_,
                                    callbacks, jobs_, changedOnly());
  showRunEnd(lastRun_.cancelled, lastRun_.messageFile.file);
}

}  // namespace gui
