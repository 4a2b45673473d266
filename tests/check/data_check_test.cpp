// The data check over whole sample folders: every fault `sample-data --messy` plants is found
// with its key, nothing else is called an error, and the tidy sample has no finding at all.

#include "check/data_check.h"

#include <gmock/gmock.h>

#include "check/findings_csv.h"
#include "sample/sample_database.h"
#include "sample/sample_messy.h"
#include "sample/sample_shapefile.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using check::CheckId;
using check::Finding;
using check::Severity;

// A sample folder as `quelbrix sample-data` writes it (shapefile in shape/), checked once.
struct Checked {
  testsupport::TempDir dir;
  sample::MessyResult planted;
  check::CheckResult result;

  explicit Checked(bool messy) {
    const sample::SampleResult written = sample::writeSampleDatabase(dir.path(), {});
    if (messy) planted = sample::makeMessy(dir.path());
    std::vector<std::string> codes;
    for (const auto& p : written.polygons) codes.push_back(p.code);
    const fs::path shp = dir.path() / "shape" / "ffh_flaechen.shp";
    fs::create_directories(shp.parent_path());
    sample::ShapefileForm form;
    form.nullRecord = form.faultyRecords = messy;
    sample::writeSampleShapefile(shp, codes, 1, form);
    result = check::runDataCheck({dir.path(), shp, {2024, 6, 1}});
  }
};

const Checked& messyFolder() {
  static const Checked checked(true);
  return checked;
}

struct Expected {
  CheckId check;
  std::string key;
  std::string table = "";  // "": any
  uint32_t record = 0;     // 0: any
};

std::string describe(const Expected& e) {
  return std::string(check::checkName(e.check)) + " '" + e.key + "' " + e.table + " " +
         std::to_string(e.record);
}

bool matches(const Finding& f, const Expected& e) {
  return f.check == e.check && f.key == e.key && (e.table.empty() || f.table == e.table) &&
         (e.record == 0 || f.record == e.record);
}

std::vector<Expected> plantedFaults(const sample::MessyResult& m) {
  const std::string strayCode = m.strayKey.substr(0, 12);
  std::vector<Expected> faults = {
      {CheckId::SheetType, m.unknownTypeKey},
      {CheckId::SheetTwice, m.duplicateKey},
      {CheckId::CodeAndPolygon, m.strayKey},
      {CheckId::PolygonNotInShapefile, m.strayKey},
      {CheckId::StructureRowsMissing, m.untypedKey},
      {CheckId::StructureRowsMissing, m.strayKey},  // made from a sheet of another code
      {CheckId::DateInvalid, m.badDateKey, "GBogen.dbf", m.badDateRecord},
      {CheckId::DateInFuture, m.futureDateKey, "GBogen.dbf"},
      {CheckId::RequiredField, m.emptySurveyorKey, "GBogen.dbf"},
      {CheckId::AreaUnknown, m.missingArea},
      {CheckId::HeaderCount, "", "GBogen.dbf"},
      {CheckId::HeaderCount, "", "pflsozio.dbf"},
      {CheckId::MemoFileMissing, "", "pflsozio.dbf"},
      {CheckId::TextEncoding, "", "pflsozio.dbf", 1},
      {CheckId::BiotopeUnknown, m.strayKey},
      {CheckId::HabitatUnknown, m.strayKey},
      {CheckId::PlantUnknown, strayCode, "artenbew.dbf"},
      {CheckId::MemoPointer, m.orphanCode, "anmerk.dbf", m.badMemoRecord},
      {CheckId::GeometryMissing, sample::kNullRecordPolygon},
      {CheckId::PolygonWithoutSheet, sample::kNullRecordPolygon},
      {CheckId::RingNotClosed, sample::kUnclosedRingPolygon},
      {CheckId::TooFewPoints, sample::kFewPointsPolygon},
      {CheckId::SelfIntersection, sample::kSelfIntersectingPolygon},
      {CheckId::ZeroArea, sample::kZeroAreaPolygon},
      {CheckId::DuplicatePolygon, sample::kDuplicatePolygon},
      {CheckId::RingOrientation, sample::kCounterClockwisePolygon},
      {CheckId::AreaDiffers, sample::kWrongAreaPolygon},
      {CheckId::RecordRefused, sample::kRefusedRecordPolygon},
  };
  for (const char* table : {"anmerk.dbf", "artenbew.dbf", "pfsozbew.dbf", "bgs.dbf"})
    faults.push_back({CheckId::RowWithoutSheet, m.orphanCode, table});
  for (std::string code : m.badCodes) {
    for (char& c : code)
      if (static_cast<unsigned char>(c) < 0x20) c = '?';
    faults.push_back({CheckId::SheetCode, code, "GBogen.dbf"});
  }
  return faults;
}

