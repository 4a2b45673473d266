// Checks a generated document with a real consumer: python-docx reads its values back. The
// content model of the drawing group, which no schema covers, holds it to what Word accepts.

#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string_view>

#include "support/shell.h"
#include "support/temp_dir.h"
#include "test_package.h"
#include "word/docx/document.h"

using ::testing::HasSubstr;

namespace docx {
namespace {

using test::bookmark;
using test::buildTemplate;
using test::cell;
using test::para;
using test::writeFile;
using testsupport::runCommand;

// A cover-sheet-like template: room for the map at the top, then bookmarks and two tables.
std::string coverTemplate() {
  std::string body;
  for (int k = 0; k < 26; ++k) body += "<w:p/>";
  body += "<w:p><w:r><w:t xml:space=\"preserve\">Gebiet: </w:t></w:r>" +
          bookmark(1, "NAME", "....") + "</w:p>";
  body += "<w:p><w:r><w:t xml:space=\"preserve\">Fläche: </w:t></w:r>" + bookmark(2, "HA", "") +
          "<w:r><w:t xml:space=\"preserve\"> ha</w:t></w:r></w:p>";
  body +=
      "<w:tbl><w:tblPr><w:tblW w:w=\"9000\" w:type=\"dxa\"/></w:tblPr><w:tblGrid>"
      "<w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"6000\"/></w:tblGrid><w:tr>" +
      cell(3000, para("Biotoptyp:")) +
      cell(6000, "<w:p>" + bookmark(3, "GBBIOTOP", "xxx") + "</w:p>") + "</w:tr></w:tbl><w:p/>";
  body +=
      "<w:tbl><w:tblPr><w:tblW w:w=\"9000\" w:type=\"dxa\"/></w:tblPr><w:tblGrid>"
      "<w:gridCol w:w=\"9000\"/></w:tblGrid><w:tr>" +
      cell(9000, "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Erfassungseinheiten</w:t></w:r></w:p>") +
      "</w:tr></w:tbl>";
  body += "<w:p><w:r><w:t xml:space=\"preserve\">Bemerkungen: </w:t></w:r>" +
          bookmark(4, "SONSTIGES", "keine") + "</w:p>";
  const std::string header = "<w:p><w:r><w:t xml:space=\"preserve\">Bogen </w:t></w:r>" +
                             bookmark(9, "POLYGONNR_SEITE", "000 000 0000 00") + "</w:p>";
  return buildTemplate({body, header, "", true, true, ""});
}

void fillCover(Document& doc) {
  constexpr auto kMain = BookmarkScope::kMainText;
  const RunFormat plain{false, std::string("Times New Roman"), 11.0};
  doc.bookmarks().replace("NAME", "Großer Moorwald", plain, kMain);
  doc.bookmarks().replace("HA", "12,3", RunFormat{true, std::string("Times New Roman"), {}}, kMain);
  doc.bookmarks().replace("GBBIOTOP", "GN", plain, kMain);
  doc.bookmarks().replace("SONSTIGES", "Zeile 1\nZeile 2\rAbsatz 2", plain, kMain);
  doc.bookmarks().replace("POLYGONNR_SEITE", "001 002 0003 04", {}, BookmarkScope::kAllStories);
  auto& t = doc.tables();
  for (const char* code : {"Bogen Nr.: 1 002 0003 04", "Bogen Nr.: 1 002 0003 05"}) {
    t.appendRow(2);
    t.mergeRow(2, t.rowCount(2));
    t.setCellText(2, t.rowCount(2), 1, std::string(code) + "\r");
    t.appendRow(2);
    const int r = t.rowCount(2);
    t.splitRow(2, r, 3);
    t.setCellText(2, r, 1, "Biotoptyp: GN");
    t.setCellText(2, r, 2, " Nebencode(s)\r ---, GT");
    t.setCellText(2, r, 3, " Flächenanteil: 40%");
    t.appendRow(2);
    t.mergeRow(2, t.rowCount(2));
  }
  // The map: frame, the surveyed polygon (grey), a neighbour, the scale label and bar, grouped
  // and placed like the cover sheet's map.
  Drawing& d = doc.drawing();
  const double w = 1150, h = 650;
  d.addPolyline({{0, h}, {0, 0}, {w, 0}, {w, h}, {0, h}});
  const int surveyed = d.addPolyline({{200, 150}, {500, 120}, {560, 400}, {260, 480}, {200, 150}});
  d.setFillColor(surveyed, {192, 192, 192});
  d.setFillPattern(surveyed, 7);
  d.addPolyline({{560, 400}, {500, 120}, {900, 100}, {1000, 500}, {560, 400}});
  d.addPolyline({{0, 600}, {300, 560}, {700, 640}});  // an open line (a clipped neighbour)
  const int label = d.addLabel(0, h + 12, w, 20);
  d.setLabelText(label, "100 m");
  d.setLineVisible(label, false);
  d.setLabelCentered(label, true);
  d.setLabelFont(label, 8, true);
  const int bar = d.addPolyline({{w / 2 - 50, h + 9},
                                 {w / 2 - 50, h + 11},
                                 {w / 2 + 50, h + 11},
                                 {w / 2 + 50, h + 9},
                                 {w / 2 - 50, h + 9}});
  d.setFillTransparency(bar, 0);
  d.setFillColor(bar, {0, 0, 0});
  d.setFillSolid(bar);
  std::vector<int> all;
  for (int k = 1; k <= d.shapeCount(); ++k) all.push_back(k);
  const int g = d.group(all);
  const Frame f = d.groupFrame(g);
  d.setGroupSize(g, 300, f.height * 300 / f.width);
  d.centerGroupHorizontally(g);
  d.setGroupTop(g, 100);
  d.ungroup(g);
  d.setShapeSize(label, d.shapeFrame(label).width, 2);
  d.regroup(g);
  doc.setLanguageGerman();
  doc.setPrintLayoutView();
  doc.protectFormsWithRandomPassword(1000);
}

// Content models of the Word 2010 drawing group and shapes, which the schema check cannot see
// into (there is no schema for wpg and wps): a child is "name" (exactly one), "name?" (at most
// one) or "name*" (any number), alternatives joined by "|". Elements not listed are not checked.
const std::map<std::string, std::vector<std::string>>& drawingModels() {
  static const std::map<std::string, std::vector<std::string>> kModels = {
      {"wpg:wgp",
       {"wpg:cNvPr?", "wpg:cNvGrpSpPr", "wpg:grpSpPr", "wps:wsp|wpg:grpSp|wpg:graphicFrame*",
        "wpg:extLst?"}},
      {"wpg:grpSpPr", {"a:xfrm?", "a:noFill|a:solidFill|a:pattFill?", "a:effectLst?"}},
      {"wps:wsp",
       {"wps:cNvPr?", "wps:cNvSpPr|wps:cNvCnPr", "wps:spPr", "wps:style?", "wps:extLst?",
        "wps:txbx|wps:linkedTxbx?", "wps:bodyPr"}},
      {"wps:spPr",
       {"a:xfrm?", "a:custGeom|a:prstGeom?", "a:noFill|a:solidFill|a:pattFill?", "a:ln?"}},
      {"wps:txbx", {"w:txbxContent", "wps:extLst?"}},
      {"wps:bodyPr", {"a:prstTxWarp?", "a:noAutofit|a:normAutofit|a:spAutoFit?"}},
      {"a:xfrm", {"a:off?", "a:ext?", "a:chOff?", "a:chExt?"}},
      {"a:custGeom", {"a:avLst?", "a:gdLst?", "a:ahLst?", "a:cxnLst?", "a:rect?", "a:pathLst"}},
      {"a:pathLst", {"a:path*"}},
      {"a:path", {"a:close|a:moveTo|a:lnTo|a:arcTo|a:quadBezTo|a:cubicBezTo*"}},
      {"a:pattFill", {"a:fgClr?", "a:bgClr?"}},
      {"a:ln", {"a:noFill|a:solidFill|a:pattFill?"}},
  };
  return kModels;
}

pugi::xml_node elementFrom(pugi::xml_node n) {
  while (n && n.type() != pugi::node_element) n = n.next_sibling();
  return n;
}

void expectDrawingModel(pugi::xml_node node) {
  for (pugi::xml_node e = elementFrom(node.first_child()); e; e = elementFrom(e.next_sibling())) {
    if (const auto it = drawingModels().find(e.name()); it != drawingModels().end()) {
      pugi::xml_node c = elementFrom(e.first_child());
      auto matches = [](const std::string& names, std::string_view name) {
        for (std::size_t from = 0, to; from <= names.size(); from = to + 1) {
          to = std::min(names.find('|', from), names.size());
          if (names.compare(from, to - from, name) == 0) return true;
        }
        return false;
      };
      for (std::string particle : it->second) {
        const char last = particle.back();
        const bool many = last == '*';
        const bool optional = many || last == '?';
        if (optional) particle.pop_back();
        int count = 0;
        for (; c && matches(particle, c.name()) && (many || count == 0); ++count) {
          c = elementFrom(c.next_sibling());
        }
        EXPECT_TRUE(optional || count == 1) << e.name() << " lacks " << particle;
      }
      EXPECT_FALSE(c) << c.name() << " not allowed or out of order in " << e.name();
    }
    expectDrawingModel(e);
  }
}

TEST(consumer_check, drawing_model_check_notices_missing_and_misplaced_children) {
  pugi::xml_document missing;
  missing.load_string("<wps:wsp><wps:spPr/><wps:bodyPr/></wps:wsp>");
  EXPECT_NONFATAL_FAILURE(expectDrawingModel(missing), "wps:wsp lacks wps:cNvSpPr|wps:cNvCnPr");
  pugi::xml_document misplaced;
  misplaced.load_string(
      "<wpg:wgp><wpg:cNvGrpSpPr/><wpg:grpSpPr/><wps:wsp><wps:cNvSpPr/><wps:spPr/><wps:bodyPr/>"
      "</wps:wsp><wpg:cNvPr/></wpg:wgp>");
  EXPECT_NONFATAL_FAILURE(expectDrawingModel(misplaced),
                          "wpg:cNvPr not allowed or out of order in wpg:wgp");
}

TEST(consumer_check, drawing_follows_its_content_model_and_python_docx_reads_the_document) {
  testsupport::TempDir dir;
  const auto& folder = dir.path();
  Document doc =
      Document::open(writeFile(folder / "TemplateDatenreportV2Deckblatt.dotx", coverTemplate()));
  fillCover(doc);
  const auto target = folder / "00100200003Deckblatt.docx";
  doc.save(target);
  auto xml = test::partXml(testsupport::readFile(target), "word/document.xml");
  ASSERT_TRUE(xml->select_node("//wpg:wgp/wps:wsp/wps:txbx"));
  expectDrawingModel(*xml);

  if (runCommand("/usr/bin/python3 -c 'import docx' >/dev/null") != 0)
    GTEST_SKIP() << "python-docx (python3-docx) is not installed; scripts/install-deps.sh test "
                    "installs it";
  const std::string script =
      "import sys, docx\n"
      "d = docx.Document(sys.argv[1])\n"
      "esc = lambda s: s.replace('\\n', '\\\\n')\n"
      "for p in d.paragraphs: print('P:' + esc(p.text))\n"
      "for ti, t in enumerate(d.tables):\n"
      "  for ri, r in enumerate(t.rows):\n"
      "    for ci, c in enumerate(r.cells): print('T%dR%dC%d:%s' % (ti+1, ri+1, ci+1, "
      "esc(c.text)))\n"
      "for p in d.sections[0].header.paragraphs: print('H:' + esc(p.text))\n";
  writeFile(folder / "read.py", script);
  std::string out;
  ASSERT_EQ(
      runCommand("/usr/bin/python3 " + (folder / "read.py").string() + " " + target.string(), &out),
      0)
      << "python-docx could not read the document";
  for (const char* line :
       {"P:Gebiet: Großer Moorwald", "P:Fläche: 12,3 ha", "P:Bemerkungen: Zeile 1\\nZeile 2",
        "P:Absatz 2", "T1R1C2:GN", "T2R2C1:Bogen Nr.: 1 002 0003 04\\n",
        "T2R3C3: Flächenanteil: 40%", "T2R6C2: Nebencode(s)\\n ---, GT", "H:Bogen 001 002 0003 04"})
    EXPECT_THAT(("\n" + out), HasSubstr("\n" + std::string(line) + "\n"));
}

}  // namespace
}  // namespace docx
