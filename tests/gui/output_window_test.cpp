// The output window's own parts over the sample survey: the "all" boxes, the cascaded area
// lists, the biotope and habitat filters, the selection dialog, skipped copies, cover sheets,
// and termination signals in and outside a run. What it shares with the report window is
// tested with both in generation_window_test.cpp.

#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <csignal>
#include <set>

#include "generation_window_fixture.h"
#include "gui/termination_signals.h"
#include "gui/window_support.h"
#include "support/survey_fixture.h"

namespace fs = std::filesystem;

namespace {

using guitest::child;
using guitest::clickRow;
using guitest::rows;

std::vector<std::string> codes(const QTreeWidget* view) {
  std::vector<std::string> texts;
  for (int i = 0; i < view->topLevelItemCount(); ++i)
    texts.push_back(view->topLevelItem(i)->text(0).toStdString());
  return texts;
}

bool grey(const QWidget* w) {
  return !w->isEnabled() && w->palette().color(QPalette::Base) == gui::kDisabledFieldColour;
}
bool white(const QWidget* w) {
  return w->isEnabled() && w->palette().color(QPalette::Base) == gui::kEnabledFieldColour;
}

class OutputWindowTest : public guitest::WindowTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    open(guitest::kOutputWindow);
  }
  gui::frmAusgabe& window() { return guitest::ausgabe(*window_); }

  // The selection dialog listed the sheets of keys, and the run made their documents, with the
  // polygon's cover sheet beside each sheet when asked.
  void expectMade(const std::vector<std::string>& keys, bool coverSheets = false) {
    std::vector<std::string> entries;
    auto docs = guitest::sheetDocuments(keys);
    for (const auto& k : keys) {
      entries.push_back(k.substr(0, 12) + "_" + k.substr(12));
      if (coverSheets) docs.push_back(k.substr(12) + "/" + k.substr(0, 11) + "Deckblatt.docx");
    }
    std::sort(entries.begin(), entries.end());
    std::sort(docs.begin(), docs.end());
    docs.erase(std::unique(docs.begin(), docs.end()), docs.end());
    EXPECT_EQ(listed_, entries);
    EXPECT_EQ(guitest::documents(out_), docs);
    EXPECT_TRUE(ui().boxes.empty()) << lastBox();
  }
  std::vector<std::string> keys(const std::function<bool(const guitest::Sheet&)>& keep) {
    return guitest::sheetKeys(*db_, keep);
  }
};

