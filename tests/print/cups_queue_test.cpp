// The monitor and the print step against a real CUPS: a name that is no printer, and documents
// printed on a cups-pdf default destination, each seen in the queue and waited for until it
// has left it.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/app_fixture.h"
#include "print/cups_job_source.h"
#include "print/document_output.h"
#include "print/printer_jobs_instance.h"
#include "real_chain.h"
#include "word/cls_word_doc.h"

namespace {

namespace fs = std::filesystem;

// Reads the real queue and keeps every snapshot the monitor was given.
class RecordingCupsSource : public print::JobSource {
 public:
  explicit RecordingCupsSource(std::vector<std::vector<print::SpoolerJob>>& snapshots)
      : snapshots_(snapshots) {}
  std::optional<std::vector<print::SpoolerJob>> readJobs(const std::string& device) override {
    auto jobs = cups_.readJobs(device);
    snapshots_.push_back(jobs.value_or(std::vector<print::SpoolerJob>{}));
    return jobs;
  }

 private:
  print::CupsJobSource cups_;
  std::vector<std::vector<print::SpoolerJob>>& snapshots_;
};

bool holds(const std::vector<print::SpoolerJob>& snapshot, int id) {
  return std::any_of(snapshot.begin(), snapshot.end(), [&](const auto& j) { return j.id == id; });
}

TEST(CupsQueueTest, noPrinterHasNoQueue_pausedQueueIsStoppedTheDefaultIsNot) {
  print::CupsJobSource source;
  EXPECT_FALSE(source.readJobs("Quelbrix-Kein-Drucker-4711").has_value());
  EXPECT_FALSE(source.readJobs("").has_value());
  printtest::TestQueue paused(printtest::TestQueue::Kind::Paused);
  PRINTTEST_REQUIRE(paused.missing());
  const print::PrinterState state = source.readPrinterState(paused.name());
  EXPECT_TRUE(state.stopped);
  EXPECT_EQ(state.reasons, "paused");
  EXPECT_FALSE(source.readPrinterState(print::defaultPrinterName()).stopped);
  EXPECT_FALSE(source.readPrinterState("Quelbrix-Kein-Drucker-4711").stopped);
}

class CupsPrintTest : public testsupport::AppFixture {
 protected:
  void TearDown() override {
    word::clsWordDoc::setPrinter({});
    print::releasePrinterJobs();
    AppFixture::TearDown();
  }
};

TEST_F(CupsPrintTest, close_printingOn_eachDocumentPassesThroughTheQueue) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  PRINTTEST_REQUIRE(printtest::pdfPrinterMissing());
  const fs::path out = dir_.path() / "out";
  settings().set(app::kDataFilesPrint, "1");
  ASSERT_TRUE(startLog(out));

  std::vector<std::vector<print::SpoolerJob>> snapshots;
  ASSERT_TRUE(print::createPrinterJobs(std::make_unique<RecordingCupsSource>(snapshots)));
  const std::string device = print::g_PrinterJobs()->DeviceName();
  EXPECT_EQ(device, print::defaultPrinterName());
  print::DocumentOutput output;
  word::clsWordDoc::setPrinter(output.printHook());

  for (const char* code : {"999001000011", "999001000021"}) {
    const std::string name = std::string(code) + "K";
    SCOPED_TRACE(name);
    std::vector<std::string> messages;
    word::clsWordDoc doc;
    ASSERT_EQ(doc.CreateWordApplication(), 100);
    ASSERT_EQ(doc.OpenWordDokument(name, QUELBRIX_TEST_RESOURCES, messages, 12, false, ""), 100);
    const std::size_t before = snapshots.size();
    const int jobBefore = output.lastJobId();
    doc.CloseWordDokument();
    doc.DeleteWordApplication();
    ASSERT_TRUE(messages.empty()) << messages.front();
    const int job = output.lastJobId();
    ASSERT_NE(job, jobBefore);

    // The monitor saw the job under its title, and the wait ended only once it had left.
    bool seen = false;
    for (std::size_t i = before; i < snapshots.size(); ++i)
      for (const auto& j : snapshots[i])
        if (j.id == job) {
          seen = true;
          EXPECT_EQ(j.document, "Quelbrix - " + name + ".docx");
        }
    EXPECT_TRUE(seen) << "the job " << job << " was never seen in the queue";
    ASSERT_GT(snapshots.size(), before);
    EXPECT_FALSE(holds(snapshots.back(), job));
    EXPECT_FALSE(holds(
        print::CupsJobSource().readJobs(device).value_or(std::vector<print::SpoolerJob>{}), job));

    // And the PDF printer wrote it.
    const auto written = printtest::cupsPdfOutput(job, 10);
    ASSERT_TRUE(written.has_value()) << "no cups-pdf file for job " << job;
    EXPECT_TRUE(printtest::looksLikePdf(*written));
    fs::remove(*written);
  }
  EXPECT_EQ(output.printed(), 2);
  EXPECT_EQ(output.converter()->instanceStarts(), 1);
}

}  // namespace
