#include "data/cls_dbf_data.h"

#include "app/resource_folder.h"
#include "data/text_decoding_check.h"
#include "support/expect_throw.h"
#include "support/survey_test_base.h"
#include "support/temp_dir.h"

namespace {

using data::clsDBFData;
using testsupport::SheetRow;

class DbfDataTest : public testsupport::SurveyTestBase {
 protected:
  void SetUp() override {
    SurveyTestBase::SetUp();
    std::filesystem::create_directories(shape_);
    settings().set(app::kShapeFilesPfad, (shape_ / "flaechen.shp").string());
    testsupport::writeFile(shape_ / "flaechen.shp", "");
    testsupport::writeTable(shape_ / "flaechen.dbf",
                            {{"POLYGONNR", 'C', 11, 0}, {"AREA", 'N', 12, 2}},
                            {{"12300100002", "5000.5"}, {"12300100001", "1200"}});
    app::setResourceFolder(dir_.path() / "res");
    testsupport::writeUmlautTable(dir_.path() / "res", {"ä", "ö", "ü", "Ä", "Ö", "Ü", "ß"});
  }
  void TearDown() override {
    app::setResourceFolder({});
    SurveyTestBase::TearDown();
  }

  const std::filesystem::path folder_ = dir_.path() / "db", shape_ = dir_.path() / "shape";
};

TEST_F(DbfDataTest, Lookups_SheetTypeMapAndCatalogue) {
  clsDBFData db;
  int16_t index = 0;
  std::string name = "x";
  EXPECT_TRUE(db.GetDBNumber("123001000011GT", index));
  EXPECT_EQ(index, 5);
  EXPECT_TRUE(db.GetTableName("123001000011GT", 1, name));
  EXPECT_EQ(name, "bgg");
  for (int16_t which : {0, 2, 3}) {
    EXPECT_TRUE(db.GetTableName("123001000011GN", which, name));
    EXPECT_EQ(name, "bgg2");
  }
  // Every sheet type: its main table's index, and its two tables.
  const struct {
    const char* type;
    int16_t index;
    const char* table;
  } kMap[] = {{"F", 3, "bgf"},  {"GN", 5, "bgg"}, {"GT", 5, "bgg"}, {"H", 7, "bgh"},
              {"K", 9, "bgk"},  {"M", 11, "bgm"}, {"S", 13, "bgs"}, {"T", 15, "bgt"},
              {"W", 17, "bgw"}, {"X", 19, "bgx"}};
  for (const auto& m : kMap) {
    const std::string key = std::string("123001000011") + m.type;
    EXPECT_TRUE(db.GetDBNumber(key, index) && index == m.index) << m.type;
    EXPECT_TRUE(db.GetTableName(key, 1, name) && name == m.table) << m.type;
    EXPECT_TRUE(db.GetTableName(key, 2, name) && name == std::string(m.table) + "2") << m.type;
    EXPECT_EQ(db.tableName(m.index), m.table);
  }
  EXPECT_FALSE(db.GetDBNumber("123001000011gn", index));
  EXPECT_EQ(index, -1);
  EXPECT_FALSE(db.GetTableName("123001000011", 1, name));
  EXPECT_EQ(name, "");
  EXPECT_THROW(db.GetDBNumber("12300100001", index), std::invalid_argument);
  EXPECT_EQ(db.tableName(24), "GBogen");
  EXPECT_EQ(db.tableName(28), "polygone");
}

TEST_F(DbfDataTest, ValidFilePaths_ReportsMissingFolderTableOrShapefileInOrder) {
  clsDBFData db;
  EXPECT_FALSE(db.ValidFilePaths());
  EXPECT_EQ(lastLog(),
            "D2 Fehler! Der Ordner der DBF-Dateien " + folder_.string() + " existiert nicht.");
  testsupport::writeSurveyTables(folder_, {});
  EXPECT_TRUE(db.ValidFilePaths());
  EXPECT_EQ(db.surveyFolder(), folder_.string());
  std::filesystem::remove(folder_ / "pfsozbew.dbf");
  EXPECT_TRUE(db.ValidFilePaths());  // checked once until the connection is opened again
  db.ConnectDBDaten();
  EXPECT_FALSE(db.ValidFilePaths());
  EXPECT_EQ(lastLog(), "D2 Fehler! Die DBF-Datei pfsozbew ist nicht vorhanden.");
  std::filesystem::remove(folder_ / "bgh.dbf");
  EXPECT_FALSE(db.ValidFilePaths());
  EXPECT_EQ(lastLog(), "D2 Fehler! Die DBF-Datei bgh ist nicht vorhanden.");
  // Then the shapefile's setting, the file and its table.
  testsupport::writeSurveyTables(folder_, {});
  db.ConnectDBDaten();
  settings().set(app::kShapeFilesPfad, "");
  EXPECT_FALSE(db.ValidFilePaths());
  EXPECT_EQ(lastLog(), "D2 Fehler! Der Pfad für die Shapefiles ist nicht gesetzt.");
  settings().set(app::kShapeFilesPfad, (shape_ / "fehlt.shp").string());
  EXPECT_FALSE(db.ValidFilePaths());
  EXPECT_EQ(lastLog(), "D2 Fehler! Die Ausgewählte Datei des Shapefilepfades exisitiert nicht.");
  testsupport::writeFile(shape_ / "ohne.shp", "");
  settings().set(app::kShapeFilesPfad, (shape_ / "ohne.shp").string());
  EXPECT_FALSE(db.ValidFilePaths());
  EXPECT_EQ(lastLog(), "D2 Fehler! Die DBF-Datei des Shapefilepfades exisitiert nicht.");
  // A shapefile whose parts are named in capitals.
  testsupport::writeFile(shape_ / "FFH.SHP", "");
  settings().set(app::kShapeFilesPfad, (shape_ / "FFH.SHP").string());
  EXPECT_FALSE(db.ValidFilePaths());
  EXPECT_EQ(lastLog(), "D2 Fehler! Die DBF-Datei des Shapefilepfades exisitiert nicht.");
  std::filesystem::copy_file(shape_ / "flaechen.dbf", shape_ / "FFH.DBF");
  EXPECT_TRUE(db.ValidFilePaths());
  data::Recordset row;
  ASSERT_TRUE(db.GetShapeRecordset("12300100001", row));
  EXPECT_EQ(row.value("SATZNR").asInteger(), 2);
}

TEST_F(DbfDataTest, GetRecordset_AppendsSemicolonAndAnswersSameRowsForAnyIndex) {
  testsupport::writeSurveyTables(folder_, {{"123001000011", "F"}, {"123001000021", "GN"}});
  clsDBFData db;
  ASSERT_TRUE(db.ValidFilePaths());
  db.ConnectDBDaten();
  data::Recordset a, b;
  ASSERT_TRUE(db.GetRecordset(1, "SELECT GBCODE FROM gbogen", a));
  ASSERT_TRUE(db.GetRecordset(23, "SELECT GBCODE FROM gbogen", b));
  EXPECT_EQ(a.RecordCount(), 2u);
  EXPECT_EQ(b.RecordCount(), 2u);
  EXPECT_FALSE(db.GetRecordset(1, "SELECT GBCODE FROM fehlt", a));
  EXPECT_TRUE(ui().boxes.empty());
  // A routine's failed query is logged with its values and in the routine's own wording.
  const struct {
    const char* table;
    bool fehl;
    const char* line;
  } wordings[] = {{"", false, "mit dem Index 3 schlug fehlt."},
                  {"", true, "mit dem Index 3 schlug fehl."},
                  {"gbogen", false, "gbogen schlug fehlt."}};
  for (const auto& w : wordings) {
    EXPECT_FALSE(db.GetRecordset("Routine", 3, "SELECT * FROM fehlt WHERE GBCODE=?", a,
                                 {data::Value::text("1'2")}, {w.table, w.fehl}));
    EXPECT_EQ(lastLog(),
              "D2 Routine: Fehler! Die SQL-Anfrage (SELECT * FROM fehlt WHERE GBCODE='1''2') auf "
              "die Tabelle " +
                  std::string(w.line));
  }
}

using Entries = std::vector<std::pair<std::string, std::string>>;

// The letters ä ö ü Ä Ö Ü ß, as many as there are forms, each with its form.
Entries letters(const std::vector<std::string>& forms) {
  const char* const order[] = {"ä", "ö", "ü", "Ä", "Ö", "Ü", "ß"};
  Entries entries;
  for (std::size_t i = 0; i < forms.size(); ++i) entries.emplace_back(order[i], forms[i]);
  return entries;
}

TEST_F(DbfDataTest, GetUmlauteDic_SkipsNullRowsAndRejectsWrongCount) {
  clsDBFData db;
  data::UmlautDict dict;
  testsupport::writeUmlautTable(dir_.path() / "res", {"a:", "o:", "u:", "A:", "O:", "U:", "ss"});
  ASSERT_EQ(db.GetUmlauteDic(dict), 100);
  EXPECT_EQ(dict.entries(), letters({"a:", "o:", "u:", "A:", "O:", "U:", "ss"}));
  // A Null row: the letters after it move up, the last goes without.
  testsupport::writeUmlautTable(dir_.path() / "res", {"a:", "o:", "", "A:", "O:", "U:", "ss"});
  ASSERT_EQ(db.GetUmlauteDic(dict), 100);
  EXPECT_EQ(dict.entries(), letters({"a:", "o:", "A:", "O:", "U:", "ss"}));

  for (auto rows : {std::vector<std::string>(6, "x"), std::vector<std::string>(8, "x")}) {
    testsupport::writeUmlautTable(dir_.path() / "res", rows);
    EXPECT_EQ(db.GetUmlauteDic(dict), 101);
    EXPECT_EQ(dict.size(), 6u);  // left as it was
    EXPECT_EQ(lastLog(), "D2 Fehler! Die Umlaute-Tabelle ist nicht korrekt.");
  }
  EXPECT_EQ(db.CheckUmlauteTab(), 101);
}

// The program's umlaut table holds the letters in DOS bytes. Texts of a table decoded in the
// code page its bytes are in stay untouched; a table whose texts are known to be mis-decoded
// gets the letters in the forms its own code page makes of them, but for forms that several
// letters share (as U+FFFD in UTF-8), which cannot be told back.
TEST_F(DbfDataTest, umlautRepairFor_OnlyTablesKnownMisDecoded) {
  const auto umlauts = dir_.path() / "res" / "data" / "umlaute2.dbf";
  testsupport::writeTable(umlauts, {{"UMLAUT", 'C', 4, 0}},
                          {{"ä"}, {"ö"}, {"ü"}, {"Ä"}, {"Ö"}, {"Ü"}, {"ß"}}, "CP850");
  testsupport::patchFile(umlauts, 29, "\x03");  // marked as Windows text, as shipped
  const Entries windows = letters({"„", "”", "\xEF\xBF\xBD", "Ž", "™", "š", "á"});
  const Entries latin1 =
      letters({"\xC2\x84", "\xC2\x94", "\xC2\x81", "\xC2\x8E", "\xC2\x99", "\xC2\x9A", "á"});
  const Entries none;
  const std::string foreign = "Málaga, Žár, Tešín „Quelle” ™";
  const struct {
    const char* codePage;
    std::string name;
    char ldid;              // written over the language driver byte unless 0
    const char* cpg;        // ".cpg" content unless empty
    const Entries* repair;  // nullptr: no repair
  } cases[] = {
      {"CP1252", foreign, 0, "", nullptr},
      {"UTF-8", "Sázava " + foreign, 0, "", nullptr},
      {"CP850", "Mühle, Größe", 0, "", nullptr},
      {"CP850", "Mühle, Größe", 0x03, "", &windows},
      {"CP850", "Mühle, Größe", 0, "ISO-8859-1", &latin1},
      {"CP850", "Mühle, Größe", 0, "UTF-8", &none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.codePage) + " " + c.name + " " + c.cpg);
    connect({{"123001000011", "F"}});
    const auto polygons = dir_.path() / "db" / "polygone.dbf";
    testsupport::writeTable(polygons, {{"POLPOLYGON", 'C', 11, 0}, {"POLNAME", 'C', 60, 0}},
                            {{"12300100001", c.name}}, c.codePage);
    if (c.ldid) testsupport::patchFile(polygons, 29, std::string(1, c.ldid));
    if (*c.cpg) testsupport::writeFile(dir_.path() / "db" / "polygone.cpg", c.cpg);
    const auto repair = db_->umlautRepairFor("polygone");
    ASSERT_EQ(repair != nullptr, c.repair != nullptr);
    if (repair) {
      EXPECT_EQ(repair->entries(), *c.repair);
    }
    EXPECT_EQ(db_->umlautRepairFor("GBogen"), nullptr);  // ASCII only
    // The check names exactly the tables whose texts are repaired.
    EXPECT_EQ(data::findUndecodableTexts(dir_.path() / "db", {"polygone", "GBogen"}).size(),
              c.repair ? 1u : 0u);
    std::filesystem::remove(dir_.path() / "db" / "polygone.cpg");
  }
  // Read as it is marked, the table gives the forms of a DOS table read as Windows text.
  data::UmlautDict shipped;
  ASSERT_EQ(db_->GetUmlauteDic(shipped), 100);
  EXPECT_EQ(shipped.entries(), windows);

