// A report run over the sample survey database and its shapefile, as the demo makes it.

#include <set>

#include "report/map_index_cache.h"
#include "report/mod_ffh_report_bogen.h"
#include "report/report_format.h"
#include "report/report_run.h"
#include "report_fixture.h"
#include "sheets/clean_copy_run.h"
#include "tools/sample_database.h"
#include "tools/sample_shapefile.h"
#include "word/run_context.h"

namespace {

class SampleRunTest : public reporttest::ReportFixture {
 protected:
  // Writes a sample survey of n polygons with its shapefile and connects it.
  sample::SampleResult writeSample(int n, uint32_t seed) {
    sample::SampleOptions options;
    options.polygons = n;
    options.seed = seed;
    const auto result = sample::writeSampleDatabase(dir_.path() / "db", options);
    for (const auto& p : result.polygons) polygons_.push_back(p.code);
    sample::writeSampleShapefile(shapePath(), polygons_, seed);
    connect();
    return result;
  }

  std::vector<std::string> polygons_;
};

#ifdef QUELBRIX_BUILT_TEMPLATES
class BuiltTemplatesTest : public SampleRunTest {
 protected:
  void SetUp() override {
    SampleRunTest::SetUp();
    const std::filesystem::path built = QUELBRIX_BUILT_TEMPLATES;
    ASSERT_TRUE(std::filesystem::is_directory(built)) << built;
    for (const auto& entry : std::filesystem::directory_iterator(built))
      std::filesystem::copy_file(entry.path(),
                                 dir_.path() / "prog" / "Templates" / entry.path().filename(),
                                 std::filesystem::copy_options::overwrite_existing);
  }
};

TEST_F(BuiltTemplatesTest, CleanCopyRun_CoverSheetBesideEachSheet) {
  writeSample(3, 9);
  data::TextSet keys;
  data::Recordset rows;
  ASSERT_TRUE(db_->GetRecordset(0, "SELECT GBCODE, GBBOGEN FROM GBogen", rows));
  for (; !rows.isEOF(); rows.MoveNext()) {
    const std::string key = rows.value(0).toText() + rows.value(1).toText();
    keys.add(key, key);
  }
  sheets::RunCallbacks callbacks;
  callbacks.coverSheet = report::coverSheetInFolder();
  std::atomic<bool> cancel{false};
  const auto s =
      sheets::runCleanCopies(word::programContext(*db_), keys, false, true, cancel, callbacks);
  EXPECT_TRUE(s.failed.empty());
  for (const auto& [key, item] : keys) {
    const std::string type = key.substr(12);
    EXPECT_TRUE(std::filesystem::exists(out() / type / (key + ".docx"))) << key;
    EXPECT_TRUE(std::filesystem::exists(out() / type / (key.substr(0, 11) + "Deckblatt.docx")))
        << key;
  }
  EXPECT_FALSE(std::filesystem::exists(out() / "Report"));
}

// Every sheet of every selected polygon is reported with the built templates, every bookmark
// the report writes is found, and the run stays linear in the survey's size.
TEST_F(BuiltTemplatesTest, Run_EverySheetReportedAndEveryBookmarkThere) {
  const auto result = writeSample(12, 5);
  const auto selection = report::selectPolygons(*db_, {});
  ASSERT_EQ(selection.status, 100);
  EXPECT_EQ(std::set<std::string>(selection.codes.begin(), selection.codes.end()),
            std::set<std::string>(polygons_.begin(), polygons_.end()));
  std::atomic<bool> cancel{false};
  const long builds = report::partExtentBuilds();
  const auto scans = db_->fullScanSteps();
  const auto s = report::runReports(word::programContext(*db_), selection.codes, false, cancel);
  EXPECT_EQ(db_->fullScanSteps(), scans);  // every look-up goes through an index
  EXPECT_EQ(report::partExtentBuilds() - builds, 1);
  EXPECT_FALSE(s.aborted) << s.error;
  EXPECT_EQ(s.coverSheets, polygons_.size());
  EXPECT_EQ(s.reports, static_cast<std::size_t>(result.sheets));
  EXPECT_TRUE(s.failed.empty() && s.failedCoverSheets.empty() && s.messages.empty());
  for (const auto& line : log())
    for (const char* fault : {"existiert nicht", "konnte nicht", "Nicht abgefangener Fehler"})
      EXPECT_EQ(line.find(fault), std::string::npos) << line;
  for (const auto& code : polygons_) {
    read(reportFile(code + "Deckblatt"));
    EXPECT_EQ(mark("GBCODE"), code.substr(0, 3) + " " + code.substr(3, 3) + " " + code.substr(6));
    EXPECT_NE(mark("HA"), "~");
    EXPECT_GE(doc_->tables().rowCount(2), 4);
  }
  data::Recordset rows;
  ASSERT_TRUE(db_->GetRecordset(
      0, "SELECT GBCODE, GBBOGEN FROM GBogen WHERE GBPOLYGON='" + polygons_.front() + "'", rows));
  read(reportFile(rows.value(0).toText() + rows.value(1).toText() + "-Report"));
  EXPECT_EQ(mark("GBCODE"), rows.value(0).toText());
  EXPECT_NE(mark("ANMERKUNGEN"), "");
}
#endif

}  // namespace
