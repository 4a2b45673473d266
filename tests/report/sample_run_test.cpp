// A report run over the sample survey database and its shapefile, as the demo makes it.

#include <set>

#include "report/map_index_cache.h"
#include "report/report_format.h"
#include "report/report_run.h"
#include "report_fixture.h"
#include "tools/sample_database.h"
#include "tools/sample_shapefile.h"

namespace {

class SampleRunTest : public reporttest::ReportFixture {};

TEST_F(SampleRunTest, Run_EverySheetOfEveryPolygonReported) {
  sample::SampleOptions options;
  options.polygons = 8;
  options.seed = 11;
  const auto result = sample::writeSampleDatabase(dir_.path() / "db", options);
  std::vector<std::string> polygons;
  for (const auto& p : result.polygons) polygons.push_back(p.code);
  sample::writeSampleShapefile(shapePath(), polygons, options.seed);
  writeStandardTemplates(allTypes());
  connect();

  const auto selection = report::selectPolygons(*db_, {});
  ASSERT_EQ(selection.status, 100);
  const std::set<std::string> selected(selection.codes.begin(), selection.codes.end());
  for (const auto& code : polygons) EXPECT_TRUE(selected.count(code)) << code;

  std::atomic<bool> cancel{false};
  const long builds = report::partExtentBuilds();
  const auto s = report::runReports(*db_, selection.codes, false, cancel);
  EXPECT_FALSE(s.aborted) << s.error;
  EXPECT_EQ(s.polygons, polygons.size());
  EXPECT_EQ(s.coverSheets, polygons.size());
  EXPECT_EQ(s.reports, static_cast<std::size_t>(result.sheets));
  EXPECT_TRUE(s.failed.empty());
  EXPECT_TRUE(s.failedCoverSheets.empty());
  EXPECT_TRUE(s.messages.empty());
  EXPECT_EQ(report::partExtentBuilds() - builds, 1);
  for (const auto& line : log()) {
    EXPECT_EQ(line.find("Nicht abgefangener Fehler"), std::string::npos) << line;
    EXPECT_EQ(line.find("konnte nicht erstellt werden"), std::string::npos) << line;
  }

  // Each cover sheet names its polygon and its area, and lists at least one survey unit.
  for (const auto& code : polygons) {
    read(reportFile(code + "Deckblatt"));
    EXPECT_EQ(mark("GBCODE"), code.substr(0, 3) + " " + code.substr(3, 3) + " " + code.substr(6));
    EXPECT_NE(mark("HA"), "~");
    EXPECT_GE(doc_->tables().rowCount(2), 4);
  }
}

}  // namespace
