// The print step of a finished document: print, wait while the queue names the document, the
// closing pause and second save; and the PDF copy. The queue is scripted and every pause moves
// it one step on, so the tests take no real time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <stdexcept>
#include <thread>

#include "app/app_fixture.h"
#include "docx/test_package.h"
#include "fake_queue.h"
#include "print/document_output.h"
#include "print/print_order.h"
#include "print/print_wait.h"
#include "print/printer_jobs_instance.h"
#include "print/run_printing.h"
#include "print/sleep.h"
#include "word/cls_word_doc.h"

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;
using printtest::FakeJobSource;
using printtest::FakeQueue;
using printtest::job;

const std::string kName = "001002000031GN";
const std::string kFile = kName + ".docx";

class PrintStepTest : public testsupport::AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    out_ = dir_.path() / "out";
    program_ = dir_.path() / "prog";
    fs::create_directories(program_ / "Templates");
    settings().set(app::kDataFilesPrint, "1");
    ASSERT_TRUE(startLog(out_));
    docx::test::TemplateParts parts;
    parts.body = docx::test::para("Geländebogen");
    docx::test::writeFile(program_ / "Templates/TemplateBogenV2GN.dotx",
                          docx::test::buildTemplate(parts));
    previousSleep_ = print::installSleep([this](uint32_t ms) {
      pauses_.push_back(ms);
      if (!script_.empty()) {
        queue_->jobs = script_.front();
        script_.pop_front();
      }
    });
    word::clsWordDoc::setPrinter([this](const fs::path& document, std::string&) {
      printed_.push_back(document);
      // Shows whether the document is saved again after printing.
      if (removeWhenPrinted_) fs::remove(document);
      return true;
    });
  }
  void TearDown() override {
    word::clsWordDoc::setPrinter({});
    print::installPdfCopies({});
    print::installSleep(previousSleep_);
    print::releasePrinterJobs();
    AppFixture::TearDown();
  }

  void createMonitor() {
    const std::string device = queue_->device;
    ASSERT_TRUE(print::createPrinterJobs(std::make_unique<FakeJobSource>(queue_), &device));
  }

  // One document cycle; answers the message list.
  std::vector<std::string> makeDocument() {
    std::vector<std::string> messages;
    word::clsWordDoc doc;
    EXPECT_EQ(doc.CreateWordApplication(), 100);
    EXPECT_EQ(doc.OpenWordDokument(kName, program_.string(), messages, 12, false, ""), 100);
    doc.CloseWordDokument();
    doc.DeleteWordApplication();
    return messages;
  }

  fs::path out_, program_;
  std::shared_ptr<FakeQueue> queue_ = std::make_shared<FakeQueue>();
  std::deque<std::vector<print::SpoolerJob>> script_;
  std::vector<uint32_t> pauses_;
  std::vector<fs::path> printed_;
  bool removeWhenPrinted_ = false;
  print::SleepFunction previousSleep_;
};

TEST_F(PrintStepTest, monitor_livesWhilePrintingIsOnAndLogsItsDevice) {
  settings().set(app::kDataFilesPrint, "0");
  const std::string device = queue_->device;
  EXPECT_FALSE(print::createPrinterJobs(std::make_unique<FakeJobSource>(queue_), &device));
  EXPECT_EQ(print::g_PrinterJobs(), nullptr);
  {
    settings().set(app::kDataFilesPrint, "1");
    print::PrinterJobsScope scope(std::make_unique<FakeJobSource>(queue_), &device);
    EXPECT_TRUE(scope.active());
    ASSERT_NE(print::g_PrinterJobs(), nullptr);
    EXPECT_EQ(print::g_PrinterJobs()->DeviceName(), "Buero-Drucker");
    EXPECT_THAT(logLines(out_).back(),
                HasSubstr("Drucker: Form_Load: Druckerdevice: Buero-Drucker"));
  }
  EXPECT_EQ(print::g_PrinterJobs(), nullptr);
}

