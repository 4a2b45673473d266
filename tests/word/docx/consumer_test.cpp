// Checks generated documents with real consumers: LibreOffice converts them to PDF (a package
// it had to repair or could not read would fail or lose text) and python-docx reads values back.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "support/shell.h"
#include "test_package.h"
#include "word/docx/document.h"

namespace docx {
namespace {

using test::buildTemplate;
using test::para;
using test::scratchFolder;
using test::writeFile;

// Runs a shell command and answers its exit status and standard output.
int run(const std::string& command, std::string* output = nullptr) {
  return testsupport::runCommand(command, output);
}

bool have(const std::string& program) { return testsupport::haveProgram(program); }

std::string bm(int id, const std::string& name, const std::string& placeholder) {
  return "<w:bookmarkStart w:id=\"" + std::to_string(id) + "\" w:name=\"" + name +
         "\"/><w:r><w:t>" + placeholder + "</w:t></w:r><w:bookmarkEnd w:id=\"" +
         std::to_string(id) + "\"/>";
}

std::string cell(int width, const std::string& content) {
  return "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(width) + "\" w:type=\"dxa\"/></w:tcPr>" +
         content + "</w:tc>";
}

const char* kBorders =
    "<w:tblBorders><w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
    "<w:left w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
    "<w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
    "<w:right w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
    "<w:insideH w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
    "<w:insideV w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/></w:tblBorders>";

// A cover-sheet-like template: room for the map at the top, then bookmarks and two tables.
std::string coverTemplate() {
  std::string body;
  for (int k = 0; k < 26; ++k) body += "<w:p/>";
  body += "<w:p><w:r><w:t xml:space=\"preserve\">Gebiet: </w:t></w:r>" + bm(1, "NAME", "....") +
          "</w:p>";
  body += "<w:p><w:r><w:t xml:space=\"preserve\">Fläche: </w:t></w:r>" + bm(2, "HA", "") +
          "<w:r><w:t xml:space=\"preserve\"> ha</w:t></w:r></w:p>";
  body += "<w:tbl><w:tblPr><w:tblW w:w=\"9000\" w:type=\"dxa\"/>" + std::string(kBorders) +
          "</w:tblPr><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"6000\"/></w:tblGrid>"
          "<w:tr>" +
          cell(3000, para("Biotoptyp:")) +
          cell(6000, "<w:p>" + bm(3, "GBBIOTOP", "xxx") + "</w:p>") + "</w:tr></w:tbl><w:p/>";
  body += "<w:tbl><w:tblPr><w:tblW w:w=\"9000\" w:type=\"dxa\"/>" + std::string(kBorders) +
          "</w:tblPr><w:tblGrid><w:gridCol w:w=\"9000\"/></w:tblGrid><w:tr>" +
          cell(9000, "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Erfassungseinheiten</w:t></w:r></w:p>") +
          "</w:tr></w:tbl>";
  body += "<w:p><w:r><w:t xml:space=\"preserve\">Bemerkungen: </w:t></w:r>" +
          bm(4, "SONSTIGES", "keine") + "</w:p>";
  const std::string header = "<w:p><w:r><w:t xml:space=\"preserve\">Bogen </w:t></w:r>" +
                             bm(9, "POLYGONNR_SEITE", "000 000 0000 00") + "</w:p>";
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
  const char* codes[] = {"Bogen Nr.: 1 002 0003 04", "Bogen Nr.: 1 002 0003 05"};
  for (const char* code : codes) {
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

// Child order of the elements the engine writes or edits, as the OOXML schema sequences them;
// "*" stands for any other child.
const std::map<std::string, std::vector<std::string>>& schemaOrder() {
  static const std::map<std::string, std::vector<std::string>> kOrder = {
      {"w:rPr",
       {"w:ins",
        "w:del",
        "w:moveFrom",
        "w:moveTo",
        "w:rStyle",
        "w:rFonts",
        "w:b",
        "w:bCs",
        "w:i",
        "w:iCs",
        "w:caps",
        "w:smallCaps",
        "w:strike",
        "w:dstrike",
        "w:outline",
        "w:shadow",
        "w:emboss",
        "w:imprint",
        "w:noProof",
        "w:snapToGrid",
        "w:vanish",
        "w:webHidden",
        "w:color",
        "w:spacing",
        "w:w",
        "w:kern",
        "w:position",
        "w:sz",
        "w:szCs",
        "w:highlight",
        "w:u",
        "w:effect",
        "w:bdr",
        "w:shd",
        "w:fitText",
        "w:vertAlign",
        "w:rtl",
        "w:cs",
        "w:em",
        "w:lang",
        "w:eastAsianLayout",
        "w:specVanish",
        "w:oMath",
        "w:rPrChange"}},
      {"w:pPr",
       {"w:pStyle",
        "w:keepNext",
        "w:keepLines",
        "w:pageBreakBefore",
        "w:framePr",
        "w:widowControl",
        "w:numPr",
        "w:suppressLineNumbers",
        "w:pBdr",
        "w:shd",
        "w:tabs",
        "w:suppressAutoHyphens",
        "w:kinsoku",
        "w:wordWrap",
        "w:overflowPunct",
        "w:topLinePunct",
        "w:autoSpaceDE",
        "w:autoSpaceDN",
        "w:bidi",
        "w:adjustRightInd",
        "w:snapToGrid",
        "w:spacing",
        "w:ind",
        "w:contextualSpacing",
        "w:mirrorIndents",
        "w:suppressOverlap",
        "w:jc",
        "w:textDirection",
        "w:textAlignment",
        "w:textboxTightWrap",
        "w:outlineLvl",
        "w:divId",
        "w:cnfStyle",
        "w:rPr",
        "w:sectPr",
        "w:pPrChange"}},
      {"w:tcPr",
       {"w:cnfStyle", "w:tcW", "w:gridSpan", "w:hMerge", "w:vMerge", "w:tcBorders", "w:shd",
        "w:noWrap", "w:tcMar", "w:textDirection", "w:tcFitText", "w:vAlign", "w:hideMark"}},
      {"w:settings",
       {"w:writeProtection", "w:view", "w:zoom", "w:removePersonalInformation",
        "w:documentProtection", "w:defaultTabStop", "w:compat", "*"}},
      {"w:tbl", {"w:tblPr", "w:tblGrid", "*"}},
      {"w:tc", {"w:tcPr", "*"}},
      {"w:p", {"w:pPr", "*"}},
      {"w:r", {"w:rPr", "*"}},
      {"w:body", {"*", "w:sectPr"}},
      {"w:docDefaults", {"w:rPrDefault", "w:pPrDefault"}},
      {"w:styles", {"w:docDefaults", "w:latentStyles", "w:style"}},
      {"wp:anchor",
       {"wp:simplePos", "wp:positionH", "wp:positionV", "wp:extent", "wp:effectExtent",
        "wp:wrapNone", "wp:docPr", "wp:cNvGraphicFramePr", "a:graphic"}},
      {"wpg:wgp", {"wpg:cNvPr", "wpg:cNvGrpSpPr", "wpg:grpSpPr", "wps:wsp"}},
      {"a:xfrm", {"a:off", "a:ext", "a:chOff", "a:chExt"}},
      {"wps:wsp",
       {"wps:cNvPr", "wps:cNvSpPr", "wps:spPr", "wps:style", "wps:extLst", "wps:txbx",
        "wps:bodyPr"}},
      {"wps:spPr",
       {"a:xfrm", "a:custGeom", "a:prstGeom", "a:noFill", "a:solidFill", "a:pattFill", "a:ln"}},
      {"a:custGeom", {"a:avLst", "a:gdLst", "a:ahLst", "a:cxnLst", "a:rect", "a:pathLst"}},
      {"a:pattFill", {"a:fgClr", "a:bgClr"}},
  };
  return kOrder;
}

void expectSchemaOrder(pugi::xml_node node, const std::string& part) {
  for (pugi::xml_node e = node.first_child(); e; e = e.next_sibling()) {
    if (e.type() != pugi::node_element) continue;
    const auto it = schemaOrder().find(e.name());
    if (it != schemaOrder().end()) {
      const auto& order = it->second;
      const auto wildcard = std::find(order.begin(), order.end(), "*");
      long previous = -1;
      for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        auto pos = std::find(order.begin(), order.end(), c.name());
        if (pos == order.end()) pos = wildcard;
        ASSERT_NE(pos, order.end()) << part << ": " << c.name() << " not allowed in " << e.name();
        const long rank = pos - order.begin();
        EXPECT_GE(rank, previous) << part << ": " << c.name() << " out of order in " << e.name();
        previous = rank;
      }
    }
    expectSchemaOrder(e, part);
  }
}

TEST(consumer_check, generated_parts_follow_schema_element_order) {
  Document doc = Document::fromBytes(coverTemplate(), "cover.dotx");
  fillCover(doc);
  // The checker itself notices a misplaced child.
  pugi::xml_document bad;
  bad.load_string("<w:r><w:rPr><w:sz w:val=\"22\"/><w:b/></w:rPr></w:r>");
  EXPECT_NONFATAL_FAILURE(expectSchemaOrder(bad, "bad"), "w:b out of order in w:rPr");
  const std::string bytes = doc.toBytes();
  for (const char* part :
       {"word/document.xml", "word/header1.xml", "word/settings.xml", "word/styles.xml"}) {
    auto xml = test::partXml(bytes, part);
    expectSchemaOrder(*xml, part);
  }
}

TEST(consumer_check, libreoffice_and_python_docx_read_generated_document) {
  const auto folder = scratchFolder("consumer");
  const auto tmpl = writeFile(folder / "TemplateDatenreportV2Deckblatt.dotx", coverTemplate());
  Document doc = Document::open(tmpl);
  fillCover(doc);
  const auto target = folder / "00100200003Deckblatt.docx";
  doc.save(target);

  bool checked = false;
  if (have("/usr/bin/python3") && run("/usr/bin/python3 -c 'import docx' >/dev/null") == 0) {
    const std::string script =
        "import sys, docx\n"
        "d = docx.Document(sys.argv[1])\n"
        "esc = lambda s: s.replace('\\n', '\\\\n')\n"
        "for p in d.paragraphs: print('P:' + esc(p.text))\n"
        "for ti, t in enumerate(d.tables):\n"
        "  for ri, r in enumerate(t.rows):\n"
        "    for ci, c in enumerate(r.cells): print('T%dR%dC%d:%s' % (ti+1, ri+1, ci+1, "
        "esc(c.text)))\n"
        "for p in d.sections[0].header.paragraphs: print('H:' + esc(p.text))\n"
        "W = '{http://schemas.microsoft.com/office/word/2010/wordprocessingGroup}wgp'\n"
        "S = '{http://schemas.microsoft.com/office/word/2010/wordprocessingShape}wsp'\n"
        "print('G:%d' % len(list(d.element.body.iter(W))))\n"
        "print('S:%d' % len(list(d.element.body.iter(S))))\n";
    writeFile(folder / "read.py", script);
    std::string out;
    ASSERT_EQ(
        run("/usr/bin/python3 " + (folder / "read.py").string() + " " + target.string(), &out), 0)
        << "python-docx could not read the document";
    std::istringstream lines(out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    auto has = [&](const std::string& line) {
      return std::find(got.begin(), got.end(), line) != got.end();
    };
    EXPECT_TRUE(has("P:Gebiet: Großer Moorwald")) << out;
    EXPECT_TRUE(has("P:Fläche: 12,3 ha")) << out;
    EXPECT_TRUE(has("P:Bemerkungen: Zeile 1\\nZeile 2")) << out;
    EXPECT_TRUE(has("P:Absatz 2")) << out;
    EXPECT_TRUE(has("T1R1C2:GN")) << out;
    EXPECT_TRUE(has("T2R2C1:Bogen Nr.: 1 002 0003 04\\n")) << out;
    EXPECT_TRUE(has("T2R3C3: Flächenanteil: 40%")) << out;
    EXPECT_TRUE(has("T2R6C2: Nebencode(s)\\n ---, GT")) << out;
    EXPECT_TRUE(has("H:Bogen 001 002 0003 04")) << out;
    EXPECT_TRUE(has("G:1")) << out;
    EXPECT_TRUE(has("S:6")) << out;
    checked = true;
  }

  if (have("soffice")) {
    const std::string profile = "/tmp/quelbrix_docx_lo_" + std::to_string(getpid());
    const std::string convert = "cd " + folder.string() +
                                " && timeout 300 soffice --headless --norestore "
                                "-env:UserInstallation=file://" +
                                profile + " --convert-to pdf --outdir " + folder.string() + " " +
                                target.string() + " >/dev/null";
    EXPECT_EQ(run(convert), 0);
    std::filesystem::remove_all(profile);
    const auto pdf = folder / "00100200003Deckblatt.pdf";
    ASSERT_TRUE(std::filesystem::exists(pdf)) << "LibreOffice could not convert the document";
    EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
    if (have("pdftotext")) {
      std::string text;
      ASSERT_EQ(run("pdftotext -layout " + pdf.string() + " -", &text), 0);
      for (const char* expected :
           {"Großer Moorwald", "12,3 ha", "Bogen 001 002 0003 04", "Bogen Nr.: 1 002 0003 05",
            "Flächenanteil: 40%", "Absatz 2", "Zeile 2"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
      }
    }
    if (have("pdftoppm")) {
      // A picture to look at when checking the layout by eye.
      run("pdftoppm -png -r 60 -f 1 -l 1 " + pdf.string() + " " + (folder / "page").string());
    }
    checked = true;
  }
  if (!checked) {
    GTEST_SKIP() << "neither soffice (libreoffice-writer-nogui) nor python-docx (python3-docx) "
                    "is installed; the document was written but not checked by a consumer";
  }
}

}  // namespace
}  // namespace docx
