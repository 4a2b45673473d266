#include "sheets/mod_ffh_bogen.h"

#include "data/species_lists.h"
#include "docx/test_package.h"
#include "sheets/generation_fixture.h"
#include "support/survey_fixture.h"
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

// Every type: head (code digits, names, crosses, the share rule; type X never gets the copy
// cross), body (values bold in 11 pt) and footer, as the sample's rows hold them.
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
    auto record = query("SELECT * FROM gbogen WHERE GBCODE='" + code + "'");
    for (int n = 10; n <= 16; ++n) {
      if (record.value(n).isNull() || std::string(type) == "X") continue;  // X has no crosses
      EXPECT_EQ(markText(doc, record.fieldName(n) + record.value(n).toText()), "X") << n;
    }
    if (!record.value(17).isNull()) {
      const bool zeroShare = record.value(17).toText() == "0";
      EXPECT_EQ(markText(doc, record.fieldName(17)), record.value(17).toText());
      EXPECT_EQ(markText(doc, record.fieldName(29)),
                zeroShare && !record.value(29).isNull() ? record.value(29).toText() : "");
    }
    const std::string copyColumn = record.fieldName(27);
    if (std::string(type) == "X") {
      EXPECT_FALSE(doc.bookmarks().exists(copyColumn, docx::BookmarkScope::kMainText) &&
                   markText(doc, copyColumn) == "X");
    }

    std::string table;
    ASSERT_TRUE(database_.GetTableName(key, 1, table));
    auto body = query("SELECT * FROM " + table + " WHERE GBCODE='" + code + "'");
    ASSERT_FALSE(body.isEOF());
    const auto xml =
        docx::test::partXml(testsupport::readFile(documentOf(key)), "word/document.xml");
    for (int n = 1; n < body.fieldCount(); ++n) {
      if (body.value(n).isNull() || body.value(n).toText().empty()) continue;
      EXPECT_EQ(markText(doc, body.fieldName(n)), body.value(n).toText()) << body.fieldName(n);
      const docx::RunFormat format = docx::test::firstRunFormat(*xml, body.fieldName(n));
      EXPECT_EQ(format.bold, true) << body.fieldName(n);
      EXPECT_EQ(format.sizePt, 11) << body.fieldName(n);
    }

    auto remark = query("SELECT * FROM anmerk WHERE GBCODE='" + code + "'");
    if (!remark.isEOF() && !remark.value(1).isNull()) {
      EXPECT_EQ(markText(doc, "SONSTIGES"), remark.value(1).toText());
    }
    // The plant sociology is cut to its placeholder: a prefix of the joined list.
    auto sociology = query("SELECT * FROM pfsozbew WHERE GELBOGENNR='" + code + "'");
    std::string joined;
    for (; !sociology.isEOF(); sociology.MoveNext())
      if (!sociology.value(1).isNull())
        joined += (joined.empty() ? "" : ", ") + sociology.value(1).toText();
    if (!joined.empty()) {
      EXPECT_EQ(joined.rfind(markText(doc, "PFSOZ"), 0), 0u) << markText(doc, "PFSOZ");
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

// Letters reach the sheet as stored in every table whose code page is known; only a table whose
// texts are known to be mis-decoded (DOS bytes marked as Windows text) has its umlauts repaired,
// in its character fields and in its memos.
TEST_F(SheetGenerationTest, Generate_StoredLettersKeptMisDecodedRepaired) {
  const std::string key = keyOf("F");
  const std::string code = key.substr(0, 12);
  const std::string german = "Mühle, Größe, östlich, Äcker, Öl, Übung, \"ähnlich\"";
  const struct {
    const char* codePage;
    char ldid;  // written over the language driver byte unless 0
    std::string text;
  } cases[] = {
      {"CP1252", 0, "Málaga, Žár, Tešín „Quelle” ™ " + german},
      {"UTF-8", 0, "Sázava „Quelle” ™ " + german},
      {"CP850", 0x03, german},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codePage);
    testsupport::writeTable(db_ / "polygone.dbf",
                            {{"POLPOLYGON", 'C', 11, 0}, {"POLNAME", 'C', 120, 0}},
                            {{code.substr(0, 11), c.text}}, c.codePage);
    testsupport::writeTable(db_ / "anmerk.dbf", {{"GBCODE", 'C', 12, 0}, {"ANMERKUNG", 'M', 10, 0}},
                            {{code, c.text}}, c.codePage);
    for (const char* table : {"polygone", "anmerk"}) {
      if (c.ldid) testsupport::patchFile(db_ / (std::string(table) + ".dbf"), 29, {c.ldid});
      if (std::string(c.codePage) != "UTF-8")
        std::filesystem::remove(db_ / (table + std::string(".cpg")));
    }
    database_.ConnectDBDaten();
    docx::Document doc = generate(key);
    EXPECT_EQ(markText(doc, "NAME"), c.text);
    EXPECT_EQ(markText(doc, "SONSTIGES"), c.text);
  }
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

// The area table gone: the driver's table check fails before anything is opened, and no
// document is made. The table unreadable: only the head fails and the document is still saved.
TEST_F(SheetGenerationTest, Driver_AreaTableGoneOrUnreadable) {
  const std::string key = keyOf("GN");
  std::filesystem::remove(db_ / "ffhnum.dbf");
  database_.ConnectDBDaten();  // a fresh connection that has not loaded ffhnum yet
  std::vector<std::string> messages;
  EXPECT_EQ(sheets::FfhBogenGenerateBoegen(key, word::programContext(database_), messages), 101);
  EXPECT_TRUE(
      logged("D2 FfhBogenGenerateBoegen: Fehler! Die Verbindung zur Datenbank konnte "
             "nicht hergestellt werden."));
  EXPECT_FALSE(std::filesystem::exists(documentOf(key)));

  testsupport::writeFile(db_ / "ffhnum.dbf", std::string("\x03\x7e\x01\x01 kaputt", 11));
  database_.ConnectDBDaten();
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