TEST(DataCheck, messySample_everyPlantedFaultFoundWithItsKey) {
  const Checked& c = messyFolder();
  ASSERT_FALSE(c.result.unreadable) << c.result.reason;
  const auto faults = plantedFaults(c.planted);
  for (const Expected& e : faults)
    EXPECT_TRUE(std::any_of(c.result.findings.begin(), c.result.findings.end(),
                            [&](const Finding& f) { return matches(f, e); }))
        << describe(e);
  // Nothing else is an error: every Fehler belongs to a planted fault.
  for (const Finding& f : c.result.findings) {
    if (f.severity != Severity::Fehler) continue;
    EXPECT_TRUE(
        std::any_of(faults.begin(), faults.end(), [&](const Expected& e) { return matches(f, e); }))
        << check::checkName(f.check) << " " << f.table << " " << f.record << " " << f.key << ": "
        << f.message;
  }
}

TEST(DataCheck, messySample_geometryFaultsCarryPlaceAndRecord) {
  const auto& findings = messyFolder().result.findings;
  const auto crossing = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
    return f.check == CheckId::SelfIntersection;
  });
  ASSERT_NE(crossing, findings.end());
  ASSERT_TRUE(crossing->place.has_value());
  EXPECT_NEAR(crossing->place->x, sample::kCrossingX, 1e-6);
  EXPECT_NEAR(crossing->place->y, sample::kCrossingY, 1e-6);
  EXPECT_EQ(messyFolder().result.shape->keyOf(crossing->shapeRecord),
            sample::kSelfIntersectingPolygon);
  // A sheet's finding leads to its polygon's record.
  const auto stray = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
    return f.check == CheckId::StructureRowsMissing;
  });
  ASSERT_NE(stray, findings.end());
  EXPECT_EQ(messyFolder().result.shape->keyOf(stray->shapeRecord), stray->key.substr(0, 11));
}

// Without its sheet table the tidy sample has that one finding: the rows that refer to sheets
// are not all called rows without a sheet.
TEST(DataCheck, tidySample_noFinding_withoutSheetTable_oneFinding) {
  const Checked tidy(false);
  for (const Finding& f : tidy.result.findings)
    ADD_FAILURE() << check::severityText(f.severity) << " " << check::checkName(f.check) << " "
                  << f.table << " " << f.record << " " << f.key << ": " << f.message;
  fs::remove(tidy.dir.path() / "GBogen.dbf");
  const auto result = check::runDataCheck(
      {tidy.dir.path(), tidy.dir.path() / "shape" / "ffh_flaechen.shp", {2024, 6, 1}});
  ASSERT_EQ(result.findings.size(), 1u);
  EXPECT_EQ(result.findings[0].check, CheckId::TableMissing);
  EXPECT_EQ(result.findings[0].table, "GBogen.dbf");
}