TEST_F(OutputWindowTest, load_all_boxes_ticked_lists_grey_and_columns) {
  for (const char* box : {"chkGebiet", "chkBoegen", "chkBiotoptyp", "chkLebensraum"})
    EXPECT_TRUE(c<QCheckBox>(box)->isChecked()) << box;
  EXPECT_EQ(rows(c<QListWidget>("lstGBogen")),
            (std::vector<std::string>{"F", "GN", "GT", "H", "K", "M", "S", "T", "W", "X"}));
  for (const char* list :
       {"lstFFHGebiet", "lstTeilgebiet", "lstPolygon", "lstGBogen", "lvwBiotoptyp",
        "lvwBioSelected", "txtKennung", "lvwLebensraum", "lvwLebenSelected", "txtEGNummer"})
    EXPECT_TRUE(grey(c<QWidget>(list))) << list;
  for (const char* button : {"cmdBioSelect", "cmdBioSelectAll", "cmdBioClear", "cmdBioClearAll",
                             "cmdLebenSelect", "cmdLebenClearAll"})
    EXPECT_FALSE(c<QPushButton>(button)->isEnabled()) << button;

  auto* bio = c<QTreeWidget>("lvwBiotoptyp");
  EXPECT_EQ(bio->headerItem()->text(0), "Typ");
  EXPECT_EQ(c<QTreeWidget>("lvwLebensraum")->headerItem()->text(0), "Nummer");
  // The code column widens so that no code is cut; the empty chosen lists show their code
  // header whole, with room for the sort arrow.
  EXPECT_GE(bio->columnWidth(0), QFontMetrics(bio->font()).horizontalAdvance("01110"));
  for (const char* name : {"lvwBioSelected", "lvwLebenSelected"}) {
    auto* chosen = c<QTreeWidget>(name);
    chosen->header()->setSortIndicatorShown(true);
    EXPECT_GE(chosen->columnWidth(0), chosen->header()->sectionSizeHint(0)) << name;
  }
  EXPECT_EQ(c<QPushButton>("cmdLebenClearAll")->text(), "Alle entfernen");
  EXPECT_GT(bio->topLevelItemCount(), 10);
  EXPECT_EQ(bio->topLevelItem(0)->text(0), "01110");
  EXPECT_EQ(bio->topLevelItem(0)->text(1), "Buchenwälder mittlerer und basenreicher Standorte");

  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());

  c<QCheckBox>("chkGebiet")->click();
  EXPECT_TRUE(white(c<QWidget>("lstFFHGebiet")));
  EXPECT_TRUE(grey(c<QWidget>("lstTeilgebiet")));
  c<QCheckBox>("chkBoegen")->click();
  EXPECT_TRUE(white(c<QWidget>("lstGBogen")));
  c<QCheckBox>("chkBiotoptyp")->click();
  EXPECT_TRUE(white(c<QWidget>("lvwBiotoptyp")));
  EXPECT_TRUE(white(c<QWidget>("txtKennung")));
  EXPECT_TRUE(c<QPushButton>("cmdBioSelect")->isEnabled());
  c<QCheckBox>("chkBiotoptyp")->click();
  EXPECT_TRUE(grey(c<QWidget>("lvwBioSelected")));
}

TEST_F(OutputWindowTest, cascaded_lists_pick_polygons_and_cover_sheets_go_beside_sheets) {
  // The polygon nodes (polygon and part) below area 364, sub-area 002, as the table has them.
  std::set<std::string> nodes;
  keys([&](const guitest::Sheet& s) {
    if (s.code.rfind("364002", 0) == 0) nodes.insert(s.code.substr(6, 6));
    return false;
  });
  ASSERT_GE(nodes.size(), 3u);

  c<QCheckBox>("chkGebiet")->click();
  clickRow(c<QListWidget>("lstFFHGebiet"), "364");
  EXPECT_EQ(rows(c<QListWidget>("lstTeilgebiet")), (std::vector<std::string>{"001", "002", "003"}));
  EXPECT_TRUE(white(c<QWidget>("lstTeilgebiet")));
  EXPECT_TRUE(grey(c<QWidget>("lstPolygon")));
  clickRow(c<QListWidget>("lstTeilgebiet"), "002");
  const auto listed = rows(c<QListWidget>("lstPolygon"));
  EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), nodes);
  EXPECT_EQ(listed.size(), nodes.size());
  const std::string first = *nodes.begin(), second = *std::next(nodes.begin());
  clickRow(c<QListWidget>("lstPolygon"), first);
  clickRow(c<QListWidget>("lstPolygon"), second);
  // Only some sheet types: GN is not among them.
  c<QCheckBox>("chkBoegen")->click();
  for (const char* type : {"F", "GT", "H", "K", "M", "S", "T", "W", "X"})
    clickRow(c<QListWidget>("lstGBogen"), type);

  const auto wanted = keys([&](const guitest::Sheet& s) {
    return s.code.rfind("364002", 0) == 0 &&
           (s.code.substr(6, 6) == first || s.code.substr(6, 6) == second) && s.type != "GN";
  });
  press(true);
  EXPECT_TRUE(window().CreateDecklatt());
  expectMade(wanted, true);
}

