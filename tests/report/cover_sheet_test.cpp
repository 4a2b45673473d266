// Cover sheets: area, survey units and the polygon map, read back from the saved document.

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>

#include "data/ffh_lookups.h"
#include "report/mod_ffh_report_bogen.h"
#include "report_fixture.h"
#include "shape/c_shape_file.h"
#include "shape/shape_test_support.h"
#include "support/temp_dir.h"
#include "word/cls_word_doc.h"
#include "word/part_extent_cache.h"
#include "word/run_context.h"

using ::testing::HasSubstr;

namespace {

using reporttest::ShapePolygon;
using reporttest::square;

using reporttest::MapGroup;
using reporttest::mapOf;

// Overwrites 4 little-endian bytes at offset `into` of record `record`'s content in the .shp.
void damageRecord(const std::filesystem::path& shp, int32_t record, size_t into, int32_t value) {
  const std::string index =
      shapetest::readFile(std::filesystem::path(shp).replace_extension(".shx"));
  const size_t at = 100 + static_cast<size_t>(record - 1) * 8;
  auto byte = [&](size_t i) { return static_cast<size_t>(static_cast<unsigned char>(index[i])); };
  const size_t words = byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
  shapetest::patch(shp, words * 2 + 8 + into, shapetest::le32(value));
}

class CoverSheetTest : public reporttest::ReportFixture {
 protected:
  void SetUp() override {
    ReportFixture::SetUp();
    writeStandardTemplates();
    writeDatabase(
        {{"GBogen",
          {{{"GBCODE", "123001000011"},
            {"GBBOGEN", "GN"},
            {"GBPOLYGON", "12300100001"},
            {"GBBIOTOP", "35111"},
            {"GBBIOTOP3", "35113"},
            {"GBANTEIL", "40"}},
           {{"GBCODE", "123001000012"},
            {"GBBOGEN", "GT"},
            {"GBPOLYGON", "12300100001"},
            {"GBBIOTOP2", "35112"},
            {"GBBIOTOP4", "35114"}},
           {{"GBCODE", "123001000013"},
            {"GBBOGEN", "F"},
            {"GBPOLYGON", "12300100001"},
            {"GBBIOTOP", "61000"}},
           {{"GBCODE", "123001000021"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "12300100002"}},
           {{"GBCODE", "123001000051"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "12300100005"}},
           {{"GBCODE", "123001000071"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "12300100007"}}}}});
    // Record 1, the surveyed polygon: three parts spanning 0..600 across and 0..200 up.
    // Record 2 shares its right edge; record 3 touches its extent but lies wholly outside the
    // frame; record 4 lies far away; records 5 and 6 touch it on the left and at the bottom;
    // code 7 occurs twice (records 7 and 8).
    writeShapefile(
        {{"12300100001", "500", {square(0, 0, 100), square(200, 0, 50), square(500, 100, 100)}},
         {"12300100002", "125", {square(600, 0, 100)}},
         {"12300100003", "", {{{-2000, 300}, {300, -2000}, {-2000, -2000}, {-2000, 300}}}},
         {"12300100004", "1000", {square(5000, 5000, 10)}},
         {"12300100005", "", {square(-100, 0, 100)}},
         {"12300100006", "", {square(0, -100, 100)}},
         {"12300100007", "10000", {square(9000, 9000, 10)}},
         {"12300100007", "123000", {square(7000, 7000, 10), square(7100, 7000, 10)}}});
  }