TEST_F(PrintStepTest, blockingStep_servesEventsUntilItReturns) {
  const int before = ui().eventPumps;
  EXPECT_EQ(print::whileServingEvents([] {
              std::this_thread::sleep_for(std::chrono::milliseconds(200));
              return 7;
            }),
            7);
  EXPECT_GE(ui().eventPumps - before, 5);
  EXPECT_THROW(print::whileServingEvents([]() -> int { throw std::runtime_error("x"); }),
               std::runtime_error);
  // Every step runs on the same kept thread, not the caller's, also after a step that threw: a
  // count kept by the thread goes on from step to step and leaves the caller's alone.
  const auto countOnThisThread = [] {
    thread_local int steps = 0;
    return ++steps;
  };
  const int first = print::whileServingEvents(countOnThisThread);
  EXPECT_EQ(print::whileServingEvents(countOnThisThread), first + 1);
  EXPECT_EQ(countOnThisThread(), 1);
}

TEST_F(PrintStepTest, close_jobInQueue_waitsUntilItLeavesThenPausesAndSavesAgain) {
  createMonitor();
  const std::string title = "Quelbrix - " + kFile;
  queue_->jobs = {job(12, "anderes.pdf", 500), job(13, title, 9000, 2)};
  script_ = {{job(13, title, 4000, 1)}, {}};
  const int pumpsBefore = ui().eventPumps;
  removeWhenPrinted_ = true;

  const auto messages = makeDocument();

  ASSERT_EQ(printed_.size(), 1u);
  EXPECT_EQ(printed_[0], out_ / "GN" / kFile);
  // Two passes find the job, the third does not; each pass pauses, then the closing pause.
  EXPECT_EQ(pauses_, (std::vector<uint32_t>{400, 400, 400, 800}));
  // Each pause serves the events, and so do the saves (as often as they take 10 ms).
  EXPECT_GE(ui().eventPumps - pumpsBefore, 5);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(fs::exists(out_ / "GN" / kFile)) << "not saved again after printing";
  EXPECT_TRUE(ui().boxes.empty());
}

// A job that does not leave the queue: the wait ends at the user's cancel (before the first
// pass or while waiting), on a stopped printer and at the time limit, without a further pause,
// and the message file names the job.
struct EarlyEnd {
  const char* name;
  int cancelAfter;  // the user cancels after this many pauses; -1: never
  print::PrinterState state;
  std::chrono::milliseconds limit;
  const char* reason;
};

void PrintTo(const EarlyEnd& c, std::ostream* os) {
  *os << c.name;
}

class PrintWaitEndTest : public PrintStepTest, public ::testing::WithParamInterface<EarlyEnd> {};

TEST_P(PrintWaitEndTest, close_jobStaysInQueue_leavesWaitAndNamesTheJob) {
  const EarlyEnd& c = GetParam();
  createMonitor();
  const std::string title = "Quelbrix - " + kFile;
  queue_->jobs = {job(13, title, 9000, 2)};
  queue_->state = c.state;
  script_ = {queue_->jobs, queue_->jobs};
  const auto cancel = [&] { return c.cancelAfter >= 0 && pauses_.size() >= size_t(c.cancelAfter); };
  const auto previous = print::installPrintWaitRules({cancel, c.limit, {}});

  const auto messages = makeDocument();
  print::installPrintWaitRules(previous);

  std::vector<uint32_t> pauses(size_t(std::max(c.cancelAfter, 0)), 400);
  pauses.push_back(800);
  EXPECT_EQ(pauses_, pauses) << "an early end pauses only after printing";
  const std::string expected = "Der Druckauftrag 13 (" + title +
                               ") hat die Warteschlange des Druckers Buero-Drucker nicht "
                               "verlassen: " +
                               c.reason;
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], expected);
  EXPECT_THAT(logLines(out_).back(), HasSubstr("CloseWordDokument: Fehler! " + expected));
}

