#include "gui/frm_main.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <memory>

#include "app/ffh_check_path.h"
#include "app/program_objects.h"
#include "app/startup.h"
#include "data/cls_dbf_data.h"
#include "data/provider_error.h"
#include "gui/frm_ausgabe.h"
#include "gui/frm_datenpruefung.h"
#include "gui/frm_einstellungen.h"
#include "gui/frm_error_report.h"
#include "gui/frm_info.h"
#include "gui/frm_report.h"
#include "gui/logo.h"
#include "gui/window_support.h"
#include "word/cls_word_doc.h"

namespace gui {
namespace {

QAction* namedAction(QObject* parent, const char* name, const QString& text) {
  auto* a = new QAction(text, parent);
  a->setObjectName(name);
  return a;
}

void unexpected(const std::string& description) {
  app::ui().message(
      app::MessageIcon::None,
      "Unbekannter Fehler! Bitte teilen Sie folgenden Text dem Hersteller mit:\n" + description);
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName("frmMain");
  setWindowTitle(kMainTitle);
  setWindowIcon(logoIcon());

  auto* central = new QWidget(this);
  auto* headline = new QLabel(kMainTitle, central);
  headline->setObjectName("lblHeadline");
  QFont big = headline->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.5);
  headline->setFont(big);
  headline->setAlignment(Qt::AlignCenter);
  auto* logo = new QLabel(central);
  logo->setObjectName("imgLogo");
  logo->setPixmap(logoPixmap(64));

  QPushButton* ausgabe = namedButton(central, "cmdAusgabe", "Ausgabe der Geländebögen");
  QPushButton* report = namedButton(central, "cmdReport", "Datenreport");
  QPushButton* pruefen = namedButton(central, "cmdDatenPruefen", "Daten prüfen");
  QPushButton* exit = namedButton(central, "cmdExit", "Programm beenden");
  for (QPushButton* b : {ausgabe, report, pruefen, exit}) b->setMinimumHeight(40);
  auto* version = new QLabel("Version 2", central);
  version->setObjectName("lblVersion");

  auto* top = new QHBoxLayout;
  top->addWidget(logo);
  top->addWidget(headline, 1);
  auto* layout = new QVBoxLayout(central);
  layout->addLayout(top);
  layout->addSpacing(12);
  layout->addWidget(ausgabe);
  layout->addWidget(report);
  layout->addWidget(pruefen);
  layout->addSpacing(12);
  layout->addWidget(exit);
  layout->addWidget(version, 0, Qt::AlignRight);
  setCentralWidget(central);

  QMenu* datei = menuBar()->addMenu("&Datei");
  datei->setObjectName("mnuDatei");
  QAction* mnuExit = namedAction(this, "mnuExit", "&Beenden");
  datei->addAction(mnuExit);
  QMenu* optionen = menuBar()->addMenu("&Optionen");
  optionen->setObjectName("mnuOptionen");
  QAction* mnuEinstellungen = namedAction(this, "mnuEinstellungen", "&Einstellungen");
  QAction* mnuErrorReport = namedAction(this, "mnuErrorReport", "&Fehleranalyse");
  optionen->addAction(mnuEinstellungen);
  optionen->addAction(mnuErrorReport);
  QAction* mnuInfo = namedAction(this, "mnuInfo", "?");
  menuBar()->addAction(mnuInfo);

  connect(ausgabe, &QPushButton::clicked, this, [this] { cmdAusgabeClick(); });
  connect(report, &QPushButton::clicked, this, [this] { cmdReportClick(); });
  connect(pruefen, &QPushButton::clicked, this, [this] { showDataCheck(this); });
  connect(exit, &QPushButton::clicked, this, &QWidget::close);
  connect(mnuExit, &QAction::triggered, this, &QWidget::close);
  connect(mnuEinstellungen, &QAction::triggered, this, [this] {
    frmEinstellungen dialog(this);
    dialog.exec();
  });
  connect(mnuErrorReport, &QAction::triggered, this, [this] {
    frmErrorReport dialog(this);
    dialog.exec();
  });
  connect(mnuInfo, &QAction::triggered, this, [this] {
    frmInfo dialog(this);
    dialog.exec();
  });

  app::startLogIfEnabled();
}

frmMain::~frmMain() {
  // The end of the program for the log: its closing line.
  app::resetDebug();
}

void frmMain::cmdAusgabeClick() {
  openWindow(Target::Ausgabe);
}
void frmMain::cmdReportClick() {
  openWindow(Target::Report);
}

void frmMain::openWindow(Target target) {
  try {
    if (app::FfhCheckPath() != 100) return;
    auto db = std::make_unique<data::clsDBFData>();
    word::resetWordDoc();
    if (!db->ValidFilePaths()) {
      app::g_Debug().Ausgabe(2,
                             "Fehler! Eine oder mehrere DBF-Dateien konnten nicht gefunden "
                             "werden.");
      app::ui().message(
          app::MessageIcon::Error,
          std::string("Die Programm-Daten sind nicht korrekt.\n") +
              (target == Target::Report
                   ? "Eine oder mehrere DBF-Dateien konnten nicht gefunden werden.\n"
                   : "") +
              "Bitte überprüfen Sie die Pfade.\n\nKontaktieren Sie den Hersteller, wenn sich "
              "das Problem trotz korrektem Pfad nicht beheben lässt.");
      return;
    }
    db->ConnectDBDaten();
    if (target == Target::Ausgabe) {
      db->CheckUmlauteTab();
      frmAusgabe window(this);
      if (!window.setDBFData(*db)) {
        close();
        return;
      }
      window.exec();
    } else {
      frmReport window(this);
      window.setDBFData(*db);
      window.exec();
    }
    // The window has closed: the database and the document engine go with it.
    word::resetWordDoc();
  } catch (const data::FatalError& e) {
    app::ui().message(app::MessageIcon::Warning, e.what());
    close();
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(2);
  } catch (const data::ProviderError& e) {
    unexpected(e.description() + "(" + std::to_string(e.number()) + ")");
  } catch (const std::exception& e) {
    unexpected(e.what());
  }
}

}  // namespace gui
