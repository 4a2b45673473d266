// Templates as the template build writes them, with chosen damage: each damage must be refused
// with a German cause naming the part, and the engine must refuse the deep ones without a crash.
#include "word/template_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "docx/test_package.h"
#include "support/temp_dir.h"
#include "word/docx/document.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// An edit putting depth levels of open ... close in front of the body's content, inside a
// paragraph where the elements belong there.
std::function<std::string(std::string)> nested(const std::string& open, const std::string& close,
                                               int depth, bool inParagraph = false) {
  std::string inner;
  for (int i = 0; i < depth; ++i) inner += open;
  for (int i = 0; i < depth; ++i) inner += close;
  if (inParagraph) inner = "<w:p>" + inner + "</w:p>";
  return [inner](std::string x) { return replaced(x, "<w:body>", "<w:body>" + inner); };
}

struct Damage {
  const char* name;
  const char* part;
  std::function<std::string(std::string)> edit;
  std::string cause;
};

const std::string kTooDeep =
    "ist tiefer als " + std::to_string(docx::kMaxElementDepth) + " Ebenen verschachtelt";

std::vector<Damage> damages() {
  return {
      {"NotUtf8", "word/document.xml",
       [](std::string x) { return replaced(x, "<w:body>", "<w:body>\xFF"); },
       "der Teil word/document.xml ist kein gültiges UTF-8 (Byte 0xFF"},
      {"DuplicateAttribute", "word/document.xml",
       [](std::string x) { return replaced(x, "<w:body>", "<w:body w:a=\"1\" w:a=\"2\">"); },
       "im Teil word/document.xml hat das Element w:body das Attribut w:a doppelt"},
      {"Utf16Declared", "word/document.xml",
       [](std::string x) { return replaced(x, "encoding=\"UTF-8\"", "encoding=\"UTF-16\""); },
       "gibt die Kodierung UTF-16 an"},
      {"NotWellFormed", "word/styles.xml", [](std::string x) { return x.substr(0, x.size() / 2); },
       "der Teil word/styles.xml ist kein wohlgeformtes XML"},
      {"RelationshipsMissing", "word/_rels/document.xml.rels", [](std::string) { return ""; },
       "auf eine Beziehung, die fehlt"},
      {"TargetMissing", "word/styles.xml", [](std::string) { return ""; },
       "verweist auf den fehlenden Teil word/styles.xml"},
      {"BookmarkMissing", "word/document.xml",
       [](std::string x) { return replaced(x, "w:name=\"HA\"", "w:name=\"HB\""); },
       "es fehlen die Textmarken HA"},
      {"DeepSdt", "word/document.xml",
       nested("<w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt>", 30000), kTooDeep},
      {"DeepTables", "word/document.xml",
       nested("<w:tbl><w:tr><w:tc>", "</w:tc></w:tr></w:tbl>", 30000), kTooDeep},
      {"DeepHyperlinks", "word/document.xml",
       nested("<w:hyperlink>", "</w:hyperlink>", 100000, true), kTooDeep},
  };
}

class TemplateDamage : public ::testing::TestWithParam<Damage> {};

// The cover sheet's template with the damage of the test.
std::string damagedTemplate() {
  const Damage& d = TemplateDamage::GetParam();
  return docx::test::withPart(testsupport::readFile(fs::path(QUELBRIX_TEMPLATE_DIR) /
                                                    "TemplateDatenreportV2Deckblatt.dotx"),
                              d.part, d.edit);
}

TEST_P(TemplateDamage, IsRefusedWithItsCause) {
  const std::string bytes = damagedTemplate();
  const testsupport::TempDir dir;
  const fs::path file = docx::test::writeFile(dir.path() / "t.dotx", bytes);
  EXPECT_THAT(word::templateProblem(file, word::bookmarksOfTemplate("Deckblatt")),
              HasSubstr(GetParam().cause));
}

// Without the check, the engine must still fail with its own error, never crash on a deep
// part; what it opens it must save as a package it opens again.
TEST_P(TemplateDamage, EngineFailsCleanlyOrSavesAnOpenablePackage) {
  const std::string bytes = damagedTemplate();
  std::optional<docx::Document> doc;
  try {
    doc.emplace(docx::Document::fromBytes(bytes, "t.dotx"));
    doc->bookmarks().exists("GBCODE", docx::BookmarkScope::kAllStories);
  } catch (const docx::DocxError& e) {
    SUCCEED() << e.what();
    return;
  }
  EXPECT_NO_THROW(docx::Document::fromBytes(doc->toBytes(), "saved"));
}

INSTANTIATE_TEST_SUITE_P(Damages, TemplateDamage, ::testing::ValuesIn(damages()),
                         [](const auto& info) { return std::string(info.param.name); });

// The deepest template the check lets pass still makes documents that other readers (libxml2,
// python-docx: 256 levels) open, filled at its deepest place; one level deeper is refused.
TEST(TemplateDepth, DeepestAcceptedTemplateFilledStaysReadable) {
  const std::string original = testsupport::readFile(fs::path(QUELBRIX_TEMPLATE_DIR) /
                                                     "TemplateDatenreportV2Deckblatt.dotx");
  auto deep = [&](int links) {
    std::string p = "<w:p><w:pPr><w:rPr><w:b/><w:sz w:val=\"20\"/></w:rPr></w:pPr>";
    for (int i = 0; i < links; ++i) p += "<w:hyperlink>";
    p += "<w:bookmarkStart w:id=\"9000\" w:name=\"TIEF\"/><w:bookmarkEnd w:id=\"9000\"/>";
    for (int i = 0; i < links; ++i) p += "</w:hyperlink>";
    p += "</w:p>";
    return docx::test::withPart(original, "word/document.xml", [p](std::string x) {
      return replaced(x, "<w:body>", "<w:body>" + p);
    });
  };
  // w:document counts 0, w:body 1, w:p 2, the links from 3 on, and the bookmark below them.
  const int links = docx::kMaxElementDepth - 3;
  const testsupport::TempDir dir;
  const auto bookmarks = word::bookmarksOfTemplate("Deckblatt");
  EXPECT_EQ(
      word::templateProblem(docx::test::writeFile(dir.path() / "a.dotx", deep(links)), bookmarks),
      "");
  EXPECT_THAT(word::templateProblem(docx::test::writeFile(dir.path() / "b.dotx", deep(links + 1)),
                                    bookmarks),
              HasSubstr(kTooDeep));

  docx::Document doc = docx::Document::fromBytes(deep(links), "a.dotx");
  doc.bookmarks().replace("TIEF", "Fläche\nin Hektar", {true, "Times New Roman", 11.0},
                          docx::BookmarkScope::kMainText);
  const auto xml = docx::test::partXml(doc.toBytes(), "word/document.xml");
  const int filled = docx::elementDepth(*xml, 1000);
  EXPECT_GT(filled, docx::kMaxElementDepth);
  EXPECT_LE(filled, docx::kMaxReadableDepth);
}

}  // namespace
