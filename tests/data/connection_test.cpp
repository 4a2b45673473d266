#include "data/connection.h"

#include <gtest/gtest.h>

#include <clocale>

#include "data/provider_error.h"
#include "data/stored_order.h"
#include "support/expect_throw.h"
#include "support/survey_fixture.h"
#include "support/temp_dir.h"

namespace {

using data::Connection;
using data::ProviderError;
using testsupport::thrownValue;
using testsupport::writeTable;

class ConnectionTest : public ::testing::Test {
 protected:
  // GBogen with five rows; copyMark is the copy mark of the third (123001000302 GT).
  void writeSheets(const std::string& copyMark) {
    writeTable(dir_.path() / "GBogen.dbf",
               {{"GBCODE", 'C', 12, 0},
                {"GBBOGEN", 'C', 2, 0},
                {"GBKOPIE", 'C', 1, 0},
                {"FLAECHE", 'N', 8, 2}},
               {{"123001000302", "GN", "", "12.5"},
                {"123001000011", "F", "3", "3"},
                {"123001000302", "GT", copyMark, ""},
                {"123001000011", "F", "", "4.25"},
                {"123001000301", "GN", "", ""}});
  }

  void SetUp() override {
    writeSheets("1");
    writeTable(dir_.path() / "artenbew.dbf",
               {{"GELBOGENNR", 'C', 12, 0}, {"SATZNUMMER", 'C', 8, 0}, {"RL", 'C', 2, 0}},
               {{"123001000302", "S0001", "3"},
                {"123001000302", "B0002", ""},
                {"123001000011", "S0001", ""}});
    writeTable(dir_.path() / "PFLANZEN.DBF",
               {{"SATZNUMMER", 'C', 8, 0}, {"GATTUNG", 'C', 30, 0}, {"ART", 'C', 30, 0}},
               {{"S0001", "Fagus", "sylvatica"}, {"B0002", "Hypnum", "cupressiforme"}});
    writeTable(dir_.path() / "ffhnum.dbf", {{"FFHNR", 'N', 5, 0}, {"NAME", 'C', 40, 0}},
               {{"123", "Großer Moosbruch"}, {"124", "Röhrichte am See"}});
    conn_.open(dir_.path());
  }

  testsupport::TempDir dir_;
  Connection conn_;
};

std::vector<std::string> column(data::Recordset rs, int index) {
  std::vector<std::string> out;
  for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) out.push_back(rs.value(index).toText());
  return out;
}

// Also a parenthesised double join with qualified columns, as the species lists send it.
TEST_F(ConnectionTest, Execute_TableNamesIgnoreCaseAndLoadOnce) {
  auto a = conn_.execute("SELECT * FROM gbogen;");
  auto b = conn_.execute("SELECT GBogen.GBCODE FROM GBogen");
  auto c = conn_.execute("select p.satznummer from PFLANZEN p, Pflanzen q where 0");
  EXPECT_EQ(a.RecordCount(), 5u);
  EXPECT_EQ(b.RecordCount(), 5u);
  EXPECT_EQ(c.RecordCount(), 0u);
  EXPECT_EQ(conn_.loadedTables(), (std::set<std::string>{"gbogen", "pflanzen"}));
  auto rs = conn_.execute(
      "SELECT gbogen.GBCODE, gbogen.GBBOGEN,  artenbew.SATZNUMMER, pflanzen.SATZNUMMER, "
      "artenbew.RL, pflanzen.GATTUNG, pflanzen.ART  FROM (artenbew INNER JOIN gbogen ON "
      "artenbew.GELBOGENNR = gbogen.GBCODE) INNER JOIN pflanzen ON artenbew.SATZNUMMER = "
      "pflanzen.SATZNUMMER WHERE (((gbogen.GBCODE)='123001000302'));");
  ASSERT_EQ(rs.fieldCount(), 7);
  EXPECT_EQ(rs.RecordCount(), 4u);  // two species × two sheets of that code
  EXPECT_EQ(rs.fieldName(5), "GATTUNG");
  EXPECT_EQ(rs.value("gattung").toText(), "Fagus");
  EXPECT_EQ(rs.value(2).toText(), rs.value(3).toText());
}

