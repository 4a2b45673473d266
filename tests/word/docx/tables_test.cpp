#include "word/docx/tables.h"

#include <gtest/gtest.h>

#include "support/expect_throw.h"
#include "test_package.h"
#include "word/docx/document.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

using test::cell;
using test::openBody;
using test::para;
using test::partXml;

std::string boldPara(const std::string& text) {
  return "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>" + text + "</w:t></w:r></w:p>";
}

// Table 1: a 2-row table with cells 2000/3000/4000; a nested table in its first cell.
// Table 2: one row, one cell holding a bookmark.
Document openTables() {
  const std::string grid =
      "<w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"3000\"/><w:gridCol "
      "w:w=\"4000\"/></w:tblGrid>";
  const std::string nested = "<w:tbl><w:tblGrid><w:gridCol w:w=\"1000\"/></w:tblGrid><w:tr>" +
                             cell(1000, para("innen")) + "</w:tr></w:tbl>" + para("");
  return openBody(para("Kopf") + "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr>" +
                  grid + "<w:tr>" + cell(2000, nested) + cell(3000, para("b1")) +
                  cell(4000, para("c1")) + "</w:tr><w:tr>" +
                  cell(2000, boldPara("a2") + para("a2b")) + cell(3000, para("")) +
                  cell(4000, boldPara("c2")) + "</w:tr></w:tbl>" + para("zwischen") +
                  "<w:tbl><w:tblGrid><w:gridCol w:w=\"9000\"/></w:tblGrid><w:tr>" +
                  cell(9000,
                       "<w:p><w:bookmarkStart w:id=\"7\" w:name=\"ZELLE\"/><w:r><w:t>z</w:t></w:r>"
                       "<w:bookmarkEnd w:id=\"7\"/></w:p>") +
                  "</w:tr></w:tbl>" + para("Ende"));
}

// Every row's spans add up to the grid's column count, and the grid matches the cell widths.
void expectConsistentGrid(const std::string& bytes, int tableIndex) {
  auto xml = partXml(bytes, "word/document.xml");
  pugi::xml_node tbl = xml->document_element().child("w:body").child("w:tbl");
  for (int i = 1; i < tableIndex; ++i) tbl = tbl.next_sibling("w:tbl");
  int columns = 0;
  int gridWidth = 0;
  for (pugi::xml_node gc : tbl.child("w:tblGrid").children("w:gridCol")) {
    ++columns;
    gridWidth += gc.attribute("w:w").as_int();
  }
  for (pugi::xml_node tr : tbl.children("w:tr")) {
    int spans = 0;
    int width = 0;
    for (pugi::xml_node tc : tr.children("w:tc")) {
      pugi::xml_node gs = tc.child("w:tcPr").child("w:gridSpan");
      spans += gs ? gs.attribute("w:val").as_int() : 1;
      width += tc.child("w:tcPr").child("w:tcW").attribute("w:w").as_int();
    }
    EXPECT_EQ(spans, columns);
    EXPECT_EQ(width, gridWidth);
  }
}

TEST(table_read, counts_in_body_order_without_nested_tables) {
  Document doc = openTables();
  EXPECT_EQ(doc.tables().count(), 2);
  EXPECT_EQ(doc.tables().rowCount(1), 2);
  EXPECT_EQ(doc.tables().rowCount(2), 1);
  EXPECT_EQ(doc.tables().cellCount(1, 1), 3);
  EXPECT_EQ(doc.tables().cellText(1, 2, 1), "a2\ra2b");
  EXPECT_EQ(doc.tables().cellText(1, 1, 3), "c1");
  EXPECT_EQ(doc.tables().cellText(2, 1, 1), "z");
  EXPECT_EQ(
      testsupport::thrownValue<DocxError>([&] { doc.tables().rowCount(3); }, &DocxError::code),
      ErrorCode::kTableOutOfRange);
  EXPECT_THROW(doc.tables().cellText(1, 3, 1), DocxError);
  EXPECT_THROW(doc.tables().cellText(1, 1, 4), DocxError);
}

