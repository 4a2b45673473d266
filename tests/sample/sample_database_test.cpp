#include "sample/sample_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "data/dbf/dbf_file.h"
#include "data/schema/gbogen_columns.h"
#include "data/schema/sheet_types.h"
#include "data/schema/survey_tables.h"
#include "support/scratch_test.h"

using data::Value;
using sample::SampleOptions;
namespace gbogen = data::schema::gbogen;

namespace {

// A table read completely; values by row and column name.
struct LoadedTable {
  std::vector<data::dbf::FieldDescriptor> fields;
  std::vector<std::vector<Value>> rows;
  std::map<std::string, size_t> columns;

  const Value& at(size_t row, const std::string& column) const {
    return rows.at(row).at(columns.at(column));
  }
  std::string text(size_t row, const std::string& column) const {
    return at(row, column).isNull() ? std::string() : at(row, column).toText();
  }
};

LoadedTable load(const std::filesystem::path& file) {
  const auto reader = data::dbf::DbfReader::open(file);
  LoadedTable t{reader.fields(), {}, {}};
  for (size_t i = 0; i < t.fields.size(); ++i) t.columns[t.fields[i].name] = i;
  for (uint32_t r = 0; r < reader.recordCount(); ++r) t.rows.push_back(reader.record(r));
  return t;
}

using SampleDatabase = testsupport::ScratchTest;
using testsupport::readFile;

bool allDigits(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::set<std::string> columnValues(const LoadedTable& t, const std::string& column) {
  std::set<std::string> out;
  for (size_t r = 0; r < t.rows.size(); ++r)
    if (!t.at(r, column).isNull()) out.insert(t.text(r, column));
  return out;
}

// Everything a run relies on: well-formed codes, resolvable references, sane positions.
void expectConsistent(const std::filesystem::path& dir, const sample::SampleResult& result) {
  const auto gb = load(dir / "GBogen.dbf");
  ASSERT_EQ(gb.rows.size(), static_cast<size_t>(result.sheets));
  // The type look-ups stop the program on a repeated code or a missing name.
  const auto biotopeTable = load(dir / "biottyp.dbf");
  const auto habitatTable = load(dir / "ffh_ref.dbf");
  const auto biotopes = columnValues(biotopeTable, "CODE");
  const auto habitats = columnValues(habitatTable, "CODE_EG");
  EXPECT_EQ(biotopes.size(), biotopeTable.rows.size());
  EXPECT_EQ(habitats.size(), habitatTable.rows.size());
  EXPECT_EQ(columnValues(biotopeTable, "BIOTYP").size(), biotopeTable.rows.size());
  EXPECT_EQ(columnValues(habitatTable, "NAME").size(), habitatTable.rows.size());
  const auto areas = load(dir / "ffhnum.dbf");
  const auto polygons = columnValues(load(dir / "polygone.dbf"), "POLPOLYGON");
  std::set<std::string> areaNumbers;
  for (size_t r = 0; r < areas.rows.size(); ++r) {
    areaNumbers.insert(areas.text(r, "FFHNR"));
    const std::string nr = areas.text(r, "FFH_NR");
    EXPECT_TRUE(nr.size() == 8 && nr[4] == '-' && allDigits(nr.substr(0, 4)) &&
                allDigits(nr.substr(5)))
        << nr;
  }
  std::set<std::string> codes;
  std::set<std::pair<std::string, std::string>> sheets;
  for (size_t r = 0; r < gb.rows.size(); ++r) {
    const std::string code = gb.text(r, "GBCODE");
    const std::string type = gb.text(r, "GBBOGEN");
    ASSERT_EQ(code.size(), 12u);
    ASSERT_TRUE(allDigits(code)) << code;
    EXPECT_TRUE(sheets.insert({code, type}).second) << "sheet repeated: " << code << type;
    codes.insert(code);
    EXPECT_EQ(gb.text(r, "GBPOLYGON"), code.substr(0, 11));
    EXPECT_TRUE(polygons.count(code.substr(0, 11))) << code;
    EXPECT_TRUE(areaNumbers.count(std::to_string(std::stoi(code.substr(0, 3))))) << code;
    // References resolve; the first biotope is always given. Null counts as text "" here.
    const auto at = [&](int c) { return gb.text(r, gb.fields[size_t(c)].name); };
    for (int c = gbogen::kBiotope; c < gbogen::kBiotope + 6; ++c)
      EXPECT_TRUE(biotopes.count(at(c)) || (c > gbogen::kBiotope && at(c).empty()))
          << code << " " << at(c);
    for (int c : {gbogen::kHabitat1, gbogen::kHabitat2})
      EXPECT_TRUE(at(c).empty() || habitats.count(at(c))) << code << " " << at(c);
    const Value& share = gb.rows[r][gbogen::kShare];
    ASSERT_EQ(share.kind(), Value::Kind::Integer);
    EXPECT_GE(share.asInteger(), 0);
    EXPECT_LE(share.asInteger(), 100);
    EXPECT_EQ(share.asInteger() == 0, !gb.rows[r][gbogen::kSize].isNull());
    // Complex marks on K sheets only, the first one always there.
    for (int c = gbogen::kComplexMark1; c < gbogen::kComplexMark1 + 3; ++c)
      EXPECT_TRUE(type == "K" ? c > gbogen::kComplexMark1 || !at(c).empty() : at(c).empty())
          << code;
    for (int c = gbogen::kImpairment1; c < gbogen::kImpairment1 + 4; ++c)
      EXPECT_TRUE(at(c).empty() || (at(c).size() == 4 && at(c)[0] == 'B')) << at(c);
    EXPECT_TRUE(at(gbogen::kCopySource).empty() || at(gbogen::kCopySource).size() == 12);
  }
  // Every sheet has its rows in the two tables of its type, and nothing else is there.
  std::map<std::string, std::multiset<std::string>> expected;
  for (const auto& [code, type] : sheets) {
    expected[data::schema::findSheetType(type)->table1].insert(code);
    expected[data::schema::findSheetType(type)->table2].insert(code);
  }
  for (const auto& type : data::schema::sheetTypes()) {
    for (const std::string& name : {type.table1, type.table2}) {
      const auto t = load(dir / (name + ".dbf"));
      std::multiset<std::string> found;
      for (size_t r = 0; r < t.rows.size(); ++r) found.insert(t.text(r, "GBCODE"));
      EXPECT_EQ(found, expected[name]) << name;
    }
  }
  const auto plants = columnValues(load(dir / "pflanzen.dbf"), "SATZNUMMER");
  const auto ratings = load(dir / "artenbew.dbf");
  for (size_t r = 0; r < ratings.rows.size(); ++r) {
    EXPECT_TRUE(codes.count(ratings.text(r, "GELBOGENNR")));
    EXPECT_TRUE(plants.count(ratings.text(r, "SATZNUMMER"))) << ratings.text(r, "SATZNUMMER");
  }
  for (const auto& [table, column] : std::vector<std::pair<std::string, std::string>>{
           {"anmerk", "GBCODE"}, {"pfsozbew", "GELBOGENNR"}}) {
    const auto t = load(dir / (table + ".dbf"));
    for (size_t r = 0; r < t.rows.size(); ++r) EXPECT_TRUE(codes.count(t.text(r, column)));
  }
  std::set<std::string> resultCodes;
  for (const auto& p : result.polygons) {
    EXPECT_EQ(p.code.size(), 11u);
    EXPECT_TRUE(p.parts >= 1 && p.parts <= 3);
    resultCodes.insert(p.code);
  }
  EXPECT_EQ(resultCodes, polygons);
}

}  // namespace

// The default sample, ten polygons (still every sheet type) and 3000 (written quickly): every
// table as its schema says, consistent; the default one also with copies, parts and memos.
TEST_F(SampleDatabase, write_defaultSmallAndLarge_everyTableTypeConsistent) {
  for (const int polygons : {60, 10, 3000}) {
    const auto dir = dir_.path() / std::to_string(polygons);
    const auto start = std::chrono::steady_clock::now();
    const auto result = sample::writeSampleDatabase(
        dir, polygons == 60 ? SampleOptions{} : SampleOptions{polygons, 9, "CP1252"});
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), 30.0);  // generous: unoptimised builds on a shared machine
    EXPECT_EQ(result.polygons.size(), size_t(polygons));
    ASSERT_EQ(data::schema::surveySchema().size(), 28u);
    for (const auto& schema : data::schema::surveySchema()) {
      const auto reader = data::dbf::DbfReader::open(dir / (schema.name + ".dbf"));
      EXPECT_EQ(reader.codePage(), "CP1252");
      ASSERT_EQ(reader.fields().size(), schema.columns.size()) << schema.name;
      for (size_t i = 0; i < schema.columns.size(); ++i) {
        EXPECT_EQ(reader.fields()[i].name, schema.columns[i].field.name);
        EXPECT_EQ(reader.fields()[i].type, schema.columns[i].field.type);
        EXPECT_EQ(reader.fields()[i].length, schema.columns[i].field.length);
      }
      EXPECT_GT(reader.recordCount(), 0u) << schema.name << " " << polygons;
    }
    expectConsistent(dir, result);
    EXPECT_EQ(columnValues(load(dir / "GBogen.dbf"), "GBBOGEN"),
              std::set<std::string>(data::kSheetTypes.begin(), data::kSheetTypes.end()));
  }
  const auto dir = dir_.path() / "60";
  EXPECT_TRUE(std::filesystem::exists(dir / "anmerk.dbt"));
  const auto gb = load(dir / "GBogen.dbf");
  EXPECT_EQ(columnValues(gb, "GBKOPIE"), (std::set<std::string>{"1", "2", "3", "4"}));
  size_t nullCopies = 0, multiPart = 0;
  for (size_t r = 0; r < gb.rows.size(); ++r) {
    nullCopies += gb.at(r, "GBKOPIE").isNull();
    multiPart += gb.text(r, "GBCODE").back() != '1';
  }
  EXPECT_GT(nullCopies, gb.rows.size() / 2);
  EXPECT_GT(multiPart, 0u);
  EXPECT_GE(load(dir / "ffhnum.dbf").rows.size(), 3u);
  // Remarks as memos, some of them longer than a character field could hold.
  const auto remarks = load(dir / "anmerk.dbf");
  size_t longRemarks = 0;
  for (size_t r = 0; r < remarks.rows.size(); ++r)
    longRemarks += remarks.text(r, "ANMERKUNG").size() > 254;
  EXPECT_GT(longRemarks, 0u);
  // Species of all four groups, so that every list of a sheet can be filled.
  std::set<char> groups;
  for (const auto& number : columnValues(load(dir / "pflanzen.dbf"), "SATZNUMMER"))
    groups.insert(number[0]);
  EXPECT_EQ(groups, (std::set<char>{'B', 'L', 'S'}));
}

