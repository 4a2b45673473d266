// Cover sheets from the sample's shapefile in the forms GIS programs export it and in the
// folders users keep it in: each gives complete cover sheets (map, area, the surveyed polygon
// on top with every part marked) and leaves the folder as it was.

#include <gmock/gmock.h>

#include <atomic>
#include <cstdlib>
#include <iterator>
#include <sstream>

#include "data/ffh_lookups.h"
#include "data/schema/sheet_types.h"
#include "print/child_process.h"
#include "print/libre_office.h"
#include "report/mod_ffh_report_bogen.h"
#include "report/polygon_map.h"
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
                      FormCase{"PlantedSymlink", {}, "shape", false, true},
                      FormCase{"Utm", {false, false, false, false, 25832}, "shape"},
                      FormCase{"Wgs84Degrees", {false, false, false, false, 4326}, "shape"}),
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

// The same survey exported in each coordinate system gives the maps of the metric original:
// the same scale label, the polygon as large within 2 %. Degrees without ".prj" and a damaged
// ".prj" are named once per run, in a box and in the message file.
TEST_F(CoverSheetMissing, SameSurveyInEverySystem_MapsAlikeTheMetricOriginal) {
  writeSample({"Original", {}, "shape"});
  const std::vector<std::string> polygons = {codes_[0], codes_[5]};
  auto maps = [&](const std::string& name, int crs, const char* prj) {
    const fs::path shp = folder_ / name / "ffh_flaechen.shp";
    fs::create_directories(shp.parent_path());
    sample::ShapefileForm form;
    form.crs = crs;
    sample::writeSampleShapefile(shp, codes_, 3, form);
    if (prj && !*prj) fs::remove(fs::path(shp).replace_extension(".prj"));
    if (prj && *prj) testsupport::writeFile(fs::path(shp).replace_extension(".prj"), prj);
    settings().set(app::kShapeFilesPfad, shp.string());
    ui().boxes.clear();
    std::atomic<bool> cancel{false};
    const auto summary = report::runReports(word::programContext(*db_), polygons, false, cancel);
    EXPECT_EQ(summary.coverSheets, 2u) << name;
    std::vector<MapGroup> out;
    std::vector<double> areas;  // as the cover sheet computes it without AREA
    for (const auto& code : polygons) {
      out.push_back(mapOf(reportFile(code + "Deckblatt")));
      const auto map = report::buildPolygonMap(shp.string(), report::shapeRecordOf(code, *db_),
                                               word::programContext(*db_), nullptr, false);
      areas.push_back(map ? map->area : 0);
    }
    return std::tuple{out, summary.notes, areas};
  };
  const auto [original, none, originalAreas] = maps("metres", 0, nullptr);
  EXPECT_TRUE(none.empty());
  struct Case {
    const char* name;
    int crs;
    const char* prj;   // nullptr: the sample's; "": none; else written instead
    const char* note;  // in the box and the message file, or nullptr
  };
  for (const Case& c :
       {Case{"GaussKrueger", 31467, nullptr, nullptr}, Case{"Utm", 25832, nullptr, nullptr},
        Case{"Wgs84", 4326, nullptr, nullptr},
        Case{"DegreesWithoutPrj", 4326, "",
             "hat keine .prj-Datei. Die Koordinaten der Shape-Datei sehen nach Grad aus: die "
             "Karten, Maßstäbe und berechneten Flächen nehmen WGS 84 an und rechnen in WGS 84 / "
             "UTM zone 32N (EPSG:32632)."},
        Case{"DamagedPrj", 0, "PROJCS[\"DHDN_3_Degree_Gauss_Zone_3\",GEOGCS[",
             "ffh_flaechen.prj ist nicht lesbar, PROJ meldet: „"}}) {
    const auto [got, notes, areas] = maps(c.name, c.crs, c.prj);
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(areas[i] / originalAreas[i], 1, 0.01) << c.name << " " << i;
      EXPECT_EQ(got[i].labels, original[i].labels) << c.name << " " << i;
      EXPECT_NEAR(got[i].markedWidth / original[i].markedWidth, 1, 0.02) << c.name << " " << i;
      EXPECT_NEAR(got[i].markedHeight / original[i].markedHeight, 1, 0.02) << c.name << " " << i;
    }
    if (!c.note) {
      EXPECT_TRUE(notes.empty()) << c.name << ": " << notes.front();
      EXPECT_TRUE(ui().boxes.empty()) << c.name << ": " << ui().boxes.front().text;
      continue;
    }
    ASSERT_EQ(notes.size(), 1u) << c.name;
    EXPECT_THAT(notes[0], HasSubstr(c.note));
    EXPECT_THAT(testsupport::readFile(out() / "MessageReport.txt"),
                HasSubstr("Hinweis: " + notes[0]));
    ASSERT_EQ(ui().boxes.size(), 2u) << c.name;  // said once, then where the message file lies
    EXPECT_EQ(ui().boxes[0].text, notes[0]);
  }
}

