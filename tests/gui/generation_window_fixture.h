#pragma once
// A generation window over the sample survey, and what the shared tests need to know of each
// of the two: how it opens, what a user chooses in it, how a run is started, what it makes.

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <functional>

#include "gui/frm_ausgabe.h"
#include "gui/frm_report.h"
#include "gui_fixture.h"

namespace guitest {

class WindowTest;

struct WindowKind {
  const char* name;
  QString headline, polygonLabel, generate;
  std::function<std::unique_ptr<gui::GenerationWindow>(data::clsDBFData&)> open;
  // Chooses, as a user does, a few documents' worth.
  std::function<void(WindowTest&)> choose;
  // The documents that choice makes, below the output folder, sorted.
  std::function<std::vector<std::string>(WindowTest&)> expected;
  // The status line after a run that made them all.
  std::function<std::string(const std::vector<std::string>&)> doneText;
  // The sheets (output window) or polygons (report window) the last run took in hand, and
  // whether it was cancelled.
  std::function<std::size_t(gui::GenerationWindow&)> made;
  std::function<bool(gui::GenerationWindow&)> cancelled;
  // Controls that are locked during a run and usable after it.
  std::vector<const char*> lockedInRun;
};

inline void PrintTo(const WindowKind& kind, std::ostream* os) {
  *os << kind.name;
}

class WindowTest : public GuiTest {
 public:
  template <typename T>
  T* c(const char* name) {
    return child<T>(window_.get(), name);
  }
  // Presses the generate button; the output window's selection dialog is confirmed, with a
  // cover sheet per sheet when asked.
  void press(bool coverSheets = false) {
    if (dynamic_cast<gui::frmAusgabe*>(window_.get()))
      whenModal(
          [coverSheets](QWidget* w) {
            if (coverSheets) child<QCheckBox>(w, "chkCreateDeckblatt")->click();
            child<QPushButton>(w, "cmdGenerate")->click();
          },
          window_.get());
    c<QPushButton>("cmdGenerate")->click();
  }
  data::clsDBFData& db() { return *db_; }

 protected:
  void open(const WindowKind& kind) {
    db_ = openDatabase();
    window_ = kind.open(*db_);
    window_->resize(900, 600);
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    db_.reset();
    GuiTest::TearDown();
  }

  std::unique_ptr<data::clsDBFData> db_;
  std::unique_ptr<gui::GenerationWindow> window_;
};

inline gui::frmAusgabe& ausgabe(gui::GenerationWindow& w) {
  return dynamic_cast<gui::frmAusgabe&>(w);
}
inline gui::frmReport& report(gui::GenerationWindow& w) {
  return dynamic_cast<gui::frmReport&>(w);
}

// The output window with the sheets of type "H".
inline const WindowKind kOutputWindow{
    "output",
    "Generator für die Geländebögen (Reinschrift)",
    "Polygon,Teil,ID",
    "Bögen erstellen",
    [](data::clsDBFData& db) {
      auto w = std::make_unique<gui::frmAusgabe>();
      EXPECT_TRUE(w->setDBFData(db));
      return std::unique_ptr<gui::GenerationWindow>(std::move(w));
    },
    [](WindowTest& t) {
      t.c<QCheckBox>("chkBoegen")->click();
      clickRow(t.c<QListWidget>("lstGBogen"), "H");
    },
    [](WindowTest& t) {
      std::vector<std::string> docs;
      for (const auto& key : sheetKeys(t.db(), [](auto&, const std::string&type, auto&, auto&,
                                                  auto&) { return type == "H"; }))
        docs.push_back("H/" + key + ".docx");
      std::sort(docs.begin(), docs.end());
      return docs;
    },
    [](const std::vector<std::string>& docs) {
      return "Fertig: " + std::to_string(docs.size()) + " Bögen erstellt";
    },
    [](gui::GenerationWindow& w) { return ausgabe(w).lastRun().produced; },
    [](gui::GenerationWindow& w) { return ausgabe(w).lastRun().cancelled; },
    {"chkGebiet", "chkBoegen", "chkBiotoptyp", "chkLebensraum", "chkKopien"}};

// The report window with polygons 00002 and 00005 of area 734, sub-area 001.
inline const WindowKind kReportWindow{
    "report",
    "Reportgenerator",
    "Polygon,Teil",
    "Report erstellen",
    [](data::clsDBFData& db) {
      auto w = std::make_unique<gui::frmReport>();
      w->setDBFData(db);
      return std::unique_ptr<gui::GenerationWindow>(std::move(w));
    },
    [](WindowTest& t) {
      clickRow(t.c<QListWidget>("lstFFHGebiet"), "734");
      clickRow(t.c<QListWidget>("lstTeilgebiet"), "001");
      clickRow(t.c<QListWidget>("lstPolygon"), "00002");
      clickRow(t.c<QListWidget>("lstPolygon"), "00005");
    },
    [](WindowTest& t) {
      std::vector<std::string> docs;
      for (const std::string polygon : {"73400100002", "73400100005"}) {
        docs.push_back("Report/" + polygon + "Deckblatt.docx");
        for (const auto& key :
             sheetKeys(t.db(), [&](const std::string&code, auto&, auto&, auto&, auto&) {
               return code.substr(0, 11) == polygon;
             }))
          docs.push_back("Report/" + key + "-Report.docx");
      }
      std::sort(docs.begin(), docs.end());
      return docs;
    },
    [](const std::vector<std::string>& docs) {
      return "Fertig: " + std::to_string(docs.size() - 2) +
             " Datenreports und 2 Deckblätter erstellt";
    },
    [](gui::GenerationWindow& w) { return report(w).lastRun().polygons; },
    [](gui::GenerationWindow& w) { return report(w).lastRun().cancelled; },
    {"lstFFHGebiet", "lstTeilgebiet", "lstPolygon", "chkKopien"}};

}  // namespace guitest