  // Needed but unusable: logged, and nothing is repaired.
  testsupport::writeUmlautTable(dir_.path() / "res", {"a", "o"});
  connect({{"123001000011", "F"}});
  testsupport::writeTable(dir_.path() / "db" / "polygone.dbf", {{"POLNAME", 'C', 20, 0}},
                          {{"Mühle"}}, "CP850");
  testsupport::writeFile(dir_.path() / "db" / "polygone.cpg", "1252");
  EXPECT_EQ(db_->umlautRepairFor("polygone"), nullptr);
  EXPECT_EQ(lastLog(), "D2 Fehler! Die Umlaute-Tabelle ist nicht korrekt.");
}

TEST_F(DbfDataTest, GetShapeRecordset_FindsRowInPlaceByNumber) {
  // A numeric POLYGONNR column drops the leading zero; the second row of a code wins.
  testsupport::writeTable(
      shape_ / "flaechen.dbf", {{"POLYGONNR", 'N', 11, 0}, {"AREA", 'N', 12, 2}},
      {{"12300100002", "5000.5"}, {"5900100001", "1200"}, {"", "7"}, {"5900100001", "1300"}});
  const auto before = testsupport::folderListing(shape_);
  clsDBFData db;
  struct Case {
    const char* code;
    std::size_t rows;
    int64_t record;
  };
  for (const Case& c : {Case{"05900100001", 1, 4}, Case{"12300100002", 1, 1},
                        Case{"05900100002", 0, 0}, Case{"", 0, 0}}) {
    data::Recordset rs;
    ASSERT_TRUE(db.GetShapeRecordset(c.code, rs)) << c.code;
    ASSERT_EQ(rs.RecordCount(), c.rows) << c.code;
    if (c.rows == 0) continue;
    EXPECT_EQ(rs.value("SATZNR").asInteger(), c.record) << c.code;
    EXPECT_EQ(rs.value("POLYGONNR").asText(), c.code);
  }
  EXPECT_EQ(testsupport::folderListing(shape_), before);
}