TEST_F(SampleDatabase, write_sameSeed_sameFiles) {
  const auto& dir = dir_.path();
  SampleOptions options;
  options.seed = 42;
  const auto a = sample::writeSampleDatabase(dir / "a", options);
  const auto b = sample::writeSampleDatabase(dir / "b", options);
  options.seed = 43;
  sample::writeSampleDatabase(dir / "c", options);
  ASSERT_EQ(a.sheets, b.sheets);
  for (const auto& entry : std::filesystem::directory_iterator(dir / "a")) {
    std::string left = readFile(entry.path());
    std::string right = readFile(dir / "b" / entry.path().filename());
    if (entry.path().extension() == ".dbf") {
      left.replace(1, 3, "---");  // the header's date of last change
      right.replace(1, 3, "---");
    }
    EXPECT_EQ(left, right) << entry.path().filename();
  }
  EXPECT_NE(load(dir / "a" / "GBogen.dbf").rows, load(dir / "c" / "GBogen.dbf").rows);
}

TEST_F(SampleDatabase, write_codePages_umlautsRoundTrip) {
  for (const std::string codePage : {"CP1252", "CP850"}) {
    const auto db = dir_.path() / codePage;
    const auto written = sample::writeSampleDatabase(db, SampleOptions{20, 1, codePage});
    EXPECT_EQ(data::dbf::DbfReader::open(db / "pflanzen.dbf").codePage(), codePage);
    const auto names = columnValues(load(db / "pflanzen.dbf"), "KURZNAME");
    for (const char* name : {"Großer Wiesenknopf", "Echtes Mädesüß", "Hänge-Birke"})
      EXPECT_TRUE(names.count(name)) << codePage << " " << name;
    // Place names carry umlauts too; they come back exactly as written.
    const auto polygons = load(db / "polygone.dbf");
    ASSERT_EQ(polygons.rows.size(), written.polygons.size());
    for (size_t r = 0; r < polygons.rows.size(); ++r)
      EXPECT_EQ(polygons.text(r, "POLNAME"), written.polygons[r].name);
  }
}

TEST_F(SampleDatabase, umlautTable_holdsDosLettersMarkedAsWindowsText) {
  const auto file = dir_.path() / "umlaute2.dbf";
  sample::writeUmlautTable(file);
  const auto t = load(file);
  ASSERT_EQ(t.fields.size(), 1u);
  EXPECT_EQ(t.fields[0].name, "UMLAUT");
  // Read as the Windows text the table claims to be: the forms a DOS table arrives in.
  const std::vector<std::string> stored{"„", "”", "\xEF\xBF\xBD", "Ž", "™", "š", "á"};
  ASSERT_EQ(t.rows.size(), 7u);
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(t.rows[i][0], Value::text(stored[i])) << i;
}

TEST_F(SampleDatabase, write_badOptions_throw) {
  const auto& dir = dir_.path();
  EXPECT_THROW(sample::writeSampleDatabase(dir / "a", SampleOptions{0, 1, "CP1252"}),
               std::invalid_argument);
  EXPECT_THROW(sample::writeSampleDatabase(dir / "b", SampleOptions{5, 1, "NO-SUCH-PAGE"}),
               data::dbf::DbfError);
  EXPECT_TRUE(!std::filesystem::exists(dir / "b") || std::filesystem::is_empty(dir / "b"));
}