// The densest cover of a survey of 10,000 polygons: the two parts of sample polygon 5 lie at
// both ends of the survey, so its map shows most of it. The cover stays small, the neighbours
// share a few thin-lined shapes, the polygon comes last with its strong outline in clearings,
// and rendered it stands out: where it lies the page is darker than around it.
TEST_F(CoverSheetMissing, DenseSurvey_SmallCoverWithThePolygonOnTop) {
  writeSample({"Dense", {}, "shape"});
  std::vector<std::string> all = codes_;
  for (std::size_t i = all.size(); i < 10000; ++i)
    all.push_back("998" + std::to_string(10000000 + i));
  sample::writeSampleShapefile(folder_ / "ffh_flaechen.shp", all, 3);
  std::string types;
  data::FfhReportGetBogentypen(codes_[5], types, *db_);
  ASSERT_EQ(report::FfhReportGenerateDeckblatt(codes_[5], types, word::programContext(*db_),
                                               messages_, false, ""),
            100);
  const fs::path cover = reportFile(codes_[5] + "Deckblatt");
  EXPECT_LT(fs::file_size(cover), 200u * 1024);
  const MapGroup map = mapOf(cover);
  EXPECT_GT(map.rings, 6000);
  EXPECT_LT(map.shapes, 2 * 250 + 6);
  EXPECT_EQ(map.patterned, (std::vector<int>{map.shapes - 3, map.shapes - 2}));
  // Thin neighbours, then a clearing around each of the polygon's two tiny parts.
  for (int k = 2; k < map.shapes - 5; ++k) EXPECT_EQ(map.lineWidths[k - 1], 0.25) << k;
  for (int k = map.shapes - 5; k < map.shapes - 1; ++k) EXPECT_EQ(map.lineWidths[k - 1], 1.5) << k;

  print::LibreOfficeConverter office;
  std::string reason;
  if (!office.available(reason) || print::findProgram({"pdftoppm"}).empty())
    GTEST_SKIP() << "rendering needs LibreOffice and pdftoppm: " << reason;
  fs::path pdf;
  ASSERT_TRUE(office.toPdf(cover, dir_.path(), pdf, reason)) << reason;
  constexpr double kDpi = 288;  // 4 pixels per point
  const fs::path image = dir_.path() / "page";
  ASSERT_EQ(std::system(("pdftoppm -gray -singlefile -r 288 '" + pdf.string() + "' '" +
                         image.string() + "'")
                            .c_str()),
            0);
  // A binary greymap: "P5", width, height, 255, then one byte per pixel.
  std::istringstream in(testsupport::readFile(image.string() + ".pgm"));
  std::string magic;
  int width = 0, height = 0, white = 0;
  in >> magic >> width >> height >> white;
  in.get();
  std::string pixels((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(pixels.size(), std::size_t(width) * height);
  // Mean brightness of a box given in points, growing by `by` points on every side.
  auto mean = [&](double by) {
    const int x0 = int((map.markedLeft - by) * kDpi / 72),
              x1 = int((map.markedLeft + map.markedWidth + by) * kDpi / 72);
    const int y0 = int((map.markedTop - by) * kDpi / 72),
              y1 = int((map.markedTop + map.markedHeight + by) * kDpi / 72);
    double sum = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        sum += static_cast<unsigned char>(pixels[std::size_t(y) * width + x]);
    return std::pair{sum, double(x1 - x0) * (y1 - y0)};
  };
  const auto [inside, insideCount] = mean(0);
  const auto [around, aroundCount] = mean(3 * map.markedWidth);
  const double insideMean = inside / insideCount;
  const double aroundMean = (around - inside) / (aroundCount - insideCount);
  EXPECT_LT(insideMean, aroundMean - 60) << insideMean << " " << aroundMean;
}

}  // namespace
