#include "word/docx/xml_util.h"

#include <gtest/gtest.h>

#include "word/docx/run_format.h"

namespace docx {
namespace {

std::string childNames(pugi::xml_node n) {
  std::string out;
  for (pugi::xml_node c : n.children()) out += std::string(out.empty() ? "" : " ") + c.name();
  return out;
}

TEST(run_format, schema_order_around_revision_marks_and_unknown_children_and_theme_fonts) {
  pugi::xml_document doc;
  doc.load_string("<w:rPr><w:ins/><w:i/><w14:ligatures/></w:rPr>");
  pugi::xml_node rPr = doc.first_child();
  applyFormat(rPr, RunFormat{true, std::string("Arial"), 9.5});
  setLanguage(rPr, "de-DE");
  EXPECT_EQ(childNames(rPr), "w:ins w:rFonts w:b w:bCs w:i w:sz w:szCs w:lang w14:ligatures");
  EXPECT_STREQ(rPr.child("w:sz").attribute("w:val").value(), "19");
  const RunFormat back = readFormat(rPr);
  EXPECT_EQ(back.bold, true);
  EXPECT_EQ(back.fontName, "Arial");
  EXPECT_EQ(back.sizePt, 9.5);
  // Theme fonts give way to a named font.
  doc.load_string(
      "<w:rPr><w:rFonts w:asciiTheme=\"minorHAnsi\" w:hAnsiTheme=\"minorHAnsi\"/></w:rPr>");
  applyFormat(doc.first_child(), RunFormat{{}, std::string("Times New Roman"), {}});
  pugi::xml_node fonts = doc.first_child().child("w:rFonts");
  EXPECT_FALSE(fonts.attribute("w:asciiTheme"));
  EXPECT_STREQ(fonts.attribute("w:ascii").value(), "Times New Roman");
}

TEST(clean_text, drops_what_xml_cannot_carry) {
  EXPECT_EQ(cleanText("Grünland\tA\nB\rC"), "Grünland\tA\nB\rC");
  EXPECT_EQ(cleanText(std::string("a\0b", 3)), "ab");
  EXPECT_EQ(cleanText("a\vb"), "a\nb");
  EXPECT_EQ(cleanText("\xC3"), "\xEF\xBF\xBD");                  // truncated sequence
  EXPECT_EQ(cleanText("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong form
  EXPECT_EQ(cleanText("\xEF\xBF\xBF"), "");                      // U+FFFF is no XML character
}

}  // namespace
}  // namespace docx
