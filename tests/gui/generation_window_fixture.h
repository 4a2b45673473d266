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

struct WindowKind {
  const char* name;
  QString headline, polygonLabel, generate;
  std::function<std::unique_ptr<gui::GenerationWindow>(data::clsDBFData&)> open;
  // Chooses in the window, as a user does, a few documents' worth.
  std::function<void(QWidget*)> choose;
  // The documents that choice makes, below the output folder, sorted.
  std::function<std::vector<std::string>(data::clsDBFData&)> expected;
  // The status line after a run that made them all.
  std::function<std::string(const std::vector<std::string>&)> doneText;
  // Whether the last run was cancelled, and how many sheets (output window) or polygons (report
  // window) it took in hand.
  std::function<std::pair<bool, std::size_t>(gui::GenerationWindow&)> lastRun;
  // Controls that are locked during a run and usable after it.
  std::vector<const char*> lockedInRun;
};

// The documents a set of sheet keys gives in the output window: "<type>/<key>.docx", sorted.
inline std::vector<std::string> sheetDocuments(const std::vector<std::string>& keys) {
  std::vector<std::string> docs;
  for (const auto& k : keys) docs.push_back(k.substr(12) + "/" + k + ".docx");
  std::sort(docs.begin(), docs.end());
  return docs;
}

class WindowTest : public GuiTest {
 public:
  template <typename T>
  T* c(const char* name) {
    return child<T>(window_.get(), name);
  }
  // Presses the generate button. The output window's selection dialog is answered: its count
  // sentence and rows land in headline_ and listed_ (sorted); confirm presses "Generieren"
  // (with a cover sheet per sheet when asked), else "Abbrechen".
  void press(bool coverSheets = false, bool confirm = true) {
    headline_.clear();
    listed_.clear();
    if (dynamic_cast<gui::frmAusgabe*>(window_.get()))
      whenModal(
          [this, coverSheets, confirm](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Ausgewählte Geländebögen");
            if (coverSheets) child<QCheckBox>(w, "chkCreateDeckblatt")->click();
            headline_ = child<QLabel>(w, "lblAnzahl")->text().toStdString();
            listed_ = rows(child<QListWidget>(w, "lslPolygone"));
            std::sort(listed_.begin(), listed_.end());
            child<QPushButton>(w, confirm ? "cmdGenerate" : "cmdCancel")->click();
          },
          window_.get());
    c<QPushButton>("cmdGenerate")->click();
  }

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
  std::string headline_;
  std::vector<std::string> listed_;
};

inline gui::frmAusgabe& ausgabe(gui::GenerationWindow& w) {
  return dynamic_cast<gui::frmAusgabe&>(w);
}
inline gui::frmReport& report(gui::GenerationWindow& w) {
  return dynamic_cast<gui::frmReport&>(w);
}

template <typename Window>
std::unique_ptr<gui::GenerationWindow> openWindow(data::clsDBFData& db) {
  auto w = std::make_unique<Window>();
  // The output window answers whether its lists could be filled.
  if constexpr (std::is_same_v<decltype(w->setDBFData(db)), bool>)
    EXPECT_TRUE(w->setDBFData(db));
  else
    w->setDBFData(db);
  return w;
}

// The output window with the sheets of type "H".
inline const WindowKind kOutputWindow{
    "output",
    "Generator für die Geländebögen (Reinschrift)",
    "Polygon,Teil,ID",
    "Bögen erstellen",
    openWindow<gui::frmAusgabe>,
    [](QWidget* w) {
      child<QCheckBox>(w, "chkBoegen")->click();
      clickRow(child<QListWidget>(w, "lstGBogen"), "H");
    },
    [](data::clsDBFData& db) {
      return sheetDocuments(sheetKeys(db, [](const Sheet& s) { return s.type == "H"; }));
    },
    [](const std::vector<std::string>& docs) {
      return "Fertig: " + std::to_string(docs.size()) + " Bögen erstellt";
    },
    [](gui::GenerationWindow& w) {
      return std::pair(ausgabe(w).lastRun().cancelled, ausgabe(w).lastRun().produced);
    },
    {"chkGebiet", "chkBoegen", "chkBiotoptyp", "chkLebensraum", "chkKopien"}};

// The report window with polygons 00002 and 00005 of area 734, sub-area 001.
inline const WindowKind kReportWindow{
    "report",
    "Reportgenerator",
    "Polygon,Teil",
    "Report erstellen",
    openWindow<gui::frmReport>,
    [](QWidget* w) {
      clickRow(child<QListWidget>(w, "lstFFHGebiet"), "734");
      clickRow(child<QListWidget>(w, "lstTeilgebiet"), "001");
      clickRow(child<QListWidget>(w, "lstPolygon"), "00002");
      clickRow(child<QListWidget>(w, "lstPolygon"), "00005");
    },
    [](data::clsDBFData& db) {
      std::vector<std::string> docs;
      for (const std::string polygon : {"73400100002", "73400100005"}) {
        docs.push_back("Report/" + polygon + "Deckblatt.docx");
        for (const auto& key :
             sheetKeys(db, [&](const Sheet& s) { return s.code.substr(0, 11) == polygon; }))
          docs.push_back("Report/" + key + "-Report.docx");
      }
      std::sort(docs.begin(), docs.end());
      return docs;
    },
    [](const std::vector<std::string>& docs) {
      return "Fertig: " + std::to_string(docs.size() - 2) +
             " Datenreports und 2 Deckblätter erstellt";
    },
    [](gui::GenerationWindow& w) {
      return std::pair(report(w).lastRun().cancelled, report(w).lastRun().polygons);
    },
    {"lstFFHGebiet", "lstTeilgebiet", "lstPolygon", "chkKopien"}};

}  // namespace guitest
