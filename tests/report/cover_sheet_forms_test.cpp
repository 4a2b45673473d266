// Cover sheets from the sample's shapefile in the forms GIS programs export it and in the
// folders users keep it in: each gives complete cover sheets (map, area, the surveyed polygon
// on top with every part marked) and leaves the folder as it was.

#include <gmock/gmock.h>

#include <atomic>

#include "data/ffh_lookups.h"
#include "data/schema/sheet_types.h"
#include "report/mod_ffh_report_bogen.h"
#include "report/report_run.h"
#include "report_fixture.h"
#include "sample/sample_database.h"
#include "sample/sample_shapefile.h"
#include "support/temp_dir.h"
#include "word/run_context.h"

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;
using reporttest::MapGroup;
using reporttest::mapOf;

struct FormCase {
  const char* name;
  sample::ShapefileForm form;
  const char* folder;  // of the shapefile, below the test folder
  bool readOnly = false;
  bool plantedLink = false;  // a symlink named as the old temporary copy points elsewhere
};

class CoverSheetForms : public reporttest::ReportFixture,
                        public ::testing::WithParamInterface<FormCase> {
 protected:
  void TearDown() override {
    if (!folder_.empty()) fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
    ReportFixture::TearDown();
  }

  // The sample survey of 12 polygons with its shapefile in the case's form and folder.
  void writeSample(const FormCase& c, const std::vector<std::string>& tableCodes = {}) {
    sample::SampleOptions options;
    options.polygons = 12;
    options.seed = 3;
    for (const auto& p : sample::writeSampleDatabase(dir_.path() / "db", options).polygons)
      codes_.push_back(p.code);
    folder_ = dir_.path() / c.folder;
    fs::create_directories(folder_);
    const fs::path shp = folder_ / "ffh_flaechen.shp";
    sample::writeSampleShapefile(shp, tableCodes.empty() ? codes_ : tableCodes, options.seed,
                                 c.form);
    settings().set(app::kShapeFilesPfad, shp.string());
    if (c.plantedLink) {
      testsupport::writeFile(dir_.path() / "victim.dbf", "keep");
      fs::create_symlink(dir_.path() / "victim.dbf", folder_ / "xxx_temp.dbf");
    }
    if (c.readOnly)
      fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec,
                      fs::perm_options::replace);
    connect();
    writeStandardTemplates(data::kSheetTypes);
  }

  fs::path folder_;
  std::vector<std::string> codes_;
};

TEST_P(CoverSheetForms, CompleteCoverSheetsAndFolderUntouched) {
  const FormCase& c = GetParam();
  writeSample(c);
  const std::string before = testsupport::folderListing(folder_);
  // The sample's polygon 0 has a hole that polygon 1 fills as an island; polygon 5 has two
  // parts. Positions count the group's shapes; the last two are the scale label and bar.
  struct Expect {
    std::size_t polygon;
    int marked;   // grey shapes, the parts of the surveyed polygon
    int fromEnd;  // position of the first grey shape, counted back from the bar
  };
  for (const Expect& e : {Expect{0, 1, 4}, Expect{1, 1, 2}, Expect{5, 2, 3}}) {
    const std::string& code = codes_[e.polygon];
    std::string types;
    ASSERT_EQ(data::FfhReportGetBogentypen(code, types, *db_), 100);
    EXPECT_EQ(report::FfhReportGenerateDeckblatt(code, types, word::programContext(*db_), messages_,
                                                 false, ""),
              100)
        << code;
    const MapGroup map = mapOf(reportFile(code + "Deckblatt"));
    ASSERT_TRUE(map.found) << code;
    ASSERT_EQ(static_cast<int>(map.patterned.size()), e.marked) << code;
    // Nothing drawn after the surveyed polygon but its holes and the islands in them.
    EXPECT_EQ(map.patterned.front(), map.shapes - e.fromEnd) << code;
    read(reportFile(code + "Deckblatt"));
    EXPECT_NE(mark("HA"), "~") << code;
    EXPECT_NE(mark("HA"), "0") << code;
  }
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_EQ(testsupport::folderListing(folder_), before);
  if (c.plantedLink) {
    EXPECT_EQ(testsupport::readFile(dir_.path() / "victim.dbf"), "keep");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapefiles, CoverSheetForms,
    ::testing::Values(FormCase{"Sample", {}, "shape"},
                      FormCase{"NetworkShare", {}, "gvfs/smb-share:server=nas,share=gis"},
                      FormCase{"ReadOnlyFolder", {}, "shape", true},
                      FormCase{"PolygonZ", {false, true, false}, "shape"},
                      FormCase{"NumericPolygonNr", {false, false, true}, "shape"},
                      FormCase{"IslandStoredFirst", {true, false, false}, "shape"},
                      FormCase{"PlantedSymlink", {}, "shape", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

class CoverSheetMissing : public CoverSheetForms {};

TEST_F(CoverSheetMissing, PolygonMissingFromTable_NamedInMessagesAndCountedIncomplete) {
  writeSample({"Missing", {}, "shape"}, {});
  // Rewrite the table with polygon 3 under another number: its geometry stays, its row is gone.
  std::vector<std::string> table = codes_;
  table[3] = "99999999999";
  sample::writeSampleShapefile(folder_ / "ffh_flaechen.shp", table, 3);
  std::atomic<bool> cancel{false};
  const auto s =
      report::runReports(word::programContext(*db_), {codes_[2], codes_[3]}, false, cancel);
  ASSERT_EQ(s.incomplete.size(), 1u);
  EXPECT_EQ(s.incomplete[0].name, codes_[3] + "Deckblatt");
  EXPECT_EQ(s.coverSheets, 1u);
  ASSERT_EQ(s.messages.size(), 1u);
  EXPECT_THAT(s.messages[0], HasSubstr(codes_[3] +
                                       "Deckblatt.docx ist unvollständig (Karte und Fläche): "
                                       "Polygon " +
                                       codes_[3] + " fehlt in der Attributtabelle"));
  EXPECT_THAT(testsupport::readFile(out() / "MessageReport.txt"), HasSubstr(s.messages[0]));
  EXPECT_FALSE(mapOf(reportFile(codes_[3] + "Deckblatt")).found);
  EXPECT_TRUE(
      logged("D2 Fehler! Der Shape-Eintrag in der shape.dbf-Datei konnte nicht gefunden werden."));
}

}  // namespace