TEST_F(DbfDataTest, GetShapeRecordset_MissingSettingOrTableLoggedUnreadableTableFatal) {
  clsDBFData db;
  data::Recordset rs;
  settings().set(app::kShapeFilesPfad, (shape_ / "anders.shp").string());
  EXPECT_FALSE(db.GetShapeRecordset("x", rs));
  EXPECT_EQ(lastLog(), "D2 GetShapeRecordset: Fehler! Die Datei " +
                           (shape_ / "anders.dbf").string() + " existiert nicht.");
  settings().set(app::kShapeFilesPfad, "");
  EXPECT_FALSE(db.GetShapeRecordset("x", rs));
  EXPECT_EQ(lastLog(),
            "D2 GetShapeRecordset: Fehler! Der Pfad für die Shapefiles ist nicht gesetzt.");
  settings().set(app::kShapeFilesPfad, (shape_ / "flaechen.shp").string());
  testsupport::writeTable(shape_ / "flaechen.dbf", {{"NUMMER", 'C', 11, 0}}, {{"1"}});
  const auto message = testsupport::thrownValue<data::FatalError>(
      [&] { db.GetShapeRecordset("x", rs); },
      [](const data::FatalError& e) { return std::string(e.what()); });
  ASSERT_TRUE(message);
  EXPECT_EQ(
      message->rfind("Programm wird beendet!\n\nGrund: Unbekanntes DBF-Shapefile-Format!\n", 0), 0u)
      << *message;
  EXPECT_NE(message->find("POLYGONNR"), std::string::npos) << *message;
}

