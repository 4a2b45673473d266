#include "word/docx/bookmarks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/expect_throw.h"
#include "test_package.h"
#include "word/docx/document.h"
#include "word/docx/range_walk.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

using test::buildTemplate;
using test::openBody;
using test::para;
using test::partXml;
using ::testing::HasSubstr;
using testsupport::thrownValue;

std::string start(int id, const std::string& name) {
  return "<w:bookmarkStart w:id=\"" + std::to_string(id) + "\" w:name=\"" + name + "\"/>";
}
std::string end(int id) {
  return "<w:bookmarkEnd w:id=\"" + std::to_string(id) + "\"/>";
}
std::string run(const std::string& text, const std::string& rPr = "") {
  return "<w:r>" + (rPr.empty() ? "" : "<w:rPr>" + rPr + "</w:rPr>") +
         "<w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

// The code of the DocxError that replacing the bookmark's text raises, and its message.
std::pair<ErrorCode, std::string> replaceError(Document& doc, const std::string& name,
                                               BookmarkScope scope = BookmarkScope::kAllStories) {
  return thrownValue<DocxError>(
             [&] { doc.bookmarks().replace(name, "neu", {}, scope); },
             [](const DocxError& e) { return std::pair(e.code(), std::string(e.what())); })
      .value_or(std::pair(ErrorCode{}, std::string()));
}

// Plain text of the whole body as the range walker sees it.
std::string bodyText(Document& doc) {
  auto xml = partXml(doc.toBytes(), "word/document.xml");
  return textOfContainer(xml->document_element().child("w:body"));
}

constexpr auto kAll = BookmarkScope::kAllStories;

TEST(bookmark_replace, spanning_runs_keeps_bookmark_around_new_text) {
  Document doc = openBody("<w:p>" + run("Vor ") + start(1, "A") + run("Hal") + run("lo", "<w:b/>") +
                          end(1) + run("nach") + "</w:p>");
  EXPECT_TRUE(doc.bookmarks().exists("a", kAll));  // names ignore case, as in word processors
  EXPECT_FALSE(doc.bookmarks().exists("B", kAll));
  EXPECT_EQ(doc.bookmarks().text("A", kAll), "Hallo");
  EXPECT_THROW(doc.bookmarks().text("B", kAll), DocxError);
  doc.bookmarks().replace("A", "Welt", {}, kAll);
  EXPECT_EQ(doc.bookmarks().text("A", kAll), "Welt");
  EXPECT_EQ(doc.bookmarks().length("A", kAll), 4u);
  doc.bookmarks().replace("A", "Grünland", {}, kAll);
  EXPECT_EQ(doc.bookmarks().text("A", kAll), "Grünland");
  EXPECT_EQ(doc.bookmarks().length("A", kAll), 8u);  // UTF-16 units, not bytes
  EXPECT_EQ(utf16Length("\xF0\x9D\x84\x9E"), 2u);    // one character outside the BMP
  EXPECT_EQ(bodyText(doc), "Vor Grünlandnach");
  // The bookmark survives saving and reopening.
  Document again = Document::fromBytes(doc.toBytes(), "again.docx");
  EXPECT_EQ(again.bookmarks().text("A", kAll), "Grünland");
}

// A bookmark's text leaves out what its range holds in properties, field codes, deletions and
// drawings, and keeps what stands in insertions, links and other wrappers; the same name with
// one letter more or less is an ordinary wrapper.
TEST(bookmark_text, leaves_out_properties_fields_deletions_and_drawings) {
  const auto textAround = [](const std::string& tag) {
    const std::string xmlns = tag.rfind("mc:", 0) == 0 ? " xmlns:mc=\"urn:mc\"" : "";
    Document doc = openBody("<w:p>" + start(1, "A") + run("a") + "<" + tag + xmlns + ">" +
                            run("X") + "</" + tag + ">" + run("b") + end(1) + "</w:p>");
    return doc.bookmarks().text("A", kAll);
  };
  for (const char* tag : {"w:rPr", "w:pPr", "w:tblPr", "w:trPr", "w:tcPr", "w:tblGrid", "w:sectPr",
                          "w:instrText", "w:delText", "w:del", "w:moveFrom", "w:drawing", "w:pict",
                          "w:object", "w:fldData", "mc:AlternateContent", "w:tblPrEx", "w:ffData"})
    EXPECT_EQ(textAround(tag), "ab") << tag;
  for (const char* tag : {"w:r", "w:ins", "w:moveTo", "w:hyperlink", "w:sdt", "w:smartTag",
                          "w:customXml", "w:fldSimple", "w:rPrX", "w:tcP", "mc:AlternateContenT"})
    EXPECT_EQ(textAround(tag), "aXb") << tag;
}

// Replacing a bookmark's content in different surroundings: the bookmark's text afterwards and
// the body's text.
struct ReplaceCase {
  const char* what;
  std::string body;
  std::string name;
  std::string before;  // the bookmark's text before replacing
  std::string text;
  std::string bodyAfter;
  std::string stored = {};  // the bookmark's text afterwards where it differs from text
};

class bookmark_replace_in : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(bookmark_replace_in, keeps_bookmark_around_new_text) {
  const ReplaceCase& c = GetParam();
  Document doc = openBody(c.body);
  EXPECT_EQ(doc.bookmarks().text(c.name, kAll), c.before);
  doc.bookmarks().replace(c.name, c.text, {}, kAll);
  EXPECT_TRUE(doc.bookmarks().exists(c.name, kAll));
  EXPECT_EQ(doc.bookmarks().text(c.name, kAll), c.stored.empty() ? c.text : c.stored);
  EXPECT_EQ(bodyText(doc), c.bodyAfter);  // the saved part is well-formed XML
}

INSTANTIATE_TEST_SUITE_P(
    surroundings, bookmark_replace_in,
    ::testing::Values(
        ReplaceCase{"empty_text", "<w:p>" + start(1, "A") + run("Inhalt") + end(1) + "</w:p>", "A",
                    "Inhalt", "", ""},
        ReplaceCase{"spanning_paragraphs_joins_them",
                    "<w:p>" + run("Anfang ") + start(1, "A") + run("eins") + "</w:p>" +
                        para("zwei") + "<w:p>" + run("drei") + end(1) + run(" Ende") + "</w:p>" +
                        para("danach"),
                    "A", "eins\rzwei\rdrei", "X", "Anfang X Ende\rdanach"},
        ReplaceCase{"markers_between_paragraphs",
                    start(1, "BLOCK") + para("Inhalt") + end(1) + para("Folgt"), "BLOCK",
                    "Inhalt\r", "Neu", "Neu\rFolgt"},
        ReplaceCase{"empty_markers_between_paragraphs", start(2, "LEER") + end(2) + para("Folgt"),
                    "LEER", "", "X", "XFolgt"},
        ReplaceCase{"empty_bookmark_behind_last_paragraph",
                    para("Ende") + start(4, "SCHLUSS") + end(4), "SCHLUSS", "", " und aus",
                    "Ende und aus"},
        ReplaceCase{"inside_table_cell",
                    "<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol "
                    "w:w=\"3000\"/></w:tblGrid><w:tr><w:tc>" +
                        para("Art:") + "</w:tc><w:tc><w:p>" + start(3, "ART") + run("....") +
                        end(3) + "</w:p></w:tc></w:tr></w:tbl>" + para(""),
                    "ART", "....", "Carex acuta", "Art:\rCarex acuta\r"},
        ReplaceCase{"control_characters_and_bad_utf8", "<w:p>" + start(1, "A") + end(1) + "</w:p>",
                    "A", "",
                    "a\x01"
                    "b\xff"
                    "c<&>",
                    "ab\xEF\xBF\xBD"
                    "c<&>",
                    "ab\xEF\xBF\xBD"
                    "c<&>"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(bookmark_replace, formatting_from_first_run_and_format_override) {
  Document doc = openBody(
      "<w:p>" + start(1, "A") +
      run("alt", "<w:rFonts w:ascii=\"Courier New\"/><w:i/><w:lang w:val=\"de-DE\"/>") + end(1) +
      "</w:p><w:p>" + start(2, "B") +
      run("alt", "<w:i/><w:sz w:val=\"30\"/><w:lang w:val=\"de-DE\"/>") + end(2) + "</w:p>");
  doc.bookmarks().replace("A", "neu", {}, kAll);
  RunFormat format{true, std::string("Times New Roman"), 11.0};
  doc.bookmarks().replace("B", "fett", format, kAll);
  auto xml = partXml(doc.toBytes(), "word/document.xml");
  pugi::xml_node rPrA = xml->select_node("/w:document/w:body/w:p[1]/w:r/w:rPr").node();
  EXPECT_STREQ(rPrA.child("w:rFonts").attribute("w:ascii").value(), "Courier New");
  EXPECT_TRUE(rPrA.child("w:i"));
  pugi::xml_node rPrB = xml->select_node("/w:document/w:body/w:p[2]/w:r/w:rPr").node();
  EXPECT_TRUE(rPrB.child("w:b") && rPrB.child("w:i"));  // the override and what it left alone
  EXPECT_STREQ(rPrB.child("w:sz").attribute("w:val").value(), "22");
  EXPECT_STREQ(rPrB.child("w:rFonts").attribute("w:hAnsi").value(), "Times New Roman");
  // Not bold is written explicitly so a bold style underneath does not show through.
  doc.bookmarks().replace("B", "normal", RunFormat{false, {}, {}}, kAll);
  xml = partXml(doc.toBytes(), "word/document.xml");
  pugi::xml_node b = xml->select_node("/w:document/w:body/w:p[2]/w:r/w:rPr/w:b").node();
  EXPECT_STREQ(b.attribute("w:val").value(), "0");
}

TEST(bookmark_replace, line_feed_is_break_and_carriage_return_is_paragraph) {
  Document doc = openBody("<w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr>" + run("Vor ") +
                          start(1, "A") + run("x") + end(1) + run(" nach") + "</w:p>");
  doc.bookmarks().replace("A", "eins\nzwei\rdrei", {}, kAll);
  EXPECT_EQ(doc.bookmarks().text("A", kAll), "eins\nzwei\rdrei");
  EXPECT_EQ(bodyText(doc), "Vor eins\nzwei\rdrei nach");
  auto xml = partXml(doc.toBytes(), "word/document.xml");
  pugi::xml_node body = xml->document_element().child("w:body");
  int paragraphs = 0;
  for (pugi::xml_node p = body.child("w:p"); p; p = p.next_sibling("w:p")) {
    ++paragraphs;
    EXPECT_STREQ(p.child("w:pPr").child("w:jc").attribute("w:val").value(), "right");
  }
  EXPECT_EQ(paragraphs, 2);
  EXPECT_TRUE(body.child("w:p").find_node([](pugi::xml_node n) { return is(n, "w:br"); }));
  // The end marker moved into the second paragraph with the tail of the text.
  EXPECT_TRUE(body.child("w:p").next_sibling("w:p").child("w:bookmarkEnd"));
}

TEST(bookmark_scope, header_and_footer_bookmarks) {
  Document doc = Document::fromBytes(
      buildTemplate({para("Text"), "<w:p>" + start(5, "KOPF") + run("Seite") + end(5) + "</w:p>",
                     "<w:p>" + start(6, "FUSS") + end(6) + "</w:p>", true, true, ""}),
      "t.dotx");
  EXPECT_TRUE(doc.bookmarks().exists("KOPF", kAll));
  EXPECT_FALSE(doc.bookmarks().exists("KOPF", BookmarkScope::kMainText));
  const auto [code, message] = replaceError(doc, "KOPF", BookmarkScope::kMainText);
  EXPECT_EQ(code, ErrorCode::kBookmarkNotFound);
  EXPECT_THAT(message, HasSubstr("KOPF"));
  doc.bookmarks().replace("KOPF", "000 000 0000 01", {}, kAll);
  doc.bookmarks().replace("FUSS", "Fuß", {}, kAll);
  const std::string bytes = doc.toBytes();
  EXPECT_EQ(textOfContainer(partXml(bytes, "word/header1.xml")->document_element()),
            "000 000 0000 01");
  EXPECT_EQ(textOfContainer(partXml(bytes, "word/footer1.xml")->document_element()), "Fuß");
}

TEST(bookmark_replace, nested_and_overlapping_bookmarks) {
  Document doc =
      openBody("<w:p>" + start(1, "AUSSEN") + run("a") + start(2, "INNEN") + run("b") + end(2) +
               start(3, "QUER") + run("c") + end(1) + run("d") + end(3) + "</w:p>");
  doc.bookmarks().replace("AUSSEN", "neu", {}, kAll);
  EXPECT_EQ(doc.bookmarks().text("AUSSEN", kAll), "neu");
  // A bookmark wholly inside the replaced text goes with it ...
  EXPECT_FALSE(doc.bookmarks().exists("INNEN", kAll));
  // ... one reaching outside keeps the part outside.
  ASSERT_TRUE(doc.bookmarks().exists("QUER", kAll));
  EXPECT_EQ(doc.bookmarks().text("QUER", kAll), "d");
  EXPECT_EQ(bodyText(doc), "neud");
}

TEST(bookmark_insert, before_and_behind_content_inside_bookmark) {
  Document doc =
      openBody("<w:p>" + start(1, "A") + run("Wert", "<w:i/>") + end(1) + run("!") + "</w:p>");
  doc.bookmarks().insert("A", "12,5", {}, kAll, false);
  doc.bookmarks().insert("A", " ha", RunFormat{true, {}, {}}, kAll, true);
  EXPECT_EQ(doc.bookmarks().text("A", kAll), "12,5Wert ha");
  EXPECT_EQ(bodyText(doc), "12,5Wert ha!");
  auto xml = partXml(doc.toBytes(), "word/document.xml");
  // The first run took the formatting of the content.
  EXPECT_TRUE(xml->select_node("/w:document/w:body/w:p/w:r[1]/w:rPr/w:i"));
}

TEST(bookmark_font, applies_to_every_run_in_range) {
  Document doc =
      openBody("<w:p>" + run("aus") + start(1, "A") + run("ein") + run("zwei") + end(1) + "</w:p>");
  doc.bookmarks().setFont("A", RunFormat{true, std::string("Arial"), 8.0}, kAll);
  auto xml = partXml(doc.toBytes(), "word/document.xml");
  const auto bold = xml->select_nodes("/w:document/w:body/w:p/w:r/w:rPr[w:b]");
  EXPECT_EQ(bold.size(), 2u);
  for (const auto& rPr : bold)
    EXPECT_STREQ(rPr.node().child("w:sz").attribute("w:val").value(), "16");
  EXPECT_THROW(doc.bookmarks().setFont("A", RunFormat{{}, {}, 0.0}, kAll), DocxError);
}

TEST(bookmark_find_replace, first_occurrence_across_runs_within_paragraph) {
  Document doc = openBody("<w:p>" + run("vor Poa ") + start(1, "ARTEN") + run("Carex acu") +
                          run("ta, Poa annua") + end(1) + "</w:p><w:p>" + run("Poa") + "</w:p>");
  EXPECT_TRUE(doc.bookmarks().replaceFirst("ARTEN", "acuta", "nigra", kAll));
  EXPECT_EQ(doc.bookmarks().text("ARTEN", kAll), "Carex nigra, Poa annua");
  EXPECT_TRUE(doc.bookmarks().replaceFirst("ARTEN", "Poa", "Festuca", kAll));
  EXPECT_EQ(doc.bookmarks().text("ARTEN", kAll), "Carex nigra, Festuca annua");
  // Text outside the bookmark is not searched.
  EXPECT_FALSE(doc.bookmarks().replaceFirst("ARTEN", "vor", "x", kAll));
  EXPECT_EQ(bodyText(doc), "vor Poa Carex nigra, Festuca annua\rPoa");
  EXPECT_THROW(doc.bookmarks().replaceFirst("ARTEN", "", "x", kAll), DocxError);
}

TEST(bookmark_replace, broken_markers_fail_without_changing_document) {
  const std::string body = end(1) + "<w:p>" + run("x") + "</w:p>" + start(1, "VERDREHT") + "<w:p>" +
                           start(2, "OK") + run("y") + end(2) + start(3, "OFFEN") + "</w:p>";
  Document reference = openBody(body);
  reference.bookmarks().replace("OK", "z", {}, kAll);
  Document doc = openBody(body);
  EXPECT_EQ(replaceError(doc, "VERDREHT").first, ErrorCode::kMalformedXml);
  EXPECT_THROW(doc.bookmarks().insert("VERDREHT", "neu", {}, kAll, true), DocxError);
  const auto [code, message] = replaceError(doc, "OFFEN");
  EXPECT_EQ(code, ErrorCode::kBookmarkNotFound);
  EXPECT_THAT(message, HasSubstr("kein Ende"));
  doc.bookmarks().replace("OK", "z", {}, kAll);
  EXPECT_EQ(test::partText(doc.toBytes(), "word/document.xml"),
            test::partText(reference.toBytes(), "word/document.xml"));
}

}  // namespace
}  // namespace docx