constexpr auto kLimit = print::kDefaultPrintWaitLimit;
INSTANTIATE_TEST_SUITE_P(
    Ends, PrintWaitEndTest,
    ::testing::Values(
        EarlyEnd("cancel", 0, print::PrinterState(), kLimit,
                 "Der Lauf wurde abgebrochen; er bleibt in der Warteschlange."),
        EarlyEnd("cancelWhileWaiting", 2, print::PrinterState(), kLimit,
                 "Der Lauf wurde abgebrochen; er bleibt in der Warteschlange."),
        EarlyEnd("paused", -1, print::PrinterState(true, "paused"), kLimit,
                 "Der Drucker ist angehalten (paused); der Auftrag wird gedruckt, sobald der "
                 "Drucker fortfährt."),
        EarlyEnd("offline", -1, print::PrinterState(true, ""), kLimit,
                 "Der Drucker ist angehalten; der Auftrag wird gedruckt, sobald der Drucker "
                 "fortfährt."),
        EarlyEnd("timeLimit", -1, print::PrinterState(), std::chrono::milliseconds(0),
                 "Er war nach 0 Sekunden noch nicht gedruckt; er bleibt in der Warteschlange.")),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintStepTest, close_noJobOfThisDocument_pausesOnceAndFinishes) {
  // Without a monitor; then with jobs that are not this document's: the name must stand
  // behind a prefix (a title that is only the name is another program's).
  makeDocument();
  createMonitor();
  queue_->jobs = {job(20, kFile, 100), job(21, "Quelbrix - 001002000032GN.docx", 100)};
  makeDocument();
  EXPECT_EQ(printed_.size(), 2u);
  EXPECT_EQ(pauses_, (std::vector<uint32_t>{400, 800, 400, 800}));
}

// A run's printing while its workers finish their units out of order: the printing thread hands
// the documents to the printer in the order of the units (within a unit, of the documents),
// waits for each and pauses, and a failure reaches its document's messages when the run ends.
// Once the user has cancelled, a document not yet handed over is named and not printed.
TEST_F(PrintStepTest, order_unitsDoneOutOfOrder_printsInSelectionOrder) {
  createMonitor();
  std::vector<std::string> submitted;  // by the printing thread
  std::atomic<int> handedOver{0};
  print::PrintOrder order(
      [&](const fs::path& document, fs::path& pdf, std::string&) {
        pdf = dir_.path() / (document.filename().string() + ".pdf");
        testsupport::writeFile(pdf, "%PDF-");
        return true;
      },
      [&](const fs::path& pdf, const fs::path& document, std::string& reason) {
        EXPECT_TRUE(fs::exists(pdf));
        submitted.push_back(document.filename().string());
        ++handedOver;
        reason = "Der Drucker lehnt ab.";
        return document.filename() == "c1" ? 0 : static_cast<int>(submitted.size());
      });
  std::vector<std::string> messages[3];
  auto unit = [&](std::size_t u, std::vector<std::string> names) {
    const print::PrintUnit scope(u);
    for (const auto& name : names) {
      std::string reason;
      EXPECT_TRUE(order.add(dir_.path() / name, &messages[u], reason)) << reason;
    }
  };
  EXPECT_EQ(print::PrintOrder::running(), nullptr);
  order.beginRun(app::g_Debug());
  EXPECT_EQ(print::PrintOrder::running(), &order);
  unit(1, {"b1", "b2"});
  // The printer waits for unit 0, however long it takes.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(handedOver, 0);
  std::thread([&] { unit(0, {"a1"}); }).join();
  unit(2, {"c1"});
  EXPECT_FALSE(order.finishRun());
  EXPECT_EQ(print::PrintOrder::running(), nullptr);
  EXPECT_EQ(submitted, (std::vector<std::string>{"a1", "b1", "b2", "c1"}));
  EXPECT_EQ(pauses_, (std::vector<uint32_t>{400, 800, 400, 800, 400, 800}));
  EXPECT_TRUE(messages[0].empty() && messages[1].empty());
  const std::string refused = "Das Dokument " + (dir_.path() / "c1").string() +
                              " konnte nicht gedruckt werden: Der " + "Drucker lehnt ab.";
  EXPECT_EQ(messages[2], std::vector<std::string>{refused});
  EXPECT_THAT(logLines(out_).back(), HasSubstr("CloseWordDokument: Fehler! " + refused));
  EXPECT_FALSE(fs::exists(dir_.path() / "c1.pdf"));

  const auto previous =
      print::installPrintWaitRules({[] { return true; }, print::kDefaultPrintWaitLimit, {}});
  order.beginRun(app::g_Debug());
  unit(0, {"d1"});
  EXPECT_TRUE(order.finishRun());
  print::installPrintWaitRules(previous);
  EXPECT_EQ(submitted.size(), 4u);
  EXPECT_EQ(messages[0], std::vector<std::string>{"Das Dokument " + (dir_.path() / "d1").string() +
                                                  " wurde nicht gedruckt: Der Lauf wurde "
                                                  "abgebrochen."});
  EXPECT_FALSE(fs::exists(dir_.path() / "d1.pdf"));
}