TEST(table_rows, append_copies_layout_and_formatting_but_not_content) {
  Document doc = openTables();
  doc.tables().appendRow(2);  // its only row holds a bookmark
  EXPECT_EQ(doc.tables().rowCount(2), 2);
  EXPECT_EQ(doc.tables().cellText(2, 2, 1), "");
  EXPECT_EQ(doc.bookmarks().text("ZELLE", BookmarkScope::kAllStories), "z");
  doc.tables().appendRow(1);
  EXPECT_EQ(doc.tables().rowCount(1), 3);
  EXPECT_EQ(doc.tables().cellCount(1, 3), 3);
  doc.tables().setCellText(1, 3, 3, "neu");
  const std::string bytes = doc.toBytes();
  auto xml = partXml(bytes, "word/document.xml");
  // The copy carries no second bookmark of the same name.
  EXPECT_EQ(xml->select_nodes("/w:document/w:body/w:tbl[2]//w:bookmarkStart").size(), 1u);
  pugi::xml_node c3 = xml->select_node("/w:document/w:body/w:tbl[1]/w:tr[3]/w:tc[3]").node();
  EXPECT_TRUE(c3.select_node("w:p/w:r/w:rPr/w:b"));  // bold like the row above
  EXPECT_STREQ(c3.child("w:tcPr").child("w:tcW").attribute("w:w").value(), "4000");
}

TEST(table_rows, delete_row_and_last_row_deletes_table) {
  Document doc = openTables();
  doc.tables().deleteRow(1, 1);
  EXPECT_EQ(doc.tables().rowCount(1), 1);
  EXPECT_EQ(doc.tables().cellText(1, 1, 1), "a2\ra2b");
  ASSERT_TRUE(doc.bookmarks().exists("ZELLE", BookmarkScope::kAllStories));  // found, then gone
  doc.tables().deleteRow(2, 1);
  EXPECT_EQ(doc.tables().count(), 1);
  EXPECT_FALSE(doc.bookmarks().exists("ZELLE", BookmarkScope::kAllStories));
  EXPECT_THROW(doc.tables().deleteRow(1, 2), DocxError);
}

TEST(table_rows, deleting_a_row_keeps_bookmarks_reaching_outside) {
  // VORN starts in front of the table and ends in row 1; WEIT starts in row 1 and ends behind.
  const std::string body =
      "<w:p><w:r><w:t>vor</w:t></w:r><w:bookmarkStart w:id=\"2\" w:name=\"VORN\"/>"
      "<w:r><w:t>drau</w:t></w:r></w:p>"
      "<w:tbl><w:tblGrid><w:gridCol w:w=\"9000\"/></w:tblGrid><w:tr>" +
      cell(9000,
           "<w:p><w:r><w:t>x</w:t></w:r><w:bookmarkEnd w:id=\"2\"/>"
           "<w:bookmarkStart w:id=\"1\" w:name=\"WEIT\"/><w:r><w:t>x</w:t></w:r></w:p>") +
      "</w:tr><w:tr>" + cell(9000, para("y")) +
      "</w:tr></w:tbl><w:p><w:r><w:t>drau</w:t></w:r>"
      "<w:bookmarkEnd w:id=\"1\"/><w:r><w:t>ssen</w:t></w:r></w:p>";
  Document doc = openBody(body);
  doc.tables().deleteRow(1, 1);
  constexpr auto kAll = BookmarkScope::kAllStories;
  ASSERT_TRUE(doc.bookmarks().exists("VORN", kAll));
  ASSERT_TRUE(doc.bookmarks().exists("WEIT", kAll));
  EXPECT_EQ(doc.bookmarks().text("VORN", kAll), "drau\r");
  doc.bookmarks().replace("VORN", "neu", {}, kAll);
  EXPECT_EQ(doc.bookmarks().text("VORN", kAll), "neu");
  // WEIT now starts where the deleted row was and still ends behind the table.
  EXPECT_EQ(doc.bookmarks().text("WEIT", kAll), "y\rdrau");
  EXPECT_EQ(doc.tables().rowCount(1), 1);
}