class BogenNumbersTest : public DbfDataTest {
 protected:
  int16_t load(const std::vector<SheetRow>& rows, const std::vector<std::string>& types,
               bool report = false) {
    testsupport::writeSurveyTables(folder_, rows);
    clsDBFData db;
    EXPECT_TRUE(db.ValidFilePaths());
    db.ConnectDBDaten();
    const int16_t status = report ? db.GetReportBogenNumbers(types, sheets_, roots_)
                                  : db.GetBogenNumbers(types, sheets_, roots_);
    skipped_ = db.skippedCodes();
    return status;
  }
  std::vector<std::string> keys() const {
    std::vector<std::string> k;
    for (const auto& [key, item] : sheets_) k.push_back(key);
    return k;
  }
  data::TextSet sheets_;
  data::AreaRoots roots_;
  std::vector<std::string> skipped_;
};

TEST_F(BogenNumbersTest, GetBogenNumbers_OneCodeWithTwoTypesOrNoType) {
  std::vector<SheetRow> rows = {
      {"123001000011", "F"}, {"123001000011", "GN"}, {"123001000021", "H"}};
  ASSERT_EQ(load(rows, {"F", "GN"}), 100);
  EXPECT_EQ(keys(), (std::vector<std::string>{"123001000011F", "123001000011GN"}));
  EXPECT_EQ(*sheets_.find("123001000011GN"), "GN");
  ASSERT_EQ(roots_.size(), 1u);
  EXPECT_EQ(roots_.begin()->second->getNodeType(), "FFHGebiet");
  ASSERT_EQ(load(rows, {"F", "GN"}, true), 100);
  EXPECT_EQ(keys(), (std::vector<std::string>{"123001000011"}));
  // No type selected.
  EXPECT_EQ(load({{"123001000011", "F"}}, {}), 101);
  EXPECT_TRUE(sheets_.empty());
  EXPECT_TRUE(roots_.empty());
  EXPECT_EQ(lastLog(), "D2 clsDBFData.GetBogenNumbers: Kein Geländebogen ausgewählt.");
  EXPECT_EQ(load({{"123001000011", "F"}}, {}, true), 101);
  EXPECT_EQ(lastLog(), "D2 clsDBFData.GetReportBogenNumbers: Kein Geländebogen ausgewählt.");
}

