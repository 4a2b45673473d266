#include "word/cls_word_doc.h"

#include <gmock/gmock.h>

#include "app/app_fixture.h"
#include "docx/test_package.h"
#include "support/read_only_folder.h"
#include "word/docx/document.h"

using ::testing::HasSubstr;

namespace {

using docx::test::bookmark;
using docx::test::table;
using testsupport::AppFixture;

class WordDocTest : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    out_ = dir_.path() / "out";
    program_ = dir_.path() / "prog";
    std::filesystem::create_directories(program_ / "Templates");
    ASSERT_TRUE(startLog(out_));
    docx::test::TemplateParts parts;
    parts.body = "<w:p>" + bookmark(1, "NAME", "Name des Polygons") + "</w:p>" + "<w:p>" +
                 bookmark(2, "FLAECHE", "") + " ha</w:p>" + "<w:p>" +
                 bookmark(3, "PFSOZ", "0123456789") + "</w:p>" + table({{"Kopf", "Wert", "x"}}) +
                 table({{"Erfassungseinheiten", "", ""}}) +
                 table({{"Struktur", "Codes", ""},
                        {"a", "XL-Hecke, Xerophyten", ""},
                        {"b", "X", "ja"},
                        {"c", "-", ""},
                        {"d", "18,5", "m"},
                        {"e", "", "m"},
                        {"f", "\u2013", ""},
                        {"g", "\u00E4", ""}}) +
                 table({{"Struktur", "Codes", ""}, {"a", "-", ""}, {"b", "", "ja"}});
    parts.header = "<w:p>" + bookmark(9, "POLYGONNR_SEITE", "000 000 0000 00") + "</w:p>";
    for (const char* kind : {"BogenV2GN", "DatenreportV2Deckblatt"})
      docx::test::writeFile(program_ / "Templates" / ("Template" + std::string(kind) + ".dotx"),
                            docx::test::buildTemplate(parts));
  }

  int16_t open(const std::string& name, int16_t offset = 12, bool own = false,
               const std::string& folder = "") {
    return doc_.OpenWordDokument(name, program_.string(), messages_, offset, own, folder);
  }
  std::string lastLog() { return logLines(out_).back(); }

  std::filesystem::path out_, program_;
  word::clsWordDoc doc_;
  std::vector<std::string> messages_;
};

const std::string kKey = "123001000011GN";

TEST_F(WordDocTest, Open_RefusesUnknownKeyMissingTemplateAndMissingOutput) {
  ASSERT_EQ(doc_.CreateWordApplication(), 100);
  EXPECT_EQ(doc_.CreateWordApplication(), 101);
  EXPECT_EQ(lastLog(), "D2 Fehler! Es ist zur Zeit noch eine Wordanwendung aktiv.");
  EXPECT_EQ(open("123001000011Q"), 101);
  EXPECT_EQ(lastLog(),
            "D2 OpenWordDokument: Fehler! Zu dem Geländebogen 123001000011Q existiert "
            "kein passendes Template.");
  EXPECT_EQ(open("123001000011"), 101);
  EXPECT_EQ(lastLog(),
            "D2 OpenWordDokument: Fehler! Der Geländebogen 123001000011 hat keinen Bogentyp.");
  for (const char* key : {"", "-Report"})
    EXPECT_EQ(doc_.TemplateProblem(key, program_.string()),
              "Der Geländebogen hat keinen Bogentyp (GBBOGEN ist leer).");
  EXPECT_EQ(doc_.TemplateProblem("Q-Report", program_.string()),
            "Zu dem Schlüssel Q-Report existiert kein Template.");
  EXPECT_EQ(open("123001000011F"), 101);
  EXPECT_EQ(lastLog(), "D2 OpenWordDokument: Fehler! Die Templatedatei " +
                           (program_ / "Templates/TemplateBogenV2F.dotx").string() +
                           " wurde nicht gefunden.");
  settings().set(app::kDataFilesPfad, "");
  EXPECT_EQ(open(kKey), 101);
  EXPECT_EQ(lastLog(),
            "D2 OpenWordDokument: Fehler! Der Pfad für die zu generierenden Dateien "
            "wurde nicht gefunden.");
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(std::filesystem::exists(out_ / "F"));
}