TEST(table_cells, merge_row_into_one_cell_then_split_it_into_three) {
  Document doc = openTables();
  doc.tables().mergeRow(1, 2);
  EXPECT_EQ(doc.tables().cellCount(1, 2), 1);
  EXPECT_EQ(doc.tables().cellText(1, 2, 1), "a2\ra2b\rc2");  // the empty middle cell adds nothing
  std::string bytes = doc.toBytes();
  expectConsistentGrid(bytes, 1);
  auto xml = partXml(bytes, "word/document.xml");
  pugi::xml_node merged = xml->select_node("/w:document/w:body/w:tbl/w:tr[2]/w:tc").node();
  EXPECT_STREQ(merged.child("w:tcPr").child("w:gridSpan").attribute("w:val").value(), "3");
  EXPECT_STREQ(merged.child("w:tcPr").child("w:tcW").attribute("w:w").value(), "9000");

  doc.tables().splitRow(1, 2, 3);
  EXPECT_EQ(doc.tables().cellCount(1, 2), 3);
  EXPECT_EQ(doc.tables().cellCount(1, 1), 3);
  EXPECT_EQ(doc.tables().cellText(1, 2, 1), "a2\ra2b\rc2");
  EXPECT_EQ(doc.tables().cellText(1, 2, 2), "");
  bytes = doc.toBytes();
  expectConsistentGrid(bytes, 1);
  xml = partXml(bytes, "word/document.xml");
  std::vector<int> grid;
  for (const auto& gc : xml->select_nodes("/w:document/w:body/w:tbl[1]/w:tblGrid/w:gridCol"))
    grid.push_back(gc.node().attribute("w:w").as_int());
  // Boundaries 2000/5000/9000 of row 1 and 3000/6000/9000 of row 2.
  EXPECT_EQ(grid, (std::vector<int>{2000, 1000, 2000, 1000, 3000}));
  EXPECT_THROW(doc.tables().splitRow(1, 2, 0), DocxError);
}

TEST(table_cells, set_text_with_paragraphs_and_font) {
  Document doc = openTables();
  doc.tables().setCellText(1, 1, 2, "Titel\r", RunFormat{true, std::string("Times New Roman"), {}});
  EXPECT_EQ(doc.tables().cellText(1, 1, 2), "Titel\r");
  doc.tables().setCellText(1, 1, 3, "eins\nzwei");
  EXPECT_EQ(doc.tables().cellText(1, 1, 3), "eins\nzwei");
  doc.tables().setCellFont(1, 1, 3, RunFormat{true, {}, 9.0});
  auto xml = partXml(doc.toBytes(), "word/document.xml");
  pugi::xml_node tc = xml->select_node("/w:document/w:body/w:tbl/w:tr[1]/w:tc[3]").node();
  EXPECT_TRUE(tc.select_node("w:p/w:r/w:rPr/w:b"));
  EXPECT_STREQ(tc.select_node("w:p/w:pPr/w:rPr/w:sz/@w:val").attribute().value(), "18");
}

TEST(table_delete, removes_table_and_keeps_body_valid) {
  const std::string body = "<w:tbl><w:tblGrid><w:gridCol w:w=\"9000\"/></w:tblGrid><w:tr>" +
                           cell(9000, para("nur")) + "</w:tr></w:tbl>";
  Document doc = openBody(body);
  doc.tables().deleteTable(1);
  EXPECT_EQ(doc.tables().count(), 0);
  auto xml = partXml(doc.toBytes(), "word/document.xml");
  pugi::xml_node b = xml->document_element().child("w:body");
  ASSERT_TRUE(b.child("w:p"));
  EXPECT_TRUE(is(b.child("w:p").next_sibling(), "w:sectPr"));  // paragraph before section end
  EXPECT_THROW(doc.tables().deleteTable(1), DocxError);
}

}  // namespace
}  // namespace docx
