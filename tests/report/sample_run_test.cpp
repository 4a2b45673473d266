// A report run over the sample survey database and its shapefile with the built templates, as
// the demo makes it.

#include <set>

#include "report/report_run.h"
#include "report_fixture.h"
#include "sample/sample_database.h"
#include "sample/sample_shapefile.h"
#include "word/part_extent_cache.h"
#include "word/run_context.h"

namespace {

#ifdef QUELBRIX_BUILT_TEMPLATES
using BuiltTemplatesTest = reporttest::ReportFixture;

// Every sheet of every selected polygon is reported with the built templates, every bookmark
// the report writes is found, and the run stays linear in the survey's size.
TEST_F(BuiltTemplatesTest, Run_EverySheetReportedAndEveryBookmarkThere) {
  for (const auto& entry : std::filesystem::directory_iterator(QUELBRIX_BUILT_TEMPLATES))
    std::filesystem::copy_file(entry.path(),
                               dir_.path() / "prog" / "Templates" / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing);
  sample::SampleOptions options;
  options.polygons = 12;
  options.seed = 5;
  const auto result = sample::writeSampleDatabase(dir_.path() / "db", options);
  std::vector<std::string> polygons;
  for (const auto& p : result.polygons) polygons.push_back(p.code);
  sample::writeSampleShapefile(shapePath(), polygons, options.seed);
  connect();

  const auto selection = report::selectPolygons(*db_, {});
  ASSERT_EQ(selection.status, 100);
  EXPECT_EQ(std::set<std::string>(selection.codes.begin(), selection.codes.end()),
            std::set<std::string>(polygons.begin(), polygons.end()));
  std::atomic<bool> cancel{false};
  const long builds = word::partExtentBuilds();
  const auto scans = db_->fullScanSteps();
  const auto s = report::runReports(word::programContext(*db_), selection.codes, false, cancel);
  EXPECT_EQ(db_->fullScanSteps(), scans);  // every look-up goes through an index
  EXPECT_EQ(word::partExtentBuilds() - builds, 1);
  EXPECT_FALSE(s.aborted) << s.error;
  EXPECT_EQ(s.coverSheets, polygons.size());
  EXPECT_EQ(s.reports, static_cast<std::size_t>(result.sheets));
  EXPECT_TRUE(s.failed.empty() && s.failedCoverSheets.empty() && s.messages.empty());
  for (const auto& line : log())
    for (const char* fault : {"existiert nicht", "konnte nicht", "Nicht abgefangener Fehler"})
      EXPECT_EQ(line.find(fault), std::string::npos) << line;
  for (const auto& code : polygons) {
    read(reportFile(code + "Deckblatt"));
    EXPECT_EQ(mark("GBCODE"), code.substr(0, 3) + " " + code.substr(3, 3) + " " + code.substr(6));
    EXPECT_NE(mark("HA"), "~");
    EXPECT_GE(doc_->tables().rowCount(2), 4);
  }
  data::Recordset rows;
  ASSERT_TRUE(db_->GetRecordset(
      0, "SELECT GBCODE, GBBOGEN FROM GBogen WHERE GBPOLYGON='" + polygons.front() + "'", rows));
  read(reportFile(rows.value(0).toText() + rows.value(1).toText() + "-Report"));
  EXPECT_EQ(mark("GBCODE"), rows.value(0).toText());
  EXPECT_NE(mark("ANMERKUNGEN"), "");
}
#endif

}  // namespace
