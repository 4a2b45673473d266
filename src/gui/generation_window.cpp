#include "gui/generation_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "app/program_objects.h"
#include "gui/desktop_services.h"
#include "gui/window_memory.h"
#include "gui/window_printing.h"
#include "gui/window_support.h"
#include "gui/written_documents.h"
#include "word/error_text.h"

namespace gui {
namespace {

std::vector<std::size_t> selectedRows(const QListWidget* list) {
  std::vector<std::size_t> rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows.push_back(static_cast<std::size_t>(i));
  return rows;
}

void fillRows(QListWidget* list, const std::vector<std::string>& rows) {
  const QSignalBlocker quiet(list);
  list->clear();
  for (const auto& row : rows) list->addItem(qs(row));
}

QStringList selectedTexts(const QListWidget* list) {
  QStringList texts;
  for (const QListWidgetItem* item : list->selectedItems()) texts << item->text();
  return texts;
}

// Selects the rows with those texts, as clicks would (the lists below follow).
void selectTexts(QListWidget* list, const QStringList& texts) {
  for (int i = 0; i < list->count(); ++i)
    if (texts.contains(list->item(i)->text())) list->item(i)->setSelected(true);
}

}  // namespace

void RunUserInterface::message(app::MessageIcon icon, const std::string& text) {
  if (holding_)
    held_.push_back({icon, text});
  else
    app::ui().message(icon, text);
}

void RunUserInterface::reset() {
  holding_ = false;
  held_.clear();
}

GenerationWindow::GenerationWindow(QWidget* parent, const Captions& captions,
                                   data::AreaSelection::Mode mode)
    : QDialog(parent), areas_(mode) {
  setObjectName(captions.name);
  setWindowTitle("Datenreport");
  setModal(true);

  auto* headline = namedLabel(this, "lblHeadline", captions.headline);
  QFont bold = headline->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  headline->setFont(bold);

  lblFFHGebiet_ = namedLabel(this, "lblFFHGebiet", "FFH-Gebiet");
  lblTeilgebiet_ = namedLabel(this, "lblTeilgebiet", "Teilgebiet");
  lblPolygon_ = namedLabel(this, "lblPolygon", captions.polygonLabel);
  lstFFHGebiet_ = multiList(this, "lstFFHGebiet");
  lstTeilgebiet_ = multiList(this, "lstTeilgebiet");
  lstPolygon_ = multiList(this, "lstPolygon");

  chkKopien_ = new QCheckBox("Kopien von Sammel- und Komplexbögen nicht generieren", this);
  chkKopien_->setObjectName("chkKopien");
  chkEmpty_ = new QCheckBox("Leere Geländebögen nicht generieren", this);
  chkEmpty_->setObjectName("chkEmpty");
  // Nothing tells an empty sheet from a filled one; the box is shown but not offered.
  chkEmpty_->setEnabled(false);
  chkGeaendert_ = new QCheckBox("Nur geänderte Dokumente neu erstellen", this);
  chkGeaendert_->setObjectName("chkGeaendert");
  chkGeaendert_->setToolTip(
      "Dokumente, deren Daten, Vorlage und Einstellungen seit dem letzten Lauf in diesen "
      "Ausgabeordner gleich geblieben sind und die seitdem niemand verändert hat, bleiben, wie "
      "sie sind.");
  options_ = new QVBoxLayout;
  options_->addWidget(namedLabel(this, "lblOption", captions.optionLabel));
  options_->addWidget(chkKopien_);
  options_->addWidget(chkEmpty_);
  options_->addWidget(chkGeaendert_);

  lblProgress_ = namedLabel(this, "lblProgress", "Gesamtdauer");
  lblProgress_->setMinimumWidth(300);
  lblProgress_->setWordWrap(true);
  prbProgress_ = new QProgressBar(this);
  prbProgress_->setObjectName("prbProgress");
  prbProgress_->setRange(0, 1);
  prbProgress_->setValue(0);
  prbProgress_->setTextVisible(false);
  lblTime_ = namedLabel(this, "lblTime", formatElapsed(std::chrono::milliseconds(0)));
  // The bar (after its caption, where the window has one), below it the status and the time.
  auto* bar = new QHBoxLayout;
  if (!captions.progressLabel.isEmpty())
    bar->addWidget(namedLabel(this, "Label1", captions.progressLabel));
  bar->addWidget(prbProgress_, 1);
  auto* status = new QHBoxLayout;
  status->addWidget(lblProgress_, 1);
  status->addWidget(lblTime_);
  auto* progress = new QVBoxLayout;
  progress->addLayout(bar);
  progress->addLayout(status);

  cmdGenerate_ = namedButton(this, "cmdGenerate", captions.generate);
  cmdCancel_ = namedButton(this, "cmdCancel", "Abbrechen");
  cmdExit_ = namedButton(this, "cmdExit", "Verlassen");
  cmdOpenFolder_ = namedButton(this, "cmdOpenFolder", "Ausgabeordner öffnen");
  cmdOpenFolder_->setEnabled(false);
  // While running the window shows the hourglass, but the one button that still works does not.
  cmdCancel_->setCursor(Qt::ArrowCursor);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdOpenFolder_);
  buttons->addStretch();
  buttons->addWidget(cmdGenerate_);
  buttons->addWidget(cmdCancel_);
  buttons->addWidget(cmdExit_);

