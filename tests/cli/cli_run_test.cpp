// The generating commands as a user runs them, on a sample database with the real templates.
#include <gtest/gtest.h>

#include <sstream>

#include "app/resource_folder.h"
#include "cli/cli_app.h"
#include "support/temp_dir.h"
#include "tools/sample_database.h"

namespace {

namespace fs = std::filesystem;

class CliRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.path() / "res" / "data");
    fs::copy(QUELBRIX_TEMPLATE_DIR, dir_.path() / "res" / "Templates");
    sample::writeUmlautTable(dir_.path() / "res" / "data" / "umlaute2.dbf");
    app::setResourceFolder(dir_.path() / "res");
    fs::create_directories(dir_.path() / "out");
    ASSERT_EQ(run({"sample-data", (dir_.path() / "db").string(), "--polygons", "12"}), 0);
  }
  void TearDown() override { app::setResourceFolder({}); }

  int run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return cli::run(args, std::make_unique<app::MemorySettings>(), out_, err_);
  }
  std::vector<std::string> with(std::vector<std::string> tail) const {
    std::vector<std::string> args = {"--db",    (dir_.path() / "db").string(),
                                     "--shape", (dir_.path() / "db/shape/ffh_flaechen.shp").string(),
                                     "--out",   (dir_.path() / "out").string()};
    args.insert(args.end(), tail.begin(), tail.end());
    return args;
  }
  std::size_t files(const fs::path& folder, const std::string& suffix) const {
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder))
      n += e.path().string().size() >= suffix.size() &&
           e.path().string().compare(e.path().string().size() - suffix.size(), suffix.size(), suffix) == 0;
    return n;
  }

  testsupport::TempDir dir_;
  std::ostringstream out_, err_;
};

TEST_F(CliRunTest, Sheets_WithCoverPutsCoverSheetBesideEachSheet) {
  ASSERT_EQ(run(with({"sheets", "--types", "K", "--cover", "--yes"})), 0) << err_.str();
  EXPECT_NE(out_.str().find("Geländebögen ausgewählt."), std::string::npos);
  const auto k = dir_.path() / "out" / "K";
  ASSERT_TRUE(fs::exists(k));
  const std::size_t sheets = files(k, "K.docx");
  EXPECT_GT(sheets, 0u);
  EXPECT_EQ(files(k, "Deckblatt.docx"), sheets);
}

TEST_F(CliRunTest, Report_AllPolygonsMakesCoverSheetsAndReports) {
  EXPECT_EQ(run(with({"report"})), 1);  // neither areas nor --all
  ASSERT_EQ(run(with({"report", "--all"})), 0) << err_.str();
  const auto report = dir_.path() / "out" / "Report";
  EXPECT_EQ(files(report, "Deckblatt.docx"), 12u);
  EXPECT_GT(files(report, "-Report.docx"), 12u);
  EXPECT_FALSE(fs::exists(dir_.path() / "out" / "MessageReport.txt"));
}

TEST_F(CliRunTest, Report_UnknownAreaIsRefused) {
  EXPECT_EQ(run(with({"report", "--areas", "999"})), 1);
  EXPECT_NE(err_.str().find("Unbekannter Wert für --areas: 999"), std::string::npos) << err_.str();
}

}  // namespace

namespace {

TEST_F(CliRunTest, Demo_WritesSampleAndEveryDocument) {
  const auto work = dir_.path() / "demo-work";
  const auto out = dir_.path() / "demo-output";
  ASSERT_EQ(run({"demo", "--work", work.string(), "--out", out.string()}), 0) << err_.str();
  EXPECT_TRUE(fs::exists(work / "survey" / "shape" / "ffh_flaechen.shp"));
  EXPECT_EQ(files(out / "Report", "Deckblatt.docx"), 60u);
  EXPECT_GT(files(out, "GN.docx"), 0u);
  EXPECT_TRUE(fs::exists(out / "FehlerReport2.log"));
  EXPECT_NE(out_.str().find("Fehlerprotokoll: " + (out / "FehlerReport2.log").string()),
            std::string::npos);
}

}  // namespace