TEST_F(OutputWindowTest, biotope_buttons_move_types_and_an_empty_choice_makes_nothing) {
  c<QTabWidget>("tabAuswahl")->setCurrentIndex(1);
  c<QCheckBox>("chkBiotoptyp")->click();
  auto* available = c<QTreeWidget>("lvwBiotoptyp");
  auto* chosen = c<QTreeWidget>("lvwBioSelected");
  clickRow(available, 1);
  clickRow(available, 2, Qt::ControlModifier);
  c<QPushButton>("cmdBioSelect")->click();
  EXPECT_EQ(codes(chosen), (std::vector<std::string>{codes(available)[1], codes(available)[2]}));
  c<QPushButton>("cmdBioSelectAll")->click();
  EXPECT_EQ(codes(chosen), codes(available));
  clickRow(chosen, 3);
  clickRow(chosen, 4, Qt::ControlModifier);
  auto left = codes(chosen);
  left.erase(left.begin() + 3, left.begin() + 5);
  c<QPushButton>("cmdBioClear")->click();
  EXPECT_EQ(codes(chosen), left);
  c<QPushButton>("cmdBioClearAll")->click();
  EXPECT_EQ(chosen->topLevelItemCount(), 0);

  // An empty chosen list lets no sheet through.
  press();
  EXPECT_EQ(headline_, "Es wurden 0 Geländebögen ausgewählt.");
  EXPECT_EQ(lastBox(), "Für die ausgewählte Kombination existiert kein Geländebogen.");
  EXPECT_TRUE(guitest::documents(out_).empty());
}

// One biotope or habitat type that the survey uses, found through its search field and chosen:
// the run makes exactly the sheets of that type.
struct TypeTab {
  const char* name;
  int tab;
  const char *all, *search, *available, *select, *chosen;
  bool biotope;  // else habitat
};

class TypeTabTest : public OutputWindowTest, public ::testing::WithParamInterface<TypeTab> {};

TEST_P(TypeTabTest, one_type_found_by_search_restricts_run) {
  const TypeTab& t = GetParam();
  auto typeOf = [&](const guitest::Sheet& s) { return t.biotope ? s.biotope : s.habitat; };
  std::string type;
  keys([&](const guitest::Sheet& s) {
    if (type.empty()) type = typeOf(s);
    return false;
  });
  ASSERT_FALSE(type.empty());
  c<QTabWidget>("tabAuswahl")->setCurrentIndex(t.tab);
  c<QCheckBox>(t.all)->click();
  QTest::keyClicks(c<QLineEdit>(t.search), QString::fromStdString(type));
  ASSERT_EQ(codes(c<QTreeWidget>(t.available)), std::vector<std::string>{type});
  clickRow(c<QTreeWidget>(t.available), 0);
  c<QPushButton>(t.select)->click();
  EXPECT_EQ(codes(c<QTreeWidget>(t.chosen)), std::vector<std::string>{type});
  const auto wanted = keys([&](const guitest::Sheet& s) { return typeOf(s) == type; });
  press();
  expectMade(wanted);
}