// The shapefile's coordinate system is named; where the maps must guess it or cannot read its
// ".prj" that is a warning, and AREA (square metres) is compared in the maps' metres.
TEST(DataCheck, coordinateSystem_namedWarnedAndAreasInMetres) {
  const Checked tidy(false);
  EXPECT_EQ(tidy.result.coordinateSystem, "keines (die Shape-Datei hat keine .prj-Datei)");
  const fs::path shp = tidy.dir.path() / "shape" / "ffh_flaechen.shp";
  const fs::path prj = fs::path(shp).replace_extension(".prj");
  struct Case {
    int crs;
    const char* prj;  // nullptr: the sample's; "": none; else written instead
    const char* system;
    const char* warning;  // "": none
  };
  for (const Case& c :
       {Case{25832, nullptr, "ETRS89 / UTM zone 32N (EPSG:25832)", ""},
        Case{4326, nullptr, "WGS 84 (EPSG:4326)", ""},
        Case{4326, "", "keines (die Shape-Datei hat keine .prj-Datei)", "sehen nach Grad aus"},
        Case{0, "GEOGCS[", "unbekannt (die Datei", "PROJ meldet: „"}}) {
    sample::ShapefileForm form;
    form.crs = c.crs;
    std::vector<std::string> codes;
    for (const auto& k : tidy.result.shape->keys) codes.push_back(k);
    sample::writeSampleShapefile(shp, codes, 1, form);
    if (c.prj && !*c.prj) fs::remove(prj);
    if (c.prj && *c.prj) testsupport::writeFile(prj, c.prj);
    const auto result = check::runDataCheck({tidy.dir.path(), shp, {2024, 6, 1}});
    EXPECT_THAT(result.coordinateSystem, ::testing::StartsWith(c.system)) << c.crs;
    std::vector<std::string> warnings;
    for (const Finding& f : result.findings) {
      EXPECT_EQ(f.check, CheckId::CoordinateSystem) << c.crs << ": " << f.message;
      warnings.push_back(f.message);
    }
    if (*c.warning) {
      ASSERT_EQ(warnings.size(), 1u) << c.system;
      EXPECT_THAT(warnings[0], ::testing::HasSubstr(c.warning));
    } else {
      EXPECT_TRUE(warnings.empty()) << c.system;
    }
  }
}

TEST(DataCheck, folderThatCannotBeRead_isUnreadableWithoutFindings) {
  testsupport::TempDir dir;
  testsupport::writeFile(dir.path() / "file", "x");
  for (const fs::path& folder : {dir.path() / "missing", dir.path() / "file", fs::path()}) {
    const auto result = check::runDataCheck({folder, {}, {2024, 6, 1}});
    EXPECT_TRUE(result.unreadable) << folder;
    EXPECT_THAT(result.reason, ::testing::HasSubstr("DBF-Dateien")) << folder;
    EXPECT_TRUE(result.findings.empty());
  }
}

// An empty folder is readable: every table and the shapefile are named as missing.
TEST(DataCheck, emptyFolder_namesEveryMissingFile) {
  testsupport::TempDir dir;
  const auto result = check::runDataCheck({dir.path(), dir.path() / "x.shp", {2024, 6, 1}});
  ASSERT_FALSE(result.unreadable);
  std::size_t tables = 0, shapes = 0;
  for (const Finding& f : result.findings) {
    tables += f.check == CheckId::TableMissing;
    shapes += f.check == CheckId::ShapefileMissing;
  }
  EXPECT_EQ(tables, 28u);
  EXPECT_EQ(shapes, 2u);  // the .shp with its .shx, and the attribute table
}

TEST(FindingsCsv, bomHeaderSemicolonsAndQuotes) {
  std::vector<Finding> findings = {
      {Severity::Fehler,
       CheckId::SheetCode,
       "GBogen.dbf",
       12,
       "-59001000011",
       "Die Bogennummer '-59001000011' besteht nicht aus genau 12 Ziffern.",
       {},
       0},
      {Severity::Hinweis, CheckId::MemoFileMissing, "t.dbf", 0, "", "a; \"b\"", {}, 0}};
  EXPECT_EQ(check::findingsCsv(findings),
            "\xEF\xBB\xBFSchwere;Prüfung;Tabelle;Datensatz;Schlüssel;Meldung\r\n"
            "Fehler;Bogennummer;GBogen.dbf;12;\"-59001000011\";Die Bogennummer "
            "'-59001000011' besteht nicht aus genau 12 Ziffern.\r\n"
            "Hinweis;Memodatei fehlt;t.dbf;;;\"a; \"\"b\"\"\"\r\n");
}

}  // namespace