// Where cover sheets go (report folder, or beside the sheet) the run tests check.
TEST_F(WordDocTest, Close_WritesIntoTypeFolderWhenClosed) {
  ASSERT_EQ(open(kKey), 100);
  // Written once, when closed: a run stopped in between leaves no half-made document.
  EXPECT_FALSE(std::filesystem::exists(out_ / "GN" / (kKey + ".docx")));
  EXPECT_EQ(open(kKey), 101);
  EXPECT_EQ(lastLog(), "D2 OpenWordDokument: Fehler! Es ist zur Zeit noch ein WordDokument aktiv.");
  doc_.CloseWordDokument();
  EXPECT_TRUE(std::filesystem::exists(out_ / "GN" / (kKey + ".docx")));
}

// A code that is a path must never lead a document out of the output folder.
struct UnsafeName {
  const char* name;
  int16_t offset;
  const char* ownFolder;  // "" for the type's folder
};

class WordDocUnsafeName : public WordDocTest, public ::testing::WithParamInterface<UnsafeName> {};

TEST_P(WordDocUnsafeName, IsRefusedAndNothingIsWritten) {
  const UnsafeName& u = GetParam();
  EXPECT_EQ(open(u.name, u.offset, *u.ownFolder != 0, u.ownFolder), 101);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_THAT(messages_[0], HasSubstr("konnte nicht erstellt werden"));
  EXPECT_FALSE(doc_.hasDocument());
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir_.path()))
    EXPECT_NE(e.path().extension(), ".docx") << e.path();
  EXPECT_FALSE(std::filesystem::exists("/tmp/qbx0001GN.docx"));
}

INSTANTIATE_TEST_SUITE_P(Names, WordDocUnsafeName,
                         ::testing::Values(UnsafeName{"../../abcdefGN", 12, ""},
                                           UnsafeName{"../../../../GN", 12, ""},
                                           UnsafeName{"............GN", 12, ""},
                                           UnsafeName{"/tmp/qbx0001GN", 12, ""},
                                           UnsafeName{"12300100001xGN", 12, ""},
                                           UnsafeName{"12300100001Deckblatt", 11, "../.."},
                                           UnsafeName{"12300100001Deckblatt", 11, "/tmp"}));

// A type folder that is a link to elsewhere is refused, also when it was swapped for one after
// a document was written into the real folder.
TEST_F(WordDocTest, Open_TypeFolderLinkedOutsideIsRefused) {
  namespace fs = std::filesystem;
  ASSERT_EQ(open(kKey), 100);
  doc_.CloseWordDokument();
  doc_.DeleteWordApplication();
  const fs::path elsewhere = dir_.path() / "elsewhere";
  fs::create_directories(elsewhere);
  fs::rename(out_ / "GN", dir_.path() / "old");
  fs::create_directory_symlink(elsewhere, out_ / "GN");
  EXPECT_EQ(open(kKey), 101);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_THAT(messages_[0], HasSubstr("liegt nicht im Ausgabeordner"));
  EXPECT_TRUE(fs::is_empty(elsewhere));
}

// A type folder that cannot be made is refused before any work, with a German reason.
TEST_F(WordDocTest, Open_UnwritableOutputFolderIsRefusedInGerman) {
  const testsupport::ReadOnlyFolder readOnly(out_);
  if (!readOnly.binding()) GTEST_SKIP() << "file permissions cannot be made to bind";
  EXPECT_EQ(open(kKey), 101);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "Das Dokument " + (out_ / "GN" / (kKey + ".docx")).string() +
                              " konnte nicht erstellt werden: der Ordner " +
                              (out_ / "GN").string() +
                              " kann nicht angelegt werden: keine Schreibberechtigung.");
}