INSTANTIATE_TEST_SUITE_P(
    Tabs, TypeTabTest,
    ::testing::Values(TypeTab{"biotope", 1, "chkBiotoptyp", "txtKennung", "lvwBiotoptyp",
                              "cmdBioSelect", "lvwBioSelected", true},
                      TypeTab{"habitat", 2, "chkLebensraum", "txtEGNummer", "lvwLebensraum",
                              "cmdLebenSelect", "lvwLebenSelected", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OutputWindowTest, selection_cancel_makes_nothing_and_time_counts_from_confirming) {
  c<QCheckBox>("chkBoegen")->click();
  clickRow(c<QListWidget>("lstGBogen"), "K");
  press(false, false);
  EXPECT_FALSE(listed_.empty());
  EXPECT_FALSE(window().confirmed());
  EXPECT_TRUE(guitest::documents(out_).empty());
  EXPECT_TRUE(c<QPushButton>("cmdGenerate")->isEnabled());
  EXPECT_TRUE(c<QCheckBox>("chkKopien")->isEnabled());
  // The user reads the selection for a while before confirming it.
  guitest::whenModal(
      [](QWidget* w) {
        QTest::qWait(2500);
        child<QPushButton>(w, "cmdGenerate")->click();
      },
      window_.get());
  c<QPushButton>("cmdGenerate")->click();
  ASSERT_GT(window().lastRun().produced, 0u);
  EXPECT_LT(c<QLabel>("lblTime")->text(), QString("00:00:02"));
}

TEST_F(OutputWindowTest, skip_copies_leaves_out_collective_and_complex_copies) {
  const auto copies = keys([](const guitest::Sheet& s) { return s.copy == "3" || s.copy == "4"; });
  ASSERT_FALSE(copies.empty());
  c<QCheckBox>("chkKopien")->click();
  const auto wanted = keys([](const guitest::Sheet& s) { return s.copy != "3" && s.copy != "4"; });
  press();
  EXPECT_EQ(headline_, "Es wurden " + std::to_string(wanted.size()) + " Geländebögen ausgewählt.");
  expectMade(wanted);
}

TEST_F(OutputWindowTest, damaged_type_table_ends_program) {
  testsupport::writeTable(copySurvey() / "ffh_ref.dbf",
                          {{"CODE_EG", 'C', 4, 0}, {"NAME", 'C', 40, 0}},
                          {{"3150", "Seen"}, {"3260", "Flüsse"}, {"3150", "Seen"}});
  auto damaged = openDatabase();
  gui::frmAusgabe window;
  ui().boxes.clear();
  EXPECT_FALSE(window.setDBFData(*damaged));
  EXPECT_TRUE(window.programEnded());
  ASSERT_EQ(ui().boxes.size(), 2u);
  EXPECT_EQ(ui().boxes[0].text, "Der Lebensraum 3150 befindet sich schon in der Auflistung.");
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Error);
  EXPECT_EQ(ui().boxes[1].text, "Das Programm wird beendet.");
  EXPECT_EQ(ui().boxes[1].icon, app::MessageIcon::Information);
}

// SIGTERM and SIGHUP act as "Abbrechen" and then end the program's event loop (run here as the
// program runs it); outside a run they close the window at once.
class TerminationTest : public OutputWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(TerminationTest, during_a_run_the_sheet_in_work_ends_and_the_messages_are_written) {
  const gui::TerminationSignals terminations;
  // Every document is refused (open elsewhere), so that each sheet in work leaves a message.
  const auto all = keys([](const guitest::Sheet&) { return true; });
  for (const auto& key : all) {
    fs::create_directories(out_ / key.substr(12));
    testsupport::writeFile(out_ / key.substr(12) / (".~lock." + key + ".docx#"), "");
  }
  bool raised = false;
  QObject::connect(c<QProgressBar>("prbProgress"), &QProgressBar::valueChanged, window_.get(),
                   [&](int value) {
                     if (value == 2 && !raised) raised = std::raise(GetParam()) == 0;
                   });
  window_->setJobs(1);  // one sheet in work at a time: the count below is exact
  QTimer::singleShot(0, window_.get(), [this] { press(); });
  EXPECT_EQ(QApplication::exec(), 0);
  ASSERT_TRUE(raised);
  EXPECT_TRUE(window().lastRun().cancelled);
  EXPECT_EQ(window().lastRun().failed.size(), 2u);
  const std::string text = testsupport::readFile(out_ / "MessageReport.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
  // Nothing but the lock files and the message file: no document, no temporary file.
  std::size_t files = 0;
  for (const auto& e : fs::recursive_directory_iterator(out_)) files += e.is_regular_file();
  EXPECT_EQ(files, all.size() + 1);
}

TEST_P(TerminationTest, outside_a_run_the_window_closes) {
  const gui::TerminationSignals terminations;
  QTimer::singleShot(0, [signal = GetParam()] { std::raise(signal); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(guitest::documents(out_).empty());
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationTest, ::testing::Values(SIGTERM, SIGHUP),
                         [](const auto& info) {
                           return info.param == SIGTERM ? "SIGTERM" : "SIGHUP";
                         });

}  // namespace
