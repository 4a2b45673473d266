// `quelbrix sheets|report --pdf` and `--print` as a user runs them, on a small sample database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "app/resource_folder.h"
#include "print/child_process.h"
#include "print/cups_job_source.h"
#include "print/pdf_join.h"
#include "print/printer_jobs_instance.h"
#include "real_chain.h"
#include "support/cli_fixture.h"

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

class CliPrintTest : public testsupport::CliFixture {
 protected:
  void SetUp() override {
    app::setResourceFolder(QUELBRIX_TEST_RESOURCES);
    fs::create_directories(dir_.path() / "out");
  }
  void TearDown() override { app::setResourceFolder({}); }

  // A sample database small enough that a run makes a handful of complex sheets.
  std::vector<std::string> sample() {
    const fs::path db = dir_.path() / "db";
    EXPECT_EQ(run({"sample-data", db.string(), "--polygons", "6", "--seed", "3"}), 0) << err_.str();
    return folders(db, db / "shape/ffh_flaechen.shp");
  }
  std::vector<fs::path> documents(const std::string& type) const {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(dir_.path() / "out" / type))
      if (e.path().extension() == ".docx") found.push_back(e.path());
    return found;
  }
};

// The pages and text of PDFs one after the other, as a reader of a joined file would see them.
std::pair<int, std::string> pagesAndText(const std::vector<fs::path>& files) {
  std::pair<int, std::string> all;
  for (const fs::path& file : files) {
    std::string reason;
    const int pages = print::pdfPageCount(file, reason);
    EXPECT_GT(pages, 0) << reason;
    all.first += pages;
    all.second += printtest::pdfText(file);
  }
  return all;
}

// `report --all --pdf --dossier` on two workers: a PDF beside every document and per polygon one
// PDF-Mappe holding the pages of its cover sheet, then of its reports in the order of the run. A
// polygon whose report cannot be written (open in another program) gets its dossier with the
// rest, and the message file says what is missing.
TEST_F(CliPrintTest, report_dossier_joinsEachPolygonsDocumentsAndNamesTheMissing) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  const std::vector<std::string> db = sample();
  std::vector<std::string> args = db;
  for (const char* a : {"report", "--all", "--dossier", "--pdf", "--jobs", "2"}) args.push_back(a);
  ASSERT_EQ(run(args), 0) << err_.str() << out_.str();

  const fs::path report = dir_.path() / "out" / "Report";
  const auto docs = documents("Report");
  std::map<std::string, std::vector<fs::path>> byPolygon;  // code -> its documents' PDF copies
  for (const fs::path& doc : docs)
    byPolygon[doc.filename().string().substr(0, 11)].push_back(
        fs::path(doc).replace_extension(".pdf"));
  ASSERT_GE(byPolygon.size(), 2u);
  std::string chosen;  // a polygon with two reports or more
  for (auto& [code, pdfs] : byPolygon) {
    // The cover sheet comes first; the reports follow in sheet order, which their names keep.
    std::ranges::sort(pdfs, {}, [](const fs::path& pdf) {
      return std::pair(!pdf.stem().string().ends_with("Deckblatt"), pdf);
    });
    const auto dossier = pagesAndText({report / (code + "Dossier.pdf")});
    EXPECT_EQ(dossier, pagesAndText(pdfs)) << code;
    EXPECT_THAT(dossier.second, HasSubstr("Erfassungseinheiten des Polygons")) << code;
    if (pdfs.size() >= 3) chosen = code;
  }
  EXPECT_THAT(out_.str(),
              HasSubstr(std::to_string(docs.size()) + " PDF-Datei(en) geschrieben.\n" +
                        std::to_string(byPolygon.size()) + " PDF-Mappe(n) geschrieben."));
  // Nothing was printed: the stored setting is off and --print was not given.
  EXPECT_EQ(out_.str().find("gedruckt"), std::string::npos);
  EXPECT_EQ(print::g_PrinterJobs(), nullptr);
  EXPECT_THAT(printtest::leftBehind(getpid()), ::testing::IsEmpty());
  ASSERT_FALSE(chosen.empty());

  // Again for the chosen polygon alone, with its last report open elsewhere.
  std::vector<fs::path> parts = byPolygon[chosen];
  const std::string locked = parts.back().stem().string();
  parts.pop_back();
  testsupport::writeFile(report / (".~lock." + locked + ".docx#"), "");
  args = db;
  for (const std::string& a : std::vector<std::string>{
           "report", "--areas", chosen.substr(0, 3), "--subareas", chosen.substr(3, 3),
           "--polygons", chosen.substr(6, 5), "--dossier"})
    args.push_back(a);
  EXPECT_EQ(run(args), 1) << err_.str() << out_.str();
  const fs::path dossier = report / (chosen + "Dossier.pdf");
  EXPECT_EQ(pagesAndText({dossier}), pagesAndText(parts));
  EXPECT_THAT(testsupport::readFile(dir_.path() / "out" / "MessageReport.txt"),
              HasSubstr("Die PDF-Mappe " + dossier.string() + " ist unvollständig: " + locked +
                        " fehlt (nicht erstellt)."));
  EXPECT_THAT(printtest::leftBehind(getpid()), ::testing::IsEmpty());
}