// Queries as the program sends them and one column of the answer: rows in stored order, an
// index look-up keeping it among equal keys, DISTINCT keeping the first occurrences.
TEST_F(ConnectionTest, Execute_RowsInStoredOrder) {
  auto expect = [&](const std::string& sql, const std::vector<std::string>& rows, int index = 0) {
    EXPECT_EQ(column(conn_.execute(sql), index), rows) << sql;
  };
  expect("SELECT GBCODE FROM gbogen WHERE GBCODE LIKE '123001%'",
         {"123001000302", "123001000011", "123001000302", "123001000011", "123001000301"});
  expect("SELECT GBBOGEN FROM gbogen WHERE GBCODE='123001000302'", {"GN", "GT"});
  expect("SELECT DISTINCT GBCODE, GBBOGEN FROM GBogen WHERE GBBOGEN='F' OR GBBOGEN='GN'",
         {"123001000302", "123001000011", "123001000301"});
  expect("SELECT GBogen.GBCODE, GBogen.GBBOGEN From GBogen WHERE GBogen.GBCODE like '12300100030_'",
         {"GN", "GT", "GN"}, 1);
  expect("SELECT GBCODE FROM gbogen WHERE GBCODE like '1230010003_'", {});
  expect(
      "SELECT GBogen.GBCODE, GBogen.GBKOPIE From GBogen WHERE (GBogen.GBCODE like "
      "'123001000011' AND (GBogen.GBKOPIE='3' OR GBogen.GBKOPIE='4'))",
      {"123001000011"});
}

TEST_F(ConnectionTest, Execute_NullsNumbersAndLocaleText) {
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
  Connection german;
  german.open(dir_.path());
  auto rs = german.execute("SELECT GBKOPIE, FLAECHE FROM gbogen");
  EXPECT_TRUE(rs.value(0).isNull());
  EXPECT_EQ(rs.value(1).kind(), data::Value::Kind::Real);
  EXPECT_DOUBLE_EQ(rs.value(1).asReal(), 12.5);
  EXPECT_EQ(rs.value(1).toText(), "12,5");
  EXPECT_EQ(data::Value::date({2003, 7, 4}).toText(), "04.07.2003");  // the locale's "%x"
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(rs.value(1).toText(), "12,5");  // German forms get the comma under any locale
  auto name = conn_.execute("SELECT NAME FROM ffhnum WHERE FFHNR=124");
  ASSERT_EQ(name.RecordCount(), 1u);
  EXPECT_EQ(name.value(0).toText(), "Röhrichte am See");
}

// Values are bound, never read as SQL, and a statement kept for reuse starts afresh each time,
// also after a call that failed half-way.
TEST_F(ConnectionTest, Execute_BoundValuesStayDataAcrossReuse) {
  const std::string byCode = "SELECT GBBOGEN FROM gbogen WHERE GBCODE=? AND GBBOGEN=?";
  auto types = [&](const std::string& code, const std::string& type) {
    return column(conn_.execute(byCode, {data::Value::text(code), data::Value::text(type)}), 0);
  };
  EXPECT_EQ(types("123001000302", "GT"), std::vector<std::string>{"GT"});
  for (const char* hostile : {"7*8", "0>1", "x' OR '1'='1", "123001000302' --"})
    EXPECT_TRUE(types(hostile, "GT").empty()) << hostile;
  EXPECT_THROW(conn_.execute(byCode, {data::Value::text("123001000302")}), ProviderError);
  EXPECT_EQ(types("123001000011", "F"), (std::vector<std::string>{"F", "F"}));
  const std::string byArea = "SELECT NAME FROM ffhnum WHERE FFHNR=?";
  EXPECT_EQ(column(conn_.execute(byArea, {data::Value::integer(124)}), 0),
            std::vector<std::string>{"Röhrichte am See"});
  EXPECT_TRUE(conn_.execute(byArea, {data::Value::text("7*8")}).isEOF());
  EXPECT_EQ(column(conn_.execute(byArea, {data::Value::integer(123)}), 0),
            std::vector<std::string>{"Großer Moosbruch"});
}

TEST_F(ConnectionTest, RecordsetAndExecute_ErrorsCarryNumbers) {
  auto none = conn_.execute("SELECT GBCODE FROM gbogen WHERE GBCODE='0'");
  EXPECT_TRUE(none.isEOF() && none.isBOF());
  auto rs = conn_.execute("SELECT GBCODE FROM gbogen WHERE GBBOGEN='GT'");
  EXPECT_FALSE(rs.isBOF());
  rs.MoveNext();
  EXPECT_TRUE(rs.isEOF());
  EXPECT_THROW(rs.value(0), ProviderError);
  EXPECT_THROW(rs.MoveNext(), ProviderError);
  rs.MoveFirst();
  EXPECT_EQ(rs.field(0).name, "GBCODE");
  EXPECT_EQ(thrownValue<ProviderError>([&] { rs.value("GIBTS"); }, &ProviderError::number),
            data::kErrNoSuchField);

  auto expectNumber = [&](const std::string& sql, int number) {
    EXPECT_EQ(thrownValue<ProviderError>([&] { conn_.execute(sql); }, &ProviderError::number),
              number)
        << sql;
  };
  expectNumber("SELECT * FROM fehlt", data::kErrNoSuchTable);
  expectNumber("SELEKT * FROM gbogen", data::kErrSyntax);
  testsupport::writeFile(dir_.path() / "kaputt.dbf", std::string("\x03\x7e\x01\x01", 4));
  expectNumber("SELECT * FROM kaputt", data::kErrDamagedTable);

  Connection missing;
  EXPECT_EQ(thrownValue<ProviderError>([&] { missing.open(dir_.path() / "gibt-es-nicht"); },
                                       &ProviderError::number),
            data::kErrInvalidPath);
  EXPECT_THROW(missing.execute("SELECT 1"), ProviderError);
}

