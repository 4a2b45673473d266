// The pieces under the windows: the elapsed-time text, the message boxes of
// the desktop's user interface, the type look-ups on damaged tables, and `quelbrix gui`.

#include "gui/window_support.h"

#include <QMessageBox>
#include <QPushButton>
#include <sstream>

#include "cli/cli_app.h"
#include "cli/commands.h"
#include "gui/qt_user_interface.h"
#include "gui/type_filter.h"
#include "gui_fixture.h"
#include "support/survey_fixture.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

TEST(ElapsedTime, format_hours_minutes_seconds_past_a_day) {
  EXPECT_EQ(gui::formatElapsed(0ms), "00:00:00");
  EXPECT_EQ(gui::formatElapsed(999ms), "00:00:00");
  EXPECT_EQ(gui::formatElapsed(61s), "00:01:01");
  EXPECT_EQ(gui::formatElapsed(3h + 25min + 7s), "03:25:07");
  EXPECT_EQ(gui::formatElapsed(26h + 1s), "26:00:01");
  EXPECT_EQ(gui::formatElapsed(-5s), "00:00:00");
}

TEST(QtUserInterface, message_box_icon_text_and_answer) {
  guitest::ensureApplication();
  gui::QtUserInterface ui;
  struct Shown {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text, title;
    QStringList buttons;
  } shown;
  // Answers the next box with button and notes what it showed.
  auto answer = [&shown](QMessageBox::StandardButton button) {
    guitest::whenModal([&shown, button](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      shown = {box->icon(), box->text(), box->windowTitle(), {}};
      for (QAbstractButton* b : box->buttons()) shown.buttons << b->text();
      box->button(button)->click();
    });
  };
  answer(QMessageBox::Ok);
  ui.message(app::MessageIcon::Error, "Zeile 1\nZeile 2");
  EXPECT_EQ(shown.icon, QMessageBox::Critical);
  EXPECT_EQ(shown.text, "Zeile 1\nZeile 2");
  EXPECT_EQ(shown.title, "Quelbrix");
  answer(QMessageBox::Ok);
  ui.message(app::MessageIcon::Warning, "Achtung");
  EXPECT_EQ(shown.icon, QMessageBox::Warning);
  // The question's buttons speak German like the rest of the program.
  answer(QMessageBox::No);
  EXPECT_FALSE(ui.askYesNo("Weiter?"));
  shown.buttons.sort();
  EXPECT_EQ(shown.buttons, (QStringList{"&Ja", "&Nein"}));
}

class TypeLookUpTest : public guitest::GuiTest {
 protected:
  // A survey whose biotope table holds rows (code, text; "" = Null).
  std::unique_ptr<data::clsDBFData> withBiotopes(
      const std::vector<std::vector<std::string>>& rows) {
    testsupport::writeTable(copySurvey() / "biottyp.dbf",
                            {{"CODE", 'C', 5, 0}, {"BIOTYP", 'C', 40, 0}}, rows);
    EXPECT_TRUE(startLog(out_));
    return openDatabase();
  }
  std::string lastLog() { return logLines(out_).back(); }
};

TEST_F(TypeLookUpTest, biotope_damaged_rows_stop_with_box_and_log) {
  data::OrderedDict<std::string> types;
  // A row without code never matches the LIKE of the query; it is simply not listed.
  auto db = withBiotopes({{"01110", "Buchenwälder"}, {"", "ohne Code"}});
  EXPECT_EQ(gui::FfhGetBiotoptyp("%", *db, types), 100);
  EXPECT_EQ(types.size(), 1u);
  db = withBiotopes({{"01110", ""}});
  EXPECT_EQ(gui::FfhGetBiotoptyp("%", *db, types), 101);
  EXPECT_EQ(lastBox(),
            "Die Daten für den Biotoptyp sind in der Tabellenspalte 'BIOTOPTYP' "
            "fehlerhaft.\nBitte benachrichtigen Sie Ihren Administrator.");
  EXPECT_EQ(lastLog().rfind("D2 FfhGetBiotoptyp: Fehler! Die Daten für den Biotoptyp", 0), 0u);
  db = withBiotopes({{"01110", "a"}, {"01120", "b"}, {"01110", "c"}});
  EXPECT_EQ(gui::FfhGetBiotoptyp("%", *db, types), 101);
  EXPECT_EQ(lastBox(), "Der Biotoptyp 01110 befindet sich mehrfach in der Datenbank.");
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Error);
  EXPECT_EQ(lastLog(), "D2 FfhGetBiotoptyp: Fehler! " + lastBox());
  EXPECT_EQ(types.size(), 2u);
}

TEST_F(TypeLookUpTest, filter_search_upper_case_quote_and_choice) {
  auto db = withBiotopes({{"AB1", "Äcker"}, {"AB2", "Brachen"}, {"C'D", "Quote"}, {"X", "x"}});
  gui::TypeFilter filter(gui::TypeFilter::Kind::Biotope);
  ASSERT_EQ(filter.search(*db, ""), 100);
  EXPECT_EQ(filter.available().size(), 4u);
  EXPECT_EQ(*filter.available().find("AB1"), "Äcker");
  ASSERT_EQ(filter.search(*db, "ab"), 100);
  EXPECT_EQ(filter.available().size(), 2u);
  // A quote is searched for, not taken as the end of the query.
  ASSERT_EQ(filter.search(*db, "c'"), 100);
  ASSERT_EQ(filter.available().size(), 1u);
  EXPECT_TRUE(filter.available().contains("C'D"));
  ASSERT_EQ(filter.search(*db, "zz"), 100);
  EXPECT_TRUE(filter.available().empty());

  ASSERT_EQ(filter.search(*db, ""), 100);
  filter.choose({"X", "AB2", "AB2", "nope"});
  EXPECT_EQ(filter.chosen().size(), 2u);
  EXPECT_EQ(filter.chosen().begin()->first, "AB2");
  // A narrower search leaves the chosen types alone.
  ASSERT_EQ(filter.search(*db, "ab1"), 100);
  EXPECT_EQ(filter.chosen().size(), 2u);
  EXPECT_EQ(filter.restriction(false).size(), 2u);
  EXPECT_EQ(filter.restriction(true).size(), 1u);
}

TEST(GuiCommand, missing_desktop_program_is_reported) {
  // The test program's folder holds no quelbrix-gui, so nothing is started.
  ASSERT_FALSE(fs::exists(cli::guiExecutable()));
  EXPECT_EQ(cli::guiExecutable().filename(), "quelbrix-gui");
  std::ostringstream out, err;
  EXPECT_EQ(cli::run({"gui"}, std::make_unique<app::MemorySettings>(), out, err), 1);
  EXPECT_EQ(err.str(),
            "Die Fensteroberfläche wurde nicht gefunden: " + cli::guiExecutable().string() + "\n");
}

}  // namespace