TEST_F(WordDocTest, Open_FileOpenElsewhereGoesToMessageList) {
  std::filesystem::create_directories(out_ / "GN");
  docx::test::writeFile(out_ / "GN" / (".~lock." + kKey + ".docx#"), "lock");
  EXPECT_EQ(open(kKey), 101);
  const std::string file = (out_ / "GN" / (kKey + ".docx")).string();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "Der Gelängebogen " + file +
                              " konnte nicht generiert werden, da die Datei geöffnet ist.");
  EXPECT_EQ(lastLog(), "D2 Fehler! Der Geländebogen " + file + " konnte nicht generiert werden.");
  EXPECT_FALSE(doc_.hasDocument());
}

TEST_F(WordDocTest, Bookmarks_WriteKeepUnitsAndReportMissing) {
  ASSERT_EQ(open(kKey), 100);
  EXPECT_EQ(doc_.SetTextMarke("NAME", "Großer Moosbruch", "11", true), 100);
  EXPECT_EQ(doc_.SetReportTextMarke("FLAECHE", "12,5", "", false), 100);
  EXPECT_EQ(doc_.GetTextMarkeLength("PFSOZ"), 10);
  EXPECT_EQ(doc_.SetTextMarke_HeadersFooters("POLYGONNR_SEITE", "123 001 0000 11", "", false), 100);
  EXPECT_EQ(doc_.SetTextMarke("FEHLT", "x", "", false), 101);
  EXPECT_EQ(lastLog(), "D2 SetTextMarke: Fehler! Die Textmarke FEHLT existiert nicht.");
  EXPECT_EQ(doc_.SetTextMarke("NAME", "x", "elf", false), 101);
  EXPECT_EQ(lastLog().rfind("D2 SetTextMarke: Fehler! Nicht abgefangener Fehler.", 0), 0u);
  // The operations kept for template variants: text behind a bookmark's content, and one
  // occurrence replaced inside it.
  EXPECT_EQ(doc_.InsertAfter("NAME", 11, " (Nord)", false), 100);
  EXPECT_EQ(doc_.ReplaceTextInTextMarke("PFSOZ", "345", "-", "", "10", false), 100);
  EXPECT_EQ(doc_.ReplaceCheckboxInTextMarke("PFSOZ", "345", "x", "Arial", "", true), 100);
  EXPECT_EQ(lastLog(), "D2 ReplaceCheckboxInTextMarke: Warnung! Artname '345' nicht gefunden.");
  EXPECT_EQ(doc_.InsertAfter("FEHLT", 11, "x", false), 101);
  EXPECT_EQ(lastLog(), "D2 InsertAfter: Fehler! Die Textmarke FEHLT existiert nicht.");
  const auto file = doc_.documentPath();
  doc_.CloseWordDokument();
  doc_.DeleteWordApplication();

  docx::Document back = docx::Document::open(file);
  auto& marks = back.bookmarks();
  EXPECT_EQ(marks.text("NAME", docx::BookmarkScope::kMainText), "Großer Moosbruch (Nord)");
  EXPECT_EQ(marks.text("PFSOZ", docx::BookmarkScope::kMainText), "012-6789");
  EXPECT_EQ(marks.text("FLAECHE", docx::BookmarkScope::kMainText), "12,5");
  EXPECT_EQ(marks.text("POLYGONNR_SEITE", docx::BookmarkScope::kAllStories), "123 001 0000 11");
  EXPECT_EQ(back.protectionType(), 2);
  const auto lines = logLines(out_);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "D1 No Protection activated"), 0);
}