// sheets --print --pdf on two workers: every document comes out of the default (PDF) printer
// once, under its job title, in the order of the selection, and a readable PDF lies beside it,
// whose text is the document's.
TEST_F(CliPrintTest, sheets_printPdf_printsEveryDocumentInOrderAndWritesItsPdf) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  PRINTTEST_REQUIRE(printtest::pdfPrinterMissing());
  auto args = sample();
  args.push_back("--log");
  for (const char* a : {"sheets", "--types", "K,GN", "--print", "--pdf", "--yes", "--jobs", "2"})
    args.push_back(a);
  const std::set<fs::path> before = printtest::cupsPdfFiles();

  ASSERT_EQ(run(args), 0) << err_.str() << out_.str();
  auto docs = documents("K");
  for (const fs::path& doc : documents("GN")) docs.push_back(doc);
  ASSERT_GE(docs.size(), 3u);
  // The selection's order: by sheet key (code, then type).
  std::ranges::sort(docs, {}, [](const fs::path& doc) { return doc.filename(); });
  // Other tests may print at the same time, so only files named after this run's documents
  // count; cups-pdf names them "Quelbrix_-_<file>-job_<id>.pdf".
  std::vector<fs::path> printed;
  int lastJob = 0;
  for (const fs::path& doc : docs) {
    const std::string title = "Quelbrix_-_" + doc.filename().string();
    int copies = 0;
    for (const fs::path& file : printtest::cupsPdfFiles()) {
      const std::string name = file.filename().string();
      if (before.count(file) || name.rfind(title, 0) != 0) continue;
      ++copies;
      printed.push_back(file);
      const int job = std::stoi(name.substr(name.rfind("job_") + 4));
      EXPECT_GT(job, lastJob) << title << " was printed out of order";
      lastJob = job;
    }
    EXPECT_EQ(copies, 1) << title;
    const fs::path pdf = fs::path(doc).replace_extension(".pdf");
    ASSERT_TRUE(printtest::looksLikePdf(pdf)) << pdf;
    EXPECT_THAT(printtest::pdfText(pdf),
                HasSubstr("Bogentyp " + doc.parent_path().filename().string()));
  }
  for (const fs::path& file : printed) fs::remove(file);
  const std::string n = std::to_string(docs.size());
  EXPECT_THAT(out_.str(), HasSubstr(n + " Dokument(e) auf " + print::defaultPrinterName() +
                                    " gedruckt.\n" + n + " PDF-Datei(en) geschrieben."));
  const std::string log = testsupport::readFile(dir_.path() / "out" / "FehlerReport2.log");
  EXPECT_THAT(log, HasSubstr("Drucker: Form_Load: Druckerdevice: " + print::defaultPrinterName()));
  EXPECT_EQ(print::g_PrinterJobs(), nullptr);
}

