#include "gui/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

#include "app/ffh_check_path.h"
#include "app/program_objects.h"
#include "app/startup.h"
#include "data/cls_dbf_data.h"
#include "data/provider_error.h"
#include "gui/desktop_services.h"
#include "gui/frm_ausgabe.h"
#include "gui/frm_datenpruefung.h"
#include "gui/frm_einstellungen.h"
#include "gui/frm_error_report.h"
#include "gui/frm_info.h"
#include "gui/frm_report.h"
#include "gui/logo.h"
#include "gui/sample_survey.h"
#include "gui/window_memory.h"
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

// A shapefile as the settings dialog takes one: the extension "shp" exactly, its ".shx" beside
// it. Answers the message for one that is not, empty for one that is.
std::string shapefileRefusal(const QString& file) {
  if (QFileInfo(file).suffix() != "shp")
    return "Die ausgewählte Datei ist kein Shapefile.\nBitte überprüfen Sie die Pfade.";
  QString index = file;
  index.replace(".shp", ".shx");
  if (!QFileInfo::exists(index))
    return "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei " +
           ss(QFileInfo(index).fileName()) + ".\nBitte überprüfen Sie die Pfade.";
  return {};
}

// The shapefiles in folder and two levels below it that the settings dialog would take.
QStringList shapefilesBelow(const QString& folder) {
  QStringList found;
  QDirIterator it(folder, {"*.shp"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    const int depth = QDir(folder).relativeFilePath(file).count('/');
    if (depth <= 2 && shapefileRefusal(file).empty()) found << file;
  }
  return found;
}

// "nicht eingestellt" for an empty setting.
QString shown(const char* key) {
  const std::string value = app::settings().get(key);
  return value.empty() ? QStringLiteral("nicht eingestellt") : qs(value);
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
  lblPfade_ = namedLabel(central, "lblPfade", "");
  lblPfade_->setWordWrap(true);
  lblPfade_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblPfade_->setToolTip(
      "Einstellen unter „Optionen → Einstellungen“, oder einen Erfassungsordner oder ein "
      "Shapefile auf dieses Fenster ziehen");

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
  layout->addSpacing(8);
  layout->addWidget(lblPfade_);
  layout->addWidget(version, 0, Qt::AlignRight);
  setCentralWidget(central);

  QMenu* datei = menuBar()->addMenu("&Datei");
  datei->setObjectName("mnuDatei");
  mnuZuletzt_ = datei->addMenu("&Zuletzt verwendete Erfassungen");
  mnuZuletzt_->setObjectName("mnuZuletzt");
  connect(mnuZuletzt_, &QMenu::aboutToShow, this, [this] { fillRecentMenu(); });
  fillRecentMenu();
  datei->addSeparator();
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
  connect(mnuEinstellungen, &QAction::triggered, this, [this] { openSettings(); });
  connect(mnuErrorReport, &QAction::triggered, this, [this] {
    frmErrorReport dialog(this);
    dialog.exec();
  });
  connect(mnuInfo, &QAction::triggered, this, [this] {
    frmInfo dialog(this);
    dialog.exec();
  });

  setAcceptDrops(true);
  showPaths();
  recallGeometry(*this);
  app::startLogIfEnabled();
}

frmMain::~frmMain() {
  // The end of the program for the log: its closing line.
  app::resetDebug();
}

void frmMain::closeEvent(QCloseEvent* event) {
  rememberGeometry(*this);
  QMainWindow::closeEvent(event);
}

bool frmMain::openSettings() {
  frmEinstellungen dialog(this);
  const bool stored = dialog.exec() == QDialog::Accepted;
  showPaths();
  return stored;
}

void frmMain::showPaths() {
  lblPfade_->setText("Erfassung (DBF-Dateien): " + shown(app::kDbfFilesPfad) +
                     "\nShapefile: " + shown(app::kShapeFilesPfad) +
                     "\nAusgabeordner: " + shown(app::kDataFilesPfad));
}

void frmMain::fillRecentMenu() {
  mnuZuletzt_->clear();
  const std::vector<Survey> surveys = recentSurveys();
  mnuZuletzt_->setEnabled(!surveys.empty());
  for (const Survey& survey : surveys) {
    QAction* action = mnuZuletzt_->addAction(survey.folder);
    action->setToolTip(survey.shapefile);
    connect(action, &QAction::triggered, this, [this, survey] {
      app::settings().set(app::kDbfFilesPfad, ss(survey.folder));
      if (!survey.shapefile.isEmpty())
        app::settings().set(app::kShapeFilesPfad, ss(survey.shapefile));
      showPaths();
    });
  }
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
  // Local folders and files only; what they are is checked on the drop.
  const QMimeData* data = event->mimeData();
  if (data->hasUrls() && !data->urls().isEmpty() && data->urls().front().isLocalFile())
    event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << QDir::cleanPath(url.toLocalFile());
  if (takeDroppedPaths(paths)) event->acceptProposedAction();
}

bool frmMain::takeDroppedPaths(const QStringList& paths) {
  bool taken = false;
  std::string problems;
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (info.isDir()) {
      if (!folderHoldsFile(path, "Polygone.dbf")) {
        problems += "Der Ordner " + ss(path) +
                    " enthält keine Erfassung: Die Programm-Daten (Polygone.dbf) konnten nicht "
                    "gefunden werden.\n";
        continue;
      }
      app::settings().set(app::kDbfFilesPfad, ss(path));
      if (const QStringList shapes = shapefilesBelow(path); shapes.size() == 1)
        app::settings().set(app::kShapeFilesPfad, ss(shapes.front()));
      taken = true;
    } else if (const std::string refusal = shapefileRefusal(path); refusal.empty()) {
      app::settings().set(app::kShapeFilesPfad, ss(path));
      taken = true;
    } else {
      problems += ss(info.fileName()) + ": " + refusal + "\n";
    }
  }
  showPaths();
  if (!problems.empty()) {
    problems.pop_back();
    app::ui().message(app::MessageIcon::Error, problems);
  }
  return taken;
}

