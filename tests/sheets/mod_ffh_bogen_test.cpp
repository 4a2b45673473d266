#include "sheets/mod_ffh_bogen.h"

#include "data/species_lists.h"
#include "docx/test_package.h"
#include "sheets/generation_fixture.h"
#include "word/run_context.h"

namespace {

using testsupport::markText;

class SheetGenerationTest : public testsupport::GenerationFixture {
 protected:
  data::Recordset query(const std::string& sql, const std::vector<data::Value>& params = {}) {
    data::Recordset rs;
    EXPECT_TRUE(database_.GetRecordset(0, sql, rs, params)) << sql;
    return rs;
  }
  docx::Document generate(const std::string& key) {
    std::vector<std::string> messages;
    EXPECT_EQ(sheets::FfhBogenGenerateBoegen(key, word::programContext(database_), messages), 100);
    EXPECT_TRUE(messages.empty());
    return docx::Document::open(documentOf(key));
  }
};

TEST_F(SheetGenerationTest, Generate_EveryTypeFillsHeadBodyAndFooter) {
  for (const char* type : {"F", "GN", "GT", "H", "K", "M", "S", "T", "W", "X"}) {
    SCOPED_TRACE(type);
    const std::string key = keyOf(type);
    ASSERT_FALSE(key.empty());
    const std::string code = key.substr(0, 12);
    docx::Document doc = generate(key);

    for (int i = 0; i < 12; ++i)
      EXPECT_EQ(markText(doc, "GBCODENr" + std::to_string(i + 1)), code.substr(i, 1));
    auto polygon =
        query("SELECT POLNAME FROM polygone WHERE POLPOLYGON='" + code.substr(0, 11) + "'");
    ASSERT_FALSE(polygon.isEOF());
    EXPECT_EQ(markText(doc, "NAME"), polygon.value(0).toText());
    auto area = query("SELECT FFH_NR FROM ffhnum WHERE FFHNR=" +
                      std::to_string(std::stoi(code.substr(0, 3))));
    ASSERT_FALSE(area.isEOF());
    const std::string ffh = area.value(0).toText();
    EXPECT_EQ(markText(doc, "GBGebietNr4") + markText(doc, "GBGebietNr5"),
              ffh.substr(3, 1) + ffh.substr(5, 1));  // the separator is skipped
    EXPECT_EQ(markText(doc, "POLYGONNR_SEITE"), code.substr(0, 3) + " " + code.substr(3, 3) + " " +
                                                    code.substr(6, 4) + " " + code.substr(10, 2));

    std::string table;
    ASSERT_TRUE(database_.GetTableName(key, 1, table));
    auto body = query("SELECT * FROM " + table + " WHERE GBCODE='" + code + "'");
    ASSERT_FALSE(body.isEOF());
    for (int n = 1; n < body.fieldCount(); ++n) {
      if (body.value(n).isNull() || body.value(n).toText().empty()) continue;
      EXPECT_EQ(markText(doc, body.fieldName(n)), body.value(n).toText()) << body.fieldName(n);
    }

    auto rows = query(data::speciesQuery(), {data::Value::text(code)});
    const auto lists = data::buildSpeciesLists(rows);
    EXPECT_EQ(markText(doc, "PFLANZEN"), data::listText(lists.group(2)));
    EXPECT_EQ(markText(doc, "ROTELISTE"), data::redListText(lists.redList));
    EXPECT_EQ(doc.protectionType(), 2);
  }
  for (const auto& line : log())
    EXPECT_EQ(line.find("konnte nicht gesetzt werden"), std::string::npos) << line;
}

TEST_F(SheetGenerationTest, Head_TypeXNeverGetsTheCopyCross) {
  const std::string key = keyOf("X");
  auto record = query("SELECT * FROM gbogen WHERE GBCODE='" + key.substr(0, 12) + "'");
  const std::string copyColumn = record.fieldName(27);
  docx::Document doc = generate(key);
  EXPECT_FALSE(doc.bookmarks().exists(copyColumn, docx::BookmarkScope::kMainText) &&
               markText(doc, copyColumn) == "X");
}

TEST_F(SheetGenerationTest, Driver_MissingTemplateWritesNoFileButAnswers100) {
  std::filesystem::remove(app::resourceFolder() / "Templates/TemplateBogenV2H.dotx");
  const std::string key = keyOf("H");
  std::vector<std::string> messages;
  const word::Result made =
      sheets::generateCleanCopy(key, word::programContext(database_), messages);
  EXPECT_EQ(made.code(), word::ResultCode::kNotWritten);
  EXPECT_EQ(made.legacy(), 100);
  EXPECT_FALSE(std::filesystem::exists(documentOf(key)));
  EXPECT_FALSE(logged("D3 FfhBogenGenerateBoegen: Datei " + key + " generiert."));
}

TEST_F(SheetGenerationTest, Driver_MissingTableAnswers101WithoutDocument) {
  const std::string key = keyOf("GN");
  std::filesystem::remove(db_ / "ffhnum.dbf");
  database_.ConnectDBDaten();  // a fresh connection that has not loaded ffhnum yet
  std::vector<std::string> messages;
  // The table check of the driver now fails before anything is opened.
  EXPECT_EQ(sheets::FfhBogenGenerateBoegen(key, word::programContext(database_), messages), 101);
  EXPECT_TRUE(
      logged("D2 FfhBogenGenerateBoegen: Fehler! Die Verbindung zur Datenbank konnte "
             "nicht hergestellt werden."));
  EXPECT_FALSE(std::filesystem::exists(documentOf(key)));
}

TEST_F(SheetGenerationTest, Footer_PlantSociologyCutToPlaceholder) {
  const std::string key = keyOf("F");
  docx::Document doc = generate(key);
  auto rows = query("SELECT * FROM pfsozbew WHERE GELBOGENNR='" + key.substr(0, 12) + "'");
  std::string joined;
  for (; !rows.isEOF(); rows.MoveNext())
    if (!rows.value(1).isNull()) joined += (joined.empty() ? "" : ", ") + rows.value(1).toText();
  const std::string written = markText(doc, "PFSOZ");
  if (joined.empty()) return;
  EXPECT_EQ(joined.rfind(written, 0), 0u) << written;  // a prefix of the joined list
}

TEST_F(SheetGenerationTest, Head_CrossesShareRuleAndBodyFormat) {
  const std::string key = keyOf("K");
  const std::string code = key.substr(0, 12);
  auto record = query("SELECT * FROM gbogen WHERE GBCODE='" + code + "'");
  docx::Document doc = generate(key);
  for (int n = 10; n <= 16; ++n) {
    if (record.value(n).isNull()) continue;
    EXPECT_EQ(markText(doc, record.fieldName(n) + record.value(n).toText()), "X") << n;
  }
  if (!record.value(17).isNull()) {
    const bool zeroShare = record.value(17).toText() == "0";
    EXPECT_EQ(markText(doc, record.fieldName(17)), record.value(17).toText());
    EXPECT_EQ(markText(doc, record.fieldName(29)),
              zeroShare && !record.value(29).isNull() ? record.value(29).toText() : "");
  }
  auto remark = query("SELECT * FROM anmerk WHERE GBCODE='" + code + "'");
  if (!remark.isEOF() && !remark.value(1).isNull()) {
    EXPECT_EQ(markText(doc, "SONSTIGES"), remark.value(1).toText());
  }

  std::string table;
  ASSERT_TRUE(database_.GetTableName(key, 1, table));
  auto body = query("SELECT * FROM " + table + " WHERE GBCODE='" + code + "'");
  const auto xml = docx::test::partXml(testsupport::readFile(documentOf(key)), "word/document.xml");
  int checked = 0;
  for (int n = 1; n < body.fieldCount(); ++n) {
    if (body.value(n).isNull() || body.value(n).toText().empty()) continue;
    const docx::RunFormat format = docx::test::firstRunFormat(*xml, body.fieldName(n));
    EXPECT_EQ(format.bold, true) << body.fieldName(n);
    EXPECT_EQ(format.sizePt, 11) << body.fieldName(n);
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST_F(SheetGenerationTest, Head_FailingQueryLogsAndDocumentIsStillSaved) {
  const std::string key = keyOf("GN");
  testsupport::writeFile(db_ / "ffhnum.dbf", std::string("\x03\x7e\x01\x01 kaputt", 11));
  database_.ConnectDBDaten();
  std::vector<std::string> messages;
  EXPECT_EQ(sheets::FfhBogenGenerateBoegen(key, word::programContext(database_), messages), 100);
  const auto lines = log();
  auto at = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line); };
  const auto head = at("D2 FfhBogenGenerateBoegen: Fehler! Der Kopfbereich für " + key +
                       " konnte nicht erstellt werden.");
  const auto done = at("D3 FfhBogenGenerateBoegen: Datei " + key + " generiert.");
  ASSERT_NE(head, lines.end());
  ASSERT_NE(done, lines.end());
  EXPECT_LT(head, done);
  EXPECT_TRUE(std::filesystem::exists(documentOf(key)));
}

TEST_F(SheetGenerationTest, Head_MissingBookmarkLogsBothLines) {
  word::clsWordDoc& doc = word::g_WordDoc();
  std::vector<std::string> messages;
  ASSERT_EQ(doc.CreateWordApplication(), 100);
  ASSERT_EQ(doc.OpenWordDokument(keyOf("F"), word::programFolder(), messages, 12, false, ""), 100);
  sheets::FfhGenerateHead("12", "GBFEHLT", word::programContext(database_));
  doc.CloseWordDokument();
  doc.DeleteWordApplication();
  EXPECT_TRUE(logged("D2 SetTextMarke: Fehler! Die Textmarke GBFEHLT1 existiert nicht."));
  EXPECT_TRUE(
      logged("D3 FfhGenerateHead: Fehler! Die Textmarke GBFEHLT5 konnte nicht gesetzt werden."));
}

}  // namespace
