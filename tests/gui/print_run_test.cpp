// A printing run in the output window on a printer that holds every job, with LibreOffice and
// CUPS: the window keeps answering while LibreOffice starts and converts and while the run
// waits for the queue, and "Abbrechen" ends the wait, the run and its message file within
// seconds.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "gui/frm_ausgabe.h"
#include "gui_fixture.h"
#include "print/real_chain.h"

namespace fs = std::filesystem;

namespace {

using guitest::child;

class PrintRunTest : public guitest::GuiTest {
 protected:
  void TearDown() override {
    unsetenv("PRINTER");
    GuiTest::TearDown();
  }
};

TEST_F(PrintRunTest, output_window_answers_throughout_and_cancel_ends_the_wait) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  printtest::TestQueue queue(printtest::TestQueue::Kind::Holding);
  PRINTTEST_REQUIRE(queue.missing());
  // The queue is the default printer of this process, as lp would take it.
  setenv("PRINTER", queue.name().c_str(), 1);
  settings().set(app::kDataFilesPrint, "1");
  auto db = openDatabase();
  gui::frmAusgabe window;
  ASSERT_TRUE(window.setDBFData(*db));
  window.show();
  child<QCheckBox>(&window, "chkBoegen")->click();
  guitest::clickRow(child<QListWidget>(&window, "lstGBogen"), "M");

  // A timer due every 10 ms: the longest gap between two of its ticks is the longest time the
  // window did not answer.
  QElapsedTimer clock;
  clock.start();
  qint64 last = 0, longest = 0, cancelledAt = -1;
  QTimer tick;
  tick.setInterval(10);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longest = std::max(longest, clock.elapsed() - last);
    last = clock.elapsed();
  });
  // "Abbrechen" once the first document waits in the queue.
  QTimer watch;
  watch.setInterval(100);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (cancelledAt >= 0 || queue.jobs().empty()) return;
    cancelledAt = clock.elapsed();
    child<QPushButton>(&window, "cmdCancel")->click();
  });
  guitest::whenModal(
      [&](QWidget* w) {
        last = clock.elapsed();
        tick.start();
        watch.start();
        child<QPushButton>(w, "cmdGenerate")->click();
      },
      &window);
  child<QPushButton>(&window, "cmdGenerate")->click();
  const qint64 endedAt = clock.elapsed();
  tick.stop();
  watch.stop();

  ASSERT_GE(cancelledAt, 0) << "no job reached the queue";
  EXPECT_LT(endedAt - cancelledAt, 20000);
  // The window serves its events every 10 to 25 ms while LibreOffice starts and converts, while
  // CUPS takes a job or answers about its queue, while a document is saved and while the run
  // waits for the queue. What remains between two ticks is making one document and the
  // machine's own load: 50 to 130 ms on a 2-core machine with a load of 7 to 9.5.
  EXPECT_LT(longest, 200) << "the window did not answer for " << longest << " ms";
  EXPECT_TRUE(window.lastRun().cancelled);
  const std::vector<int> left = queue.jobs();
  ASSERT_EQ(left.size(), 1u);
  const std::string messages = testsupport::readFile(out_ / "MessageReport.txt");
  EXPECT_NE(messages.find("Der Druckauftrag " + std::to_string(left[0]) + " (Quelbrix - "),
            std::string::npos)
      << messages;
  EXPECT_NE(messages.find("nicht verlassen: Der Lauf wurde abgebrochen"), std::string::npos)
      << messages;
  EXPECT_EQ(child<QLabel>(&window, "lblProgress")->text().toStdString().rfind("Abgebrochen: ", 0),
            0u);
  // The message file's box says what became of the printed documents and how the printer is.
  EXPECT_NE(lastBox().find(" an den Drucker " + queue.name() + " übergeben: "), std::string::npos)
      << lastBox();
  EXPECT_NE(lastBox().find("\nDer Drucker " + queue.name() + " ist "), std::string::npos)
      << lastBox();
  EXPECT_EQ(ui().buttons, (std::vector<std::string>{"Meldungsdatei öffnen", "OK"}));
  std::cout << "[ measured ] longest pause of the window: " << longest << " ms, run ended "
            << endedAt - cancelledAt << " ms after Abbrechen\n";
}

}  // namespace