  // Makes the cover sheet; complete says whether it should come out with map, area and units.
  std::filesystem::path cover(const std::string& code, const std::string& types = "",
                              bool complete = true) {
    std::string list = types;
    if (list.empty()) data::FfhReportGetBogentypen(code, list, *db_);
    EXPECT_EQ(report::FfhReportGenerateDeckblatt(code, list, word::programContext(*db_), messages_,
                                                 false, ""),
              complete ? 100 : 101);
    const auto file = reportFile(code + "Deckblatt");
    EXPECT_TRUE(std::filesystem::exists(file));
    return file;
  }
};

TEST_F(CoverSheetTest, Map_GroupOfThreeHundredPointsWithOneShapePerDrawnPart) {
  const auto file = cover("12300100001");
  const MapGroup map = mapOf(file);
  ASSERT_TRUE(map.found);
  // Frame, the neighbours 2, 5 and 6 (clipped), then the three parts of the surveyed polygon
  // above them, each grey, then scale label and bar; the neighbour outside the frame and the
  // distant one add nothing.
  EXPECT_EQ(map.shapes, 1 + 3 + 3 + 2);
  EXPECT_EQ(map.patterned, (std::vector<int>{5, 6, 7}));
  EXPECT_NEAR(map.top, 100, 0.01);
  // The test template's page is 11906 twips wide.
  EXPECT_TRUE(map.aligned || std::abs(map.left + map.width / 2 - 11906 / 20.0 / 2) < 0.01)
      << map.left << " " << map.width;
  EXPECT_THAT(map.labels, HasSubstr("100 m"));
  read(file);
  EXPECT_EQ(mark("HA"), "0,05");
  EXPECT_TRUE(logged("D3 FfhReportGenerateDeckblatt: Datei 12300100001 generiert."));
  EXPECT_TRUE(messages_.empty());
  // The same map when the run keeps no points and reads each neighbour from the file.
  word::forgetPartExtents();
  word::setPointsKept(0);
  const MapGroup read = mapOf(cover("12300100001"));
  word::setPointsKept(word::defaultPointsKept());
  EXPECT_EQ(std::tie(read.shapes, read.rings, read.patterned, read.markedWidth),
            std::tie(map.shapes, map.rings, map.patterned, map.markedWidth));
}

// The map is 300 pt on its longer side with the scale label below it at its full 20 pt, and
// the map itself keeps its proportions, for wide, tall, small and very flat polygons.
TEST_F(CoverSheetTest, Map_LabelKeepsItsHeightWhateverTheShape) {
  struct Case {
    double width, height;
  };
  for (const Case c : {Case{600, 200}, Case{200, 3000}, Case{1, 1}, Case{20000, 50}}) {
    // Away from the origin: a 1 x 1 polygon there would look like degrees.
    const double x = 1000;
    writeShapefile(
        {{"12300100001",
          "500",
          {{{x, 0}, {x, c.height}, {x + c.width, c.height}, {x + c.width, 0}, {x, 0}}}}});
    const MapGroup map = mapOf(cover("12300100001"));
    const double frameWidth = c.width + 150, frameHeight = c.height + 150;
    const double scale = map.width / frameWidth;  // points per map unit
    EXPECT_NEAR(std::max(map.width, map.height), 300, 0.01) << c.width << "x" << c.height;
    EXPECT_NEAR(map.labelHeight, 20, 0.01) << c.width << "x" << c.height;
    // Label top 12 units below the frame, then the label's 20 pt.
    EXPECT_NEAR(map.height, (frameHeight + 12) * scale + 20, 0.01) << c.width << "x" << c.height;
  }
}

// A polygon with tens of thousands of neighbours still gets its map: neighbours too small to
// show on the page are left out, the rest share a few shapes with thin outlines, and the
// surveyed polygon comes on top with its strong outline.
TEST_F(CoverSheetTest, Map_VeryManyNeighboursStayDrawable) {
  std::vector<ShapePolygon> polygons = {{"12300100001", "500", {square(0, 0, 100000)}}};
  for (int k = 0; k < 34000; ++k) {
    const double x = 500.0 * (k % 200), y = 500.0 * (k / 200);
    polygons.push_back({"12300100002", "", {square(x, y, k % 34 == 0 ? 5 : 4999)}});
  }
  writeShapefile(polygons);
  const MapGroup map = mapOf(cover("12300100001"));
  EXPECT_EQ(map.shapes, 1 + 250 + 1 + 2);
  EXPECT_EQ(map.patterned, std::vector<int>{map.shapes - 2});
  EXPECT_EQ(map.rings, 1 + 33000 + 1 + 1);  // the 1,000 small ones left out
  EXPECT_EQ(map.lineWidths[1], 0.25);
  EXPECT_EQ(map.lineWidths[map.shapes - 3], 1.5);
}

// Where the attribute table has no area, the cover shows the one the map was drawn from,
// holes subtracted, and the message file says so: once for a missing column, else per polygon.
TEST_F(CoverSheetTest, Area_ComputedFromTheGeometryWhereTheTableHasNone) {
  auto hole = square(25, 25, 50);
  std::reverse(hole.begin(), hole.end());
  for (int decimals : {2, -1}) {
    writeShapefile({{"12300100001", "", {square(0, 0, 100), hole}}}, decimals);
    read(cover("12300100001"));
    EXPECT_EQ(mark("HA"), "0,75");
  }
  EXPECT_THAT(db_->notes(), ::testing::ElementsAre(HasSubstr("Das Polygon 12300100001 hat in der "
                                                             "Attributtabelle der Shape-Datei "
                                                             "keine Fläche (AREA)"),
                                                   HasSubstr("hat keine Spalte AREA")));
}

TEST_F(CoverSheetTest, SurveyUnits_GroupedCodeAndBlocksOfListedTypes) {
  const auto file = cover("12300100001", "GN,GT");
  read(file);
  EXPECT_EQ(mark("GBCODE"), "123 001 00001");
  auto& t = doc_->tables();
  ASSERT_EQ(t.rowCount(2), 1 + 2 * 3);  // the F sheet is not of a listed type
  EXPECT_EQ(t.cellText(2, 2, 1).substr(0, 26), "Bogen Nr.: 123 001 0000 11");
  EXPECT_EQ(t.cellText(2, 3, 1), "Biotoptyp: 35111");
  EXPECT_EQ(t.cellText(2, 3, 2), " Nebencode(s)\r ---, 35113");
  EXPECT_EQ(t.cellText(2, 3, 3), " Flächenanteil: 40%");
  EXPECT_EQ(t.cellText(2, 5, 1).substr(0, 26), "Bogen Nr.: 123 001 0000 12");
  EXPECT_EQ(t.cellText(2, 6, 1), "Biotoptyp: ---");
  EXPECT_EQ(t.cellText(2, 6, 2), " Nebencode(s)\r 35112, 35114");
  EXPECT_EQ(t.cellText(2, 6, 3), " Flächenanteil: --");
}

TEST_F(CoverSheetTest, SurveyUnits_FailedQueryIsLoggedAndSheetStillStored) {
  // An empty type list leaves nothing between the brackets: the query fails.
  std::string none;
  EXPECT_EQ(report::FfhReportGenerateDeckblatt("12300100001", none, word::programContext(*db_),
                                               messages_, false, ""),
            101);
  EXPECT_EQ(word::g_WordDoc().lastOutcome().missing,
            std::vector<std::string>{"Erfassungseinheiten"});
  EXPECT_TRUE(logged(
      "D2 FfhReportErfassungseinheiten: Fehler! Die SQL-Anfrage (SELECT DISTINCT * FROM gbogen "
      "WHERE ((GBPOLYGON='12300100001') AND ())) auf die Tabelle mit dem Index 0 schlug "
      "fehlt."));
  EXPECT_TRUE(logged(
      "D2 Fehler! Die Erfassungseinheiten konnte im Deckblatt nicht korrekt gesetzt werden."));
  read(reportFile("12300100001Deckblatt"));
  EXPECT_EQ(mark("HA"), "0,05");
}

TEST_F(CoverSheetTest, Map_UnreadableNeighboursAreLoggedOnceAndLeftOut) {
  damageRecord(shapePath(), 5, 0, 0);         // shape type 0: a null record, which is legal
  damageRecord(shapePath(), 6, 36, 1000000);  // more parts than the record holds
  // Both covers are complete: a neighbour that cannot be drawn costs its own map only.
  const auto file = cover("12300100001");
  EXPECT_EQ(mapOf(file).shapes, 1 + 3 + 1 + 2);
  read(file);
  EXPECT_EQ(mark("HA"), "0,05");
  cover("12300100002");
  EXPECT_EQ(loggedStarting("D2 CollectNeighbourPolygons: Fehler! Der Datensatz 6 "), 1);
  EXPECT_EQ(word::mapNotes().size(), 1u);
  EXPECT_THAT(word::mapNotes()[0], HasSubstr("Der Datensatz 6 der Shape-Datei"));

  // The null record's own cover sheet has no map and no area, but is stored.
  const auto own = cover("12300100005", "", false);
  EXPECT_FALSE(mapOf(own).found);
  EXPECT_TRUE(logged("D2 Fehler! Das Shape-Polygon konnte nicht erzeugt werden."));
  EXPECT_EQ(word::g_WordDoc().lastOutcome().missing,
            (std::vector<std::string>{"Karte und Fläche"}));
  EXPECT_TRUE(logged(
      "D2 ffhReportSetPolygon: Fehler! Der Datensatz 5 der Shape-Datei ist leer (eine Nullform "
      "ohne Geometrie)."));
  read(own);
  EXPECT_EQ(mark("HA"), "~");
}

// A shapefile of a DOS-era program: its three parts named in capitals.
TEST_F(CoverSheetTest, Map_ShapefileNamedInCapitals) {
  const auto folder = shapePath().parent_path();
  for (const char* ext : {"shp", "shx", "dbf"}) {
    std::string upper = ext;
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    std::filesystem::rename(folder / ("polygone." + std::string(ext)), folder / ("FFH." + upper));
  }
  settings().set(app::kShapeFilesPfad, (folder / "FFH.SHP").string());
  const auto file = cover("12300100001");
  EXPECT_EQ(mapOf(file).shapes, 1 + 3 + 3 + 2);
  read(file);
  EXPECT_EQ(mark("HA"), "0,05");
}

// A polygon whose record cannot be drawn: the log says what is wrong with the record.
TEST_F(CoverSheetTest, Map_OwnRecordMissingOfOtherTypeOrDamagedIsNamed) {
  const auto shx = std::filesystem::path(shapePath()).replace_extension(".shx");
  std::filesystem::resize_file(shx, std::filesystem::file_size(shx) - 8);  // record 8 gone
  damageRecord(shapePath(), 6, 0, 3);         // a line in a polygon file
  damageRecord(shapePath(), 2, 36, 1000000);  // more parts than the record holds
  const struct {
    const char* code;
    const char* problem;
  } cases[] = {
      {"12300100007", "Der Datensatz 8 fehlt in der Shape-Datei, sie enthält nur 7 Datensätze."},
      {"12300100006", "Der Datensatz 6 der Shape-Datei ist kein Polygon (Formtyp 3)."},
      {"12300100002", "Der Datensatz 2 der Shape-Datei ist nicht lesbar: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_FALSE(mapOf(cover(c.code, "", false)).found);
    EXPECT_EQ(loggedStarting(std::string("D2 ffhReportSetPolygon: Fehler! ") + c.problem), 1);
  }
}

TEST_F(CoverSheetTest, Map_ShapefileReadOncePerFileNotPerCoverSheet) {
  const long before = word::partExtentBuilds();
  cover("12300100001");
  cover("12300100002");
  // Of a code stored twice the later record counts: two parts, so frame, two parts and the
  // scale bar, and its area.
  const auto twice = cover("12300100007");
  EXPECT_EQ(word::partExtentBuilds() - before, 1);
  EXPECT_EQ(mapOf(twice).shapes, 1 + 2 + 2);
  read(twice);
  EXPECT_EQ(mark("HA"), "12,3");
  // A rewritten shapefile is read again, and the maps follow the new geometry.
  writeShapefile({{"12300100001", "500", {square(0, 0, 100)}}});
  const auto file = cover("12300100001");
  EXPECT_EQ(word::partExtentBuilds() - before, 2);
  EXPECT_EQ(mapOf(file).shapes, 1 + 1 + 2);
}

TEST_F(CoverSheetTest, Deckblatt_EngineErrorIsCaughtAndLaterDocumentsStillWork) {
  // A cover-sheet template without the survey-unit table makes the listing fail inside the
  // engine; the cover sheet catches it and the next document can still be made.
  writeTemplate("TemplateDatenreportV2Deckblatt.dotx",
                "<w:p>" + reporttest::bookmark(1, "GBCODE", "x") + "</w:p><w:p>" +
                    reporttest::bookmark(2, "HA", "~") + "</w:p>");
  std::string types = "GN,GT";
  EXPECT_EQ(report::FfhReportGenerateDeckblatt("12300100001", types, word::programContext(*db_),
                                               messages_, false, ""),
            101);
  EXPECT_EQ(loggedStarting("D2 Fehler! Nicht abgefangener Fehler in FfhReportGenerateDeckblatt."),
            1);
  read(reportFile("12300100001Deckblatt"));
  EXPECT_EQ(mark("HA"), "0,05");  // stored with what was filled
  writeStandardTemplates();
  cover("12300100002");
}

}  // namespace