  // What the last run wrote, shown once a run has written something.
  lblDokumente_ = namedLabel(this, "lblDokumente", "Erstellte Dokumente (Doppelklick öffnet)");
  lstDokumente_ = new QListWidget(this);
  lstDokumente_->setObjectName("lstDokumente");
  lstDokumente_->setMinimumHeight(90);
  lblDokumente_->hide();
  lstDokumente_->hide();

  side_ = new QVBoxLayout;
  auto* body = new QHBoxLayout;
  body->addLayout(side_);
  layout_ = new QVBoxLayout(this);
  layout_->addWidget(headline);
  layout_->addLayout(body, 1);
  layout_->addLayout(options_);
  layout_->addLayout(progress);
  layout_->addWidget(lblDokumente_);
  layout_->addWidget(lstDokumente_);
  layout_->addLayout(buttons);

  Timer1_ = new QTimer(this);
  Timer1_->setObjectName("Timer1");
  Timer1_->setInterval(1000);
  connect(Timer1_, &QTimer::timeout, this, [this] { timerTick(); });
  connect(lstFFHGebiet_, &QListWidget::itemSelectionChanged, this, [this] { listClicked(0); });
  connect(lstTeilgebiet_, &QListWidget::itemSelectionChanged, this, [this] { listClicked(1); });
  connect(lstPolygon_, &QListWidget::itemSelectionChanged, this, [this] { listClicked(2); });
  connect(cmdGenerate_, &QPushButton::clicked, this, [this] { cmdGenerateClick(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { cancelRun(); });
  connect(cmdExit_, &QPushButton::clicked, this, [this] { reject(); });
  connect(cmdOpenFolder_, &QPushButton::clicked, this,
          [this] { openOnDesktop(qs(app::settings().get(app::kDataFilesPfad))); });
  connect(lstDokumente_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (written_) openOnDesktop(qs((written_->folder() / ss(item->text())).string()));
  });
  cmdCancel_->setEnabled(false);
  printing_ = std::make_unique<WindowPrinting>([this] { return cancel_.load(); });
  recallGeometry(*this);
}

GenerationWindow::~GenerationWindow() = default;

void GenerationWindow::setBody(QWidget* body) {
  // Left of the side panel, taking the room it leaves.
  static_cast<QHBoxLayout*>(layout_->itemAt(1)->layout())->insertWidget(0, body, 1);
}

void GenerationWindow::addOption(QWidget* option) {
  options_->addWidget(option);
}

void GenerationWindow::placeAreaLists(QGridLayout* grid, int row) {
  int column = 0;
  for (QLabel* label : {lblFFHGebiet_, lblTeilgebiet_, lblPolygon_})
    grid->addWidget(label, row, column++);
  column = 0;
  for (QListWidget* list : {lstFFHGebiet_, lstTeilgebiet_, lstPolygon_})
    grid->addWidget(list, row + 1, column++);
}

void GenerationWindow::showAreaRows() {
  fillRows(lstFFHGebiet_, areas_.areaRows());
  fillRows(lstTeilgebiet_, areas_.subAreaRows());
  fillRows(lstPolygon_, areas_.polygonRows());
}

void GenerationWindow::listClicked(int level) {
  if (level == 0) {
    areas_.selectAreas(selectedRows(lstFFHGebiet_));
    fillRows(lstTeilgebiet_, areas_.subAreaRows());
    fillRows(lstPolygon_, areas_.polygonRows());
  } else if (level == 1) {
    areas_.selectSubAreas(selectedRows(lstTeilgebiet_));
    fillRows(lstPolygon_, areas_.polygonRows());
  } else {
    areas_.selectPolygons(selectedRows(lstPolygon_));
  }
  areaClicked(level);
}

void GenerationWindow::SetGenerateState(bool running) {
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
  // The run reads the option when it starts; a change during the run would not count.
  chkKopien_->setEnabled(!running);
  chkGeaendert_->setEnabled(!running);
  runModeChanged(running);
  updateButtons();
}

void GenerationWindow::updateButtons() {
  // After cancel the run still finishes its document inside event processing; a second run or
  // closing the window must wait for it.
  cmdExit_->setEnabled(!running_ && !runActive_);
  cmdGenerate_->setEnabled(!running_ && !runActive_ && generateAllowed());
  cmdCancel_->setEnabled(running_);
  cmdOpenFolder_->setEnabled(ranOnce_ && !running_ && !runActive_);
}

void GenerationWindow::timerTick() {
  lblTime_->setText(formatElapsed(std::chrono::milliseconds(started_.elapsed())));
}

void GenerationWindow::restartClock() {
  started_.start();
  timerTick();
}

QString GenerationWindow::runEndText(bool cancelled, const QString& made, std::size_t incomplete,
                                     std::size_t missing, const QString& more,
                                     std::size_t unchanged,
                                     const std::string& changedNotice) const {
  QString text = QString("%1: %2 erstellt").arg(cancelled ? "Abgebrochen" : "Fertig", made);
  if (unchanged > 0) text += QString(", %1 unverändert").arg(unchanged);
  if (incomplete > 0) text += QString(", %1 unvollständig").arg(incomplete);
  if (missing > 0) text += QString(", %1 nicht erstellt").arg(missing);
  if (!more.isEmpty()) text += ", " + more;
  // As the command line ends a printing run: what became of the documents sent to the printer.
  if (const std::string printed = printing_->runSummary(); !printed.empty())
    text += ". " + qs(printed);
  if (!changedNotice.empty()) text += ". " + qs(changedNotice);
  return text;
}

bool GenerationWindow::changedOnly() const {
  return chkGeaendert_->isChecked();
}

word::RunContext GenerationWindow::runContext() {
  return word::RunContext{app::RunServices{app::settings(), app::g_Debug(), runUi_}, *db_,
                          word::g_WordDoc()};
}

void GenerationWindow::showProgress(const QString& text) {
  ++taken_;
  lblProgress_->setText(text);
  prbProgress_->setValue(std::min(taken_, prbProgress_->maximum()));
}

void GenerationWindow::showRunEnd(bool cancelled, const std::filesystem::path& messageFile) {
  if (!cancelled) prbProgress_->setValue(prbProgress_->maximum());
  ranOnce_ = true;
  updateButtons();
  if (written_) {
    const std::vector<std::string> documents = written_->since();
    lstDokumente_->clear();
    for (const auto& name : documents) lstDokumente_->addItem(qs(name));
    lblDokumente_->setVisible(!documents.empty());
    lstDokumente_->setVisible(!documents.empty());
  }
  if (runUi_.held().empty()) return;
  // The message file's box, with the status line and, when printing, the printer's state.
  const app::RecordingUserInterface::Box box = runUi_.held().back();
  std::string text = box.text + "\n\n" + ss(lblProgress_->text());
  if (const std::string state = printing_->printerState(); !state.empty()) text += "\n" + state;
  if (messageFile.empty()) {
    app::ui().message(box.icon, text);
  } else if (choose(box.icon, text, {"Meldungsdatei öffnen", "OK"}) == 0) {
    openOnDesktop(qs(messageFile.string()));
  }
}

void GenerationWindow::rememberChoices() {
  rememberChoice(*this, "chkKopien", chkKopien_->isChecked());
  rememberChoice(*this, "chkGeaendert", chkGeaendert_->isChecked());
}

void GenerationWindow::recallChoices() {
  chkKopien_->setChecked(rememberedChoice(*this, "chkKopien", false).toBool());
  chkGeaendert_->setChecked(rememberedChoice(*this, "chkGeaendert", false).toBool());
}

void GenerationWindow::rememberAreaRows() {
  rememberChoice(*this, "lstFFHGebiet", selectedTexts(lstFFHGebiet_));
  rememberChoice(*this, "lstTeilgebiet", selectedTexts(lstTeilgebiet_));
  rememberChoice(*this, "lstPolygon", selectedTexts(lstPolygon_));
}

void GenerationWindow::recallAreaRows() {
  selectTexts(lstFFHGebiet_, rememberedChoice(*this, "lstFFHGebiet").toStringList());
  selectTexts(lstTeilgebiet_, rememberedChoice(*this, "lstTeilgebiet").toStringList());
  selectTexts(lstPolygon_, rememberedChoice(*this, "lstPolygon").toStringList());
}

void GenerationWindow::cmdGenerateClick() {
  if (runActive_ || !db_) return;
  runActive_ = true;
  cancel_ = false;
  taken_ = 0;
  runUi_.reset();
  rememberChoices();
  written_ = std::make_unique<WrittenDocuments>(app::settings().get(app::kDataFilesPfad));
  printing_->startRun();
  SetGenerateState(true);
  app::ui().processEvents();
  try {
    generate();
  } catch (const data::FatalError& e) {
    finishRun();
    app::ui().message(app::MessageIcon::Warning, e.what());
    endProgram(false);
    return;
  } catch (const std::exception& e) {
    finishRun();
    unexpectedError(e);
    return;
  }
  finishRun();
}

void GenerationWindow::finishRun() {
  runActive_ = false;
  SetGenerateState(false);
}

void GenerationWindow::unexpectedError(const std::exception& error) {
  // A database failure (ProviderError) and any other escaped error end the run alike.
  const std::string text = word::errorText(error);
  app::g_Debug().Ausgabe(2, "cmdGenerate_Click: Fehler! Nicht abgefangener Fehler." + text);
  app::ui().message(app::MessageIcon::Error, text);
}

void GenerationWindow::cancelRun() {
  cancel_ = true;
  SetGenerateState(false);
}

void GenerationWindow::endProgram(bool tell) {
  programEnded_ = true;
  if (tell) app::ui().message(app::MessageIcon::Information, "Das Programm wird beendet.");
  hide();
  // Leaves every running event loop, the modal one of this window and the application's.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(1);
}

void GenerationWindow::reject() {
  if (runActive_) return;
  QDialog::reject();
}

void GenerationWindow::done(int result) {
  if (!programEnded_) {
    rememberGeometry(*this);
    rememberChoices();
  }
  QDialog::done(result);
}

void GenerationWindow::closeEvent(QCloseEvent* event) {
  if (runActive_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace gui
