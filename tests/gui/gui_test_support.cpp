#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "app/resource_folder.h"
#include "gui/desktop_services.h"
#include "gui/german_translations.h"
#include "support/temp_dir.h"
#include "tools/sample_database.h"
#include "tools/sample_shapefile.h"

namespace fs = std::filesystem;

namespace guitest {
namespace {

// One folder per process, removed at its end: ctest may run several test processes side by side.
const fs::path& scratchRoot() {
  static const testsupport::TempDir root;
  return root.path();
}

}  // namespace

void ensureApplication() {
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const fs::path config = scratchRoot() / "config";
  fs::create_directories(config);
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.string()));
  static int argc = 1;
  static char name[] = "quelbrix_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  // As the program does: Qt's own dialogs in German.
  gui::installGermanTranslations(*application);
}

void PumpingRecorder::message(app::MessageIcon icon, const std::string& text) {
  if (atMessage) atMessage();
  RecordingUserInterface::message(icon, text);
}

void recordDesktop() {
  gui::setChoiceBox(
      [](app::MessageIcon icon, const std::string& text, const std::vector<std::string>& buttons) {
        auto& recorder = dynamic_cast<PumpingRecorder&>(app::ui());
        recorder.message(icon, text);
        recorder.buttons = buttons;
        const auto at = std::find(buttons.begin(), buttons.end(), recorder.press);
        return at == buttons.end() ? -1 : static_cast<int>(at - buttons.begin());
      });
  gui::setDesktopOpener([](const QString& path) {
    dynamic_cast<PumpingRecorder&>(app::ui()).opened.push_back(path.toStdString());
    return true;
  });
}

void PumpingRecorder::processEvents() {
  ++eventPumps;
  QCoreApplication::processEvents();
}

SampleSurvey writeSampleSurvey(const fs::path& db, const fs::path& resources) {
  SampleSurvey s;
  s.db = db;
  s.shape = db / "shape" / "ffh_flaechen.shp";
  s.resources = resources;
  sample::SampleOptions options;
  options.polygons = 30;
  options.seed = 1;
  const sample::SampleResult result = sample::writeSampleDatabase(s.db, options);
  std::vector<std::string> codes;
  for (const auto& p : result.polygons) codes.push_back(p.code);
  fs::create_directories(s.shape.parent_path());
  sample::writeSampleShapefile(s.shape, codes, options.seed);
  fs::create_directories(s.resources / "data");
  sample::writeUmlautTable(s.resources / "data" / "umlaute2.dbf");
  fs::create_directory_symlink(QUELBRIX_BUILT_TEMPLATES, s.resources / "Templates");
  return s;
}

const SampleSurvey& sampleSurvey() {
  static SampleSurvey survey = [] {
    const fs::path root = scratchRoot() / "sample";
    fs::remove_all(root);
    return writeSampleSurvey(root / "db", root / "res");
  }();
  return survey;
}

void whenModal(std::function<void(QWidget*)> action, QWidget* notThis) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, action, notThis] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == notThis || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    action(modal);
  });
  timer->start();
}

void pickFolder(QTreeWidget* tree, const fs::path& folder) {
  QTreeWidgetItem* item = tree->topLevelItem(0);
  fs::path root(item->data(0, Qt::UserRole).toString().toStdString());
  // A folder outside the shown root (the home folder) is reached through the root "/", picked
  // in the chooser's root list as a user does.
  if (folder.lexically_relative(root).begin()->string() == "..") {
    auto* roots = tree->window()->findChild<QComboBox*>("Drive1");
    if (!roots) throw std::runtime_error("no root list beside the folder tree");
    const int slash = roots->findData(QStringLiteral("/"));
    roots->setCurrentIndex(slash);
    emit roots->activated(slash);
    item = tree->topLevelItem(0);
    root = item->data(0, Qt::UserRole).toString().toStdString();
  }
  const fs::path rest = folder.lexically_relative(root);
  for (const auto& part : rest) {
    if (part == ".") continue;
    item->setExpanded(true);
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < item->childCount() && !next; ++i)
      if (item->child(i)->text(0).toStdString() == part.string()) next = item->child(i);
    if (!next) throw std::runtime_error("folder not listed: " + part.string());
    item = next;
  }
  tree->setCurrentItem(item);
}

FileDialogSeen chooseShapefile(QWidget* dialog, const fs::path& file) {
  FileDialogSeen seen;
  whenModal(
      [file, &seen](QWidget* w) {
        auto* chooser = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->windowTitle(), "Bestimmung des Pfades der Shapefiles");
        EXPECT_EQ(chooser->nameFilters(), QStringList{"Shapefiles (*.shp)"});
        seen.folder = chooser->directory().absolutePath();
        for (const QLabel* l : chooser->findChildren<QLabel*>()) seen.texts << l->text();
        for (const QAbstractButton* b : chooser->findChildren<QAbstractButton*>())
          seen.texts << b->text();
        if (file.empty()) return chooser->reject();
        chooser->setDirectory(QString::fromStdString(file.parent_path().string()));
        chooser->selectFile(QString::fromStdString(file.filename().string()));
        static_cast<QDialog*>(chooser)->accept();
      },
      dialog);
  child<QPushButton>(dialog, "cmdShpChange")->click();
  return seen;
}

void chooseFolder(QWidget* dialog, const char* button, const fs::path& folder, bool take) {
  whenModal(
      [folder, take](QWidget* w) {
        ASSERT_EQ(w->objectName(), "frmDataPath");
        pickFolder(child<QTreeWidget>(w, "Dir1"), folder);
        child<QPushButton>(w, take ? "cmdExit" : "cmdCancel")->click();
      },
      dialog);
  child<QPushButton>(dialog, button)->click();
}

std::vector<std::string> sheetKeys(data::clsDBFData& db,
                                   const std::function<bool(const Sheet&)>& keep) {
  data::Recordset rs;
  if (!db.GetRecordset(0, "SELECT GBCODE, GBBOGEN, GBBIOTOP, GBFFH1, GBKOPIE FROM GBogen", rs))
    throw std::runtime_error("GBogen not readable");
  std::vector<std::string> keys;
  for (; !rs.isEOF(); rs.MoveNext()) {
    auto text = [&](int i) { return rs.value(i).isNull() ? std::string() : rs.value(i).toText(); };
    if (keep({text(0), text(1), text(2), text(3), text(4)})) keys.push_back(text(0) + text(1));
  }
  return keys;
}

void clickRow(QListWidget* list, const std::string& text) {
  const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
  if (found.size() != 1) throw std::runtime_error("no single row " + text);
  list->scrollToItem(found.front());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(found.front()).center());
}

void clickRow(QTreeWidget* view, int row, Qt::KeyboardModifiers modifiers) {
  QTreeWidgetItem* item = view->topLevelItem(row);
  if (!item) throw std::runtime_error("no row " + std::to_string(row));
  view->scrollToItem(item);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                    view->visualItemRect(item).center());
}

std::vector<std::string> rows(const QListWidget* list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
  return texts;
}

std::vector<std::string> documents(const fs::path& folder) {
  std::vector<std::string> found;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".docx")
      found.push_back(it->path().lexically_relative(folder).string());
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace guitest