bool frmMain::pathsReady() {
  // The check's box is held back and shown below with the way to the settings.
  auto held = app::installUi(std::make_unique<app::RecordingUserInterface>());
  const int16_t checked = app::FfhCheckPath();
  held = app::installUi(std::move(held));
  if (checked == 100) return true;
  const auto& boxes = static_cast<const app::RecordingUserInterface&>(*held).boxes;
  std::string text = boxes.empty() ? std::string() : boxes.back().text;
  text += "\n\nDie Pfade stellen Sie unter „Optionen → Einstellungen“ ein.";
  std::vector<std::string> buttons = {"Einstellungen öffnen"};
  // Before a survey is set up, the sample survey lets a new user try everything at once.
  const bool nothingSet = app::settings().get(app::kDbfFilesPfad).empty() &&
                          app::settings().get(app::kShapeFilesPfad).empty();
  if (nothingSet) {
    text +=
        "\nZum Ausprobieren schreibt „Beispieldaten verwenden“ eine Beispiel-Erfassung in den "
        "Ordner " +
        ss(sampleFolder()) + " und stellt die Pfade darauf ein.";
    buttons.push_back("Beispieldaten verwenden");
  }
  buttons.push_back("Schließen");
  const int answer = choose(app::MessageIcon::Error, text, buttons);
  if (answer == 0) return openSettings() && pathsReady();
  if (nothingSet && answer == 1) {
    if (const QString failure = useSampleSurvey(sampleFolder()); !failure.isEmpty()) {
      app::ui().message(app::MessageIcon::Error, ss(failure));
      return false;
    }
    showPaths();
    return app::FfhCheckPath() == 100;
  }
  return false;
}

void frmMain::cmdAusgabeClick() {
  openWindow(Target::Ausgabe);
}
void frmMain::cmdReportClick() {
  openWindow(Target::Report);
}

void frmMain::openWindow(Target target) {
  try {
    if (!pathsReady()) return;
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
    addRecentSurvey({qs(app::settings().get(app::kDbfFilesPfad)),
                     qs(app::settings().get(app::kShapeFilesPfad))});
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