TEST_F(WordDocTest, Guards_WithoutDocumentLogAndAnswer101) {
  EXPECT_EQ(doc_.SetTextMarke("NAME", "x", "", false), 101);
  EXPECT_EQ(lastLog(), "D2 SetTextMarke: Fehler! Es ist zur Zeit kein WordDokument aktiv.");
  EXPECT_EQ(doc_.SetTextMarke_HeadersFooters("NAME", "x", "", false), 101);
  EXPECT_EQ(lastLog(), "D2 SetTextMarke: Fehler! Es ist zur Zeit kein WordDokument aktiv.");
  EXPECT_EQ(doc_.MovePolygon(3, 300), 101);
  EXPECT_EQ(lastLog(), "D2 MovePolygon: Fehler! Es ist zur Zeit kein WordDokument aktiv.");
  EXPECT_EQ(doc_.GetScalefaktor(300, 1, 1, 2), 101);
  EXPECT_EQ(lastLog(), "D2 GetScalefaktor: Fehler! Es ist zur Zeit kein WordDokument aktiv.");
  EXPECT_EQ(doc_.GetTextMarkeLength("NAME"), 0);
  EXPECT_EQ(lastLog().rfind("D2 GetTextMarkeLength: Fehler! Nicht abgefangener Fehler.", 0), 0u);
}

TEST_F(WordDocTest, TableCleanUp_TidiesCodesAndDropsEmptyRowsAndTables) {
  ASSERT_EQ(open(kKey), 100);
  EXPECT_EQ(doc_.TableCleanUp(), 100);
  const auto file = doc_.documentPath();
  doc_.CloseWordDokument();
  doc_.DeleteWordApplication();
  docx::Document back = docx::Document::open(file);
  auto& tables = back.tables();
  ASSERT_EQ(tables.count(), 3);  // the fourth lost all its data rows and went
  // Kept as stored: texts beginning with "X", a decimal comma, a one-letter value; a lone
  // cross is removed (its "ja" stays beside it); empty values and lone dashes lose their row.
  const std::vector<std::string> kept{"XL-Hecke, Xerophyten", "", "18,5", "\u00E4"};
  ASSERT_EQ(tables.rowCount(3), static_cast<int>(kept.size()) + 1);
  for (std::size_t i = 0; i < kept.size(); ++i)
    EXPECT_EQ(tables.cellText(3, static_cast<int>(i) + 2, 2), kept[i]) << i;
  EXPECT_EQ(tables.cellText(3, 3, 3), "ja");
}

// Every stored form anywhere in the text, at the start of a word as well; an empty form
// changes nothing.
TEST_F(WordDocTest, CorrectUmlaute_ReplacesStoredForms) {
  data::UmlautDict dict;
  for (const auto& [letter, form] : std::vector<std::pair<std::string, std::string>>{
           {"ä", "„"}, {"ö", "”"}, {"ü", "\xEF\xBF\xBD"}, {"Ä", "Ž"}, {"Ö", "™"}, {"Ü", "š"}})
    dict.add(letter, form);
  dict.add("ß", "");
  std::string text = "„hnlich ”stlich M\xEF\xBF\xBDhle Žcker ™l šbung Gr”áe";
  EXPECT_EQ(word::clsWordDoc::CorrectUmlaute(&dict, text), 100);
  EXPECT_EQ(text, "ähnlich östlich Mühle Äcker Öl Übung Gröáe");
  EXPECT_EQ(word::clsWordDoc::CorrectUmlaute(nullptr, text), 101);
}

// The map calls themselves are covered by the cover-sheet tests; the scale factor is not used
// there.
TEST_F(WordDocTest, Map_ScaleFactorBringsLongerSideTo300) {
  ASSERT_EQ(open("12300100001Deckblatt", 11), 100);
  int16_t counter = 1;
  ASSERT_EQ(doc_.AddPolyline(counter, {{0, 0}, {2000, 0}, {2000, 1000}, {0, 1000}, {0, 0}}), 100);
  ++counter;
  // The factor that brings the last shape (the 2000 × 1000 frame) to 300 on the side the
  // caller names the longer.
  EXPECT_FLOAT_EQ(doc_.GetScalefaktor(300, 2000, 1000, counter), 0.15f);
  EXPECT_FLOAT_EQ(doc_.GetScalefaktor(300, 1000, 1000, counter), 0.3f);
}

}  // namespace