// `quelbrix sheets --print` as a user runs it on a printer whose queue never empties: paused
// (the wait ends at once), holding its jobs with a short --print-timeout, and holding its jobs
// until Ctrl-C. Each run ends, exits 1 and names every job left in the queue in the message
// file.
struct StuckQueue {
  const char* name;
  printtest::TestQueue::Kind kind;
  std::vector<std::string> options;
  bool interrupt;
  const char* reason;
};

void PrintTo(const StuckQueue& c, std::ostream* os) {
  *os << c.name;
}

class CliStuckQueueTest : public CliPrintTest, public ::testing::WithParamInterface<StuckQueue> {};

TEST_P(CliStuckQueueTest, sheets_print_endsExitsOneAndNamesTheJobs) {
  const StuckQueue& c = GetParam();
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  printtest::TestQueue queue(c.kind);
  PRINTTEST_REQUIRE(queue.missing());
  std::vector<std::string> argv = {(fs::path(QUELBRIX_TEST_RESOURCES) / "quelbrix").string()};
  for (const auto& a : sample()) argv.push_back(a);
  for (const char* a : {"sheets", "--types", "K", "--print", "--yes"}) argv.push_back(a);
  for (const auto& a : c.options) argv.push_back(a);

  // The queue is the run's default printer through the environment, as lp would take it.
  setenv("PRINTER", queue.name().c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir_.path() / "config").c_str(), 1);
  std::string reason;
  const fs::path output = dir_.path() / "output.txt";
  print::ChildProcess run = print::ChildProcess::start(argv, output, reason);
  unsetenv("PRINTER");
  unsetenv("XDG_CONFIG_HOME");
  ASSERT_TRUE(run.started()) << reason;

  auto asked = std::chrono::steady_clock::now();
  if (c.interrupt) {
    // Ctrl-C once the first document waits in the queue.
    while (queue.jobs().empty() && run.running())
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    asked = std::chrono::steady_clock::now();
    kill(run.pid(), SIGINT);
  }
  const int pid = run.pid();
  const std::optional<int> status = run.wait(std::chrono::seconds(120));
  const auto took = std::chrono::steady_clock::now() - asked;
  const std::string printed = testsupport::readFile(output);
  ASSERT_TRUE(status.has_value()) << "the run did not end\n" << printed;
  EXPECT_EQ(*status, 1) << printed;
  // Neither a LibreOffice nor a profile outlives the run, however it ended.
  EXPECT_THAT(printtest::leftBehind(pid), ::testing::IsEmpty());
  if (c.interrupt) {
    EXPECT_LT(took, std::chrono::seconds(20));
    std::cout << "[ measured ] the run ended "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
              << " ms after Ctrl-C\n";
    EXPECT_THAT(printed, HasSubstr("Der Lauf wurde abgebrochen."));
  }

  const std::vector<int> left = queue.jobs();
  ASSERT_FALSE(left.empty());
  // Handed over is not printed: the end line counts the jobs left in the queue.
  const std::string count = std::to_string(left.size());
  EXPECT_NE(printed.find(count + " Dokument(e) an den Drucker " + queue.name() +
                         " übergeben: 0 gedruckt, " + count + " noch in der Warteschlange."),
            std::string::npos)
      << printed;
  const std::string messages = testsupport::readFile(dir_.path() / "out" / "MessageReport.txt");
  for (int id : left)
    EXPECT_THAT(messages, HasSubstr("Der Druckauftrag " + std::to_string(id) + " (Quelbrix - "));
  EXPECT_THAT(messages, HasSubstr(") hat die Warteschlange des Druckers " + queue.name() +
                                  " nicht verlassen: " + c.reason));
}

using Kind = printtest::TestQueue::Kind;
INSTANTIATE_TEST_SUITE_P(
    Queues, CliStuckQueueTest,
    ::testing::Values(StuckQueue("paused", Kind::Paused, {}, false,
                                 "Der Drucker ist angehalten (paused)"),
                      StuckQueue("timeLimit", Kind::Holding, {"--print-timeout", "1"}, false,
                                 "Er war nach 1 Sekunde noch nicht gedruckt"),
                      StuckQueue("ctrlC", Kind::Holding, {}, true, "Der Lauf wurde abgebrochen")),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
