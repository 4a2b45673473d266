// `quelbrix sheets|report --pdf` and `--print` as a user runs them, on a small sample database.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "app/resource_folder.h"
#include "cli/cli_app.h"
#include "print/cups_job_source.h"
#include "print/printer_jobs_instance.h"
#include "real_chain.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class CliPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::setResourceFolder(QUELBRIX_TEST_RESOURCES);
    fs::create_directories(dir_.path() / "out");
  }
  void TearDown() override { app::setResourceFolder({}); }

  int run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    auto store = std::make_unique<app::MemorySettings>();
    for (const auto& [k, v] : stored_) store->set(k, v);
    return cli::run(args, std::move(store), out_, err_);
  }
  // A sample database small enough that a run makes a handful of complex sheets.
  std::vector<std::string> sample() {
    const fs::path db = dir_.path() / "db";
    EXPECT_EQ(run({"sample-data", db.string(), "--polygons", "6", "--seed", "3"}), 0) << err_.str();
    return {"--db",    db.string(),
            "--shape", (db / "shape/ffh_flaechen.shp").string(),
            "--out",   (dir_.path() / "out").string()};
  }
  std::vector<fs::path> documents(const std::string& type) const {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(dir_.path() / "out" / type))
      if (e.path().extension() == ".docx") found.push_back(e.path());
    return found;
  }

  testsupport::TempDir dir_;
  std::map<std::string, std::string> stored_;
  std::ostringstream out_, err_;
};

TEST_F(CliPrintTest, sheets_pdf_writesReadablePdfBesideEveryDocument) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  auto args = sample();
  for (const char* a : {"sheets", "--types", "K", "--pdf", "--yes"}) args.push_back(a);
  ASSERT_EQ(run(args), 0) << err_.str() << out_.str();

  const auto docs = documents("K");
  ASSERT_FALSE(docs.empty());
  for (const fs::path& doc : docs) {
    const fs::path pdf = fs::path(doc).replace_extension(".pdf");
    ASSERT_TRUE(fs::exists(pdf)) << pdf;
    EXPECT_TRUE(printtest::looksLikePdf(pdf));
    const std::string text = printtest::pdfText(pdf);
    // The sheet code stands in the document's code boxes and page header.
    if (!text.empty()) {
      EXPECT_NE(text.find("Komplexbogen"), std::string::npos) << text;
    }
  }
  EXPECT_NE(out_.str().find(std::to_string(docs.size()) + " PDF-Datei(en) geschrieben."),
            std::string::npos)
      << out_.str();
  // Nothing was printed: the stored setting is off and --print was not given.
  EXPECT_EQ(out_.str().find("gedruckt"), std::string::npos);
  EXPECT_EQ(print::g_PrinterJobs(), nullptr);
}

TEST_F(CliPrintTest, report_pdf_writesPdfOfEveryCoverSheetAndReport) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  auto args = sample();
  for (const char* a : {"report", "--all", "--pdf"}) args.push_back(a);
  ASSERT_EQ(run(args), 0) << err_.str() << out_.str();

  const auto docs = documents("Report");
  ASSERT_FALSE(docs.empty());
  bool coverSheet = false;
  for (const fs::path& doc : docs) {
    const fs::path pdf = fs::path(doc).replace_extension(".pdf");
    ASSERT_TRUE(printtest::looksLikePdf(pdf)) << pdf;
    if (doc.stem().string().ends_with("Deckblatt")) {
      coverSheet = true;
      const std::string text = printtest::pdfText(pdf);
      if (!text.empty()) {
        EXPECT_NE(text.find("Erfassungseinheiten"), std::string::npos) << text;
      }
    }
  }
  EXPECT_TRUE(coverSheet);
  EXPECT_NE(out_.str().find(std::to_string(docs.size()) + " PDF-Datei(en) geschrieben."),
            std::string::npos)
      << out_.str();
}

TEST_F(CliPrintTest, sheets_pdfWithoutLibreOffice_reportsEveryDocumentAndFinishes) {
  auto args = sample();
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  setenv("PATH", (dir_.path() / "leer").c_str(), 1);
  for (const char* a : {"sheets", "--types", "K", "--pdf", "--yes"}) args.push_back(a);
  const int status = run(args);
  setenv("PATH", saved.c_str(), 1);

  EXPECT_EQ(status, 1);
  EXPECT_NE(err_.str().find("Warnung: LibreOffice (soffice) wurde nicht gefunden"),
            std::string::npos)
      << err_.str();
  const auto docs = documents("K");
  ASSERT_FALSE(docs.empty());
  const std::string messages = testsupport::readFile(dir_.path() / "out" / "MessageReport.txt");
  for (const fs::path& doc : docs) {
    EXPECT_NE(messages.find("Von dem Dokument " + doc.string() +
                            " konnte keine PDF-Datei geschrieben werden"),
              std::string::npos)
        << messages;
    EXPECT_FALSE(fs::exists(fs::path(doc).replace_extension(".pdf")));
  }
}

TEST_F(CliPrintTest, sheets_print_printsEveryDocumentOnTheDefaultPrinter) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  PRINTTEST_REQUIRE(printtest::pdfPrinterMissing());
  auto args = sample();
  args.push_back("--log");
  for (const char* a : {"sheets", "--types", "K", "--print", "--yes"}) args.push_back(a);
  const std::set<fs::path> before = printtest::cupsPdfFiles();

  ASSERT_EQ(run(args), 0) << err_.str() << out_.str();
  const auto docs = documents("K");
  ASSERT_FALSE(docs.empty());
  // Every document came out of the PDF printer once, under its job title. Other tests may
  // print at the same time, so only files named after this run's documents count.
  std::vector<fs::path> printed;
  for (const fs::path& doc : docs) {
    const std::string title = "Quelbrix_-_" + doc.filename().string();
    int copies = 0;
    for (const fs::path& file : printtest::cupsPdfFiles()) {
      if (before.count(file) || file.filename().string().rfind(title, 0) != 0) continue;
      ++copies;
      printed.push_back(file);
    }
    EXPECT_EQ(copies, 1) << title;
  }
  for (const fs::path& file : printed) fs::remove(file);
  EXPECT_NE(out_.str().find(std::to_string(docs.size()) + " Dokument(e) gedruckt auf " +
                            print::defaultPrinterName() + "."),
            std::string::npos)
      << out_.str();
  const std::string log = testsupport::readFile(dir_.path() / "out" / "FehlerReport2.log");
  EXPECT_NE(log.find("Drucker: Form_Load: Druckerdevice: " + print::defaultPrinterName()),
            std::string::npos)
      << log;
  EXPECT_EQ(print::g_PrinterJobs(), nullptr);
}

}  // namespace