TEST_F(BogenNumbersTest, GetBogenNumbers_MalformedCodesSkippedAndNamedTheRestKept) {
  for (std::string bad : {"12300100A011", "12300100003", "1230010000311", " 23001000011",
                          "-23001000011", "123.001.0001", "12300100001\xC3\xA4"}) {
    SCOPED_TRACE(bad);
    ASSERT_EQ(load({{"123001000011", "F"}, {bad, "F"}, {"123001000021", "F"}}, {"F"}), 100);
    EXPECT_EQ(keys(), (std::vector<std::string>{"123001000011F", "123001000021F"}));
    const std::string message = "Der Geländebogen '" + bad +
                                "' (Bogentyp F) wurde übersprungen: die Bogennummer besteht "
                                "nicht aus genau 12 Ziffern.";
    EXPECT_EQ(lastLog(), "D3 clsDBFData.GetBogenNumbers: Warnung! " + message);
    EXPECT_EQ(skipped_, std::vector<std::string>{message});
  }
}

TEST_F(BogenNumbersTest, GetBogenNumbers_ListsSortedByValueWhateverTheStoredOrder) {
  ASSERT_EQ(load({{"456002000011", "F"},
                  {"123001000021", "F"},
                  {"456001000011", "F"},
                  {"123001000011", "F"}},
                 {"F"}),
            100);
  std::vector<std::string> areas;
  for (const auto& [key, root] : roots_) areas.push_back(key);
  EXPECT_EQ(areas, (std::vector<std::string>{"123", "456"}));
  EXPECT_EQ(roots_.find("456")->get()->NodeItem(1)->getNodeValue(), "001");
  EXPECT_EQ(keys(), (std::vector<std::string>{"123001000011F", "123001000021F", "456001000011F",
                                              "456002000011F"}));
  for (const char* none : {"X", "F' OR '1'='1"}) {  // a quote does not break the query
    EXPECT_EQ(load({{"123001000011", "F"}}, {none}), 100);
    EXPECT_TRUE(sheets_.empty());
  }
}

}  // namespace