// With printing off the PDF copy is still made.
TEST_F(PrintStepTest, close_printingOffOrEmpty_neitherPrintsNorPausesButCopiesPdf) {
  int copies = 0;
  print::installPdfCopies([&](const fs::path&, std::string&) { return ++copies > 0; });
  for (const char* value : {"0", "", "1 "}) {
    settings().set(app::kDataFilesPrint, value);
    makeDocument();
  }
  EXPECT_TRUE(printed_.empty());
  EXPECT_TRUE(pauses_.empty());
  EXPECT_EQ(copies, 3);
}

// Without LibreOffice, or on a monitor without a printer, output fails before the printer; the
// failed print is listed and logged, but neither waited for nor followed by a second save.
TEST_F(PrintStepTest, output_noLibreOfficeOrPrinter_failsWithReasonBeforeThePrinter) {
  print::DocumentOutput output(
      std::make_unique<print::LibreOfficeConverter>(dir_.path() / "kein-soffice"));
  createMonitor();
  word::clsWordDoc::setPrinter([&](const fs::path& document, std::string& reason) {
    const bool printed = output.print(document, reason);
    fs::remove(document);  // shows whether the document is saved again
    return printed;
  });
  print::installPdfCopies(output.pdfHook());

  const auto messages = makeDocument();

  ASSERT_EQ(messages.size(), 2u);
  const std::string path = (out_ / "GN" / kFile).string();
  const std::string missing = "LibreOffice wurde unter " + (dir_.path() / "kein-soffice").string() +
                              " nicht gefunden; ohne LibreOffice können die Dokumente nicht in "
                              "PDF umgewandelt und gedruckt werden.";
  EXPECT_EQ(messages[0], "Das Dokument " + path + " konnte nicht gedruckt werden: " + missing);
  EXPECT_EQ(messages[1],
            "Von dem Dokument " + path + " konnte keine PDF-Datei geschrieben werden: " + missing);
  const auto log = logLines(out_);
  EXPECT_THAT(log[log.size() - 2], HasSubstr("CloseWordDokument: Fehler! " + messages[0]));
  EXPECT_THAT(log.back(), HasSubstr("CloseWordDokument: Fehler! " + messages[1]));
  EXPECT_EQ(output.printed(), 0);
  EXPECT_TRUE(pauses_.empty());
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(fs::exists(out_ / "GN" / (kName + ".pdf")));

  const std::string none;
  ASSERT_TRUE(print::createPrinterJobs(std::make_unique<FakeJobSource>(queue_), &none));
  std::string reason;
  EXPECT_FALSE(output.print(dir_.path() / "a.docx", reason));
  EXPECT_EQ(reason, "Es ist kein Standarddrucker eingerichtet.");
}

TEST_F(PrintStepTest, runPrinting_pdfWithoutLibreOffice_warnsAndRemovesHookAtEnd) {
  settings().set(app::kDataFilesPrint, "0");
  {
    print::RunPrinting run(true,
                           std::make_unique<print::LibreOfficeConverter>(dir_.path() / "kein"));
    EXPECT_FALSE(run.printing());
    EXPECT_FALSE(run.printHook());
    EXPECT_TRUE(print::pdfCopies());
    ASSERT_EQ(run.warnings().size(), 1u);
    EXPECT_THAT(run.warnings()[0], HasSubstr("LibreOffice wurde unter"));
    EXPECT_EQ(run.printSummary(), "");
  }
  EXPECT_FALSE(print::pdfCopies());
  EXPECT_EQ(print::g_PrinterJobs(), nullptr);
  print::RunPrinting nothing(false);
  EXPECT_TRUE(nothing.warnings().empty());
  EXPECT_FALSE(print::pdfCopies());
}

}  // namespace