// A value the reader cannot read costs only its field: the row loads with Null there, and the
// table's notes name table, record, field and value, under the row's sheet code.
TEST_F(ConnectionTest, Execute_UnreadableValue_RowLoadsAndIsNoted) {
  writeTable(dir_.path() / "pfsozbew.dbf", {{"GELBOGENNR", 'C', 12, 0}, {"DATUM", 'C', 8, 0}},
             {{"123001000302", "20240101"}, {"123001000011", "20241301"}});
  testsupport::patchFile(dir_.path() / "pfsozbew.dbf", 32 + 32 + 11, "D");
  EXPECT_EQ(column(conn_.execute("SELECT DATUM FROM pfsozbew"), 0),
            (std::vector<std::string>{"01.01.2024", ""}));
  const auto notes = conn_.tableNotes();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].key, "123001000011");
  EXPECT_EQ(notes[0].record, 2u);
  EXPECT_EQ(notes[0].text,
            "Tabelle pfsozbew.dbf, Datensatz 2, Feld DATUM: \"20241301\" ist kein gültiges Datum");
  EXPECT_EQ(conn_.tableNotesFor("123001000011").size(), 1u);
  EXPECT_TRUE(conn_.tableNotesFor("123001000302").empty());
}

// A code's digest changes with its rows alone, a prefix's with the rows of its codes; a code
// without rows has a digest of its own; a key column holding numbers tells only the whole table.
TEST_F(ConnectionTest, TableDigest_RowsOfAKeyChangeWithThemAlone) {
  const auto before = conn_.tableDigest("gbogen");
  EXPECT_EQ(conn_.loadedTables(), std::set<std::string>{"gbogen"});
  writeSheets("2");  // one copy mark changed
  Connection fresh;
  fresh.open(dir_.path());
  const auto after = fresh.tableDigest("GBOGEN");
  EXPECT_NE(before->whole(), after->whole());
  EXPECT_NE(before->rowsOf("GBCODE", "123001000302"), after->rowsOf("gbcode", "123001000302"));
  EXPECT_EQ(before->rowsOf("GBCODE", "123001000011"), after->rowsOf("GBCODE", "123001000011"));
  EXPECT_NE(before->rowsStartingWith("GBCODE", "12300100030"),
            after->rowsStartingWith("GBCODE", "12300100030"));
  EXPECT_EQ(before->rowsStartingWith("GBCODE", "12300100001"),
            after->rowsStartingWith("GBCODE", "12300100001"));
  EXPECT_EQ(before->rowsOf("GBCODE", "999"), after->rowsOf("GBCODE", "999"));
  EXPECT_NE(after->rowsOf("GBCODE", "999"), after->whole());
  EXPECT_EQ(after->rowsOf("GBPOLYGON", "12300100030"), after->whole());  // no such column
  writeTable(dir_.path() / "bgf.dbf", {{"GBCODE", 'N', 12, 0}}, {{"123001000011"}});
  const auto numeric = fresh.tableDigest("bgf");
  EXPECT_EQ(numeric->rowsOf("GBCODE", "123001000011"), numeric->whole());
}

TEST(StoredOrder, Rewrite_SingleTableQueriesOnly) {
  EXPECT_EQ(data::inStoredOrder("SELECT * FROM gbogen WHERE GBCODE='1;2';"),
            "SELECT * FROM gbogen WHERE GBCODE='1;2' ORDER BY gbogen._rowid_");
  EXPECT_EQ(data::inStoredOrder("SELECT DISTINCT GBCODE, GBBOGEN FROM GBogen WHERE GBBOGEN='F'"),
            "SELECT GBCODE, GBBOGEN FROM GBogen WHERE GBBOGEN='F' GROUP BY GBCODE, GBBOGEN "
            "ORDER BY MIN(GBogen._rowid_)");
  for (const char* unchanged : {"SELECT a FROM (x INNER JOIN y ON x.a = y.a)", "SELECT a FROM x, y",
                                "SELECT a FROM x ORDER BY a", "SELECT DISTINCT * FROM x",
                                "SELECT a FROM x q", "SELECT 'unclosed FROM x"})
    EXPECT_EQ(data::inStoredOrder(unchanged), unchanged);
}

}  // namespace
