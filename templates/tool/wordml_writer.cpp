#include "wordml_writer.h"

#include <cmath>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "table_layout.h"

namespace forms {

namespace {

constexpr const char* kMainNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kRelationshipNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

int twips(double mm) {
  return static_cast<int>(std::lround(mm * kTwipsPerMm));
}

const char* styleId(ParagraphStyle style) {
  switch (style) {
    case ParagraphStyle::kTitle:
      return "Titel";
    case ParagraphStyle::kSubtitle:
      return "Untertitel";
    case ParagraphStyle::kHeading:
      return "Ueberschrift";
    case ParagraphStyle::kNote:
      return "Hinweis";
    case ParagraphStyle::kCaption:
      return "Feldname";
    case ParagraphStyle::kBoxed:
      return "Kasten";
    case ParagraphStyle::kNormal:
      break;
  }
  return nullptr;
}

void setVal(pugi::xml_node node, const char* value) {
  node.append_attribute("w:val") = value;
}

class Writer {
 public:
  explicit Writer(const Form& form) : form_(form) {}

  std::string document() {
    pugi::xml_document doc;
    pugi::xml_node root = start(doc, "w:document");
    pugi::xml_node body = root.append_child("w:body");
    bool endsWithTable = false;
    for (const Block& block : form_.body) {
      if (block.kind == Block::Kind::kParagraph) {
        paragraph(body, block.paragraph, nullptr);
        endsWithTable = false;
      } else {
        table(body, block.table);
        endsWithTable = true;
      }
    }
    // A body may not end with a table; the closing paragraph is kept small.
    if (endsWithTable || form_.body.empty()) {
      Paragraph last;
      last.exactHeightPt = 2;
      paragraph(body, last, nullptr);
    }
    sectionProperties(body);
    return text(doc);
  }

  std::string headerOrFooter(bool header) {
    pugi::xml_document doc;
    pugi::xml_node root = start(doc, header ? "w:hdr" : "w:ftr");
    const auto& lines = header ? form_.header : form_.footer;
    if (lines.empty()) root.append_child("w:p");
    for (const Paragraph& p : lines) paragraph(root, p, header ? "Kopfzeile" : "Fusszeile");
    return text(doc);
  }

 private:
  static pugi::xml_node start(pugi::xml_document& doc, const char* rootName) {
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
    pugi::xml_node root = doc.append_child(rootName);
    root.append_attribute("xmlns:w") = kMainNamespace;
    root.append_attribute("xmlns:r") = kRelationshipNamespace;
    return root;
  }

  static std::string text(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw);
    return out.str();
  }

  void paragraph(pugi::xml_node parent, const Paragraph& p, const char* forcedStyle) {
    pugi::xml_node node = parent.append_child("w:p");
    pugi::xml_node pPr = node.append_child("w:pPr");
    const char* style = forcedStyle ? forcedStyle : styleId(p.style);
    if (style) setVal(pPr.append_child("w:pStyle"), style);
    if (p.rightTab) {
      pugi::xml_node tab = pPr.append_child("w:tabs").append_child("w:tab");
      setVal(tab, "right");
      tab.append_attribute("w:pos") = twips(textWidthMm(form_.margins));
    }
    if (p.exactHeightPt > 0) {
      pugi::xml_node spacing = pPr.append_child("w:spacing");
      spacing.append_attribute("w:before") = 0;
      spacing.append_attribute("w:after") = 0;
      spacing.append_attribute("w:line") = static_cast<int>(std::lround(p.exactHeightPt * 20));
      spacing.append_attribute("w:lineRule") = "exact";
    }
    if (p.centered) setVal(pPr.append_child("w:jc"), "center");
    inlines(node, p.inlines);
  }

  void inlines(pugi::xml_node paragraph, const std::vector<Inline>& pieces) {
    for (const Inline& piece : pieces) {
      switch (piece.kind) {
        case Inline::Kind::kText:
          run(paragraph, piece.text, piece.bold);
          break;
        case Inline::Kind::kBookmark: {
          const int id = nextBookmarkId_++;
          pugi::xml_node start = paragraph.append_child("w:bookmarkStart");
          start.append_attribute("w:id") = id;
          start.append_attribute("w:name") = piece.name.c_str();
          if (!piece.text.empty()) run(paragraph, piece.text, piece.bold);
          paragraph.append_child("w:bookmarkEnd").append_attribute("w:id") = id;
          break;
        }
        case Inline::Kind::kPageField:
        case Inline::Kind::kPageCountField: {
          pugi::xml_node field = paragraph.append_child("w:fldSimple");
          field.append_attribute("w:instr") =
              piece.kind == Inline::Kind::kPageField ? " PAGE " : " NUMPAGES ";
          run(field, "1", piece.bold);
          break;
        }
        case Inline::Kind::kLineBreak:
          paragraph.append_child("w:r").append_child("w:br");
          break;
        case Inline::Kind::kTab:
          paragraph.append_child("w:r").append_child("w:tab");
          break;
      }
    }
  }

  static void run(pugi::xml_node parent, const std::string& value, bool bold) {
    pugi::xml_node r = parent.append_child("w:r");
    if (bold) r.append_child("w:rPr").append_child("w:b");
    pugi::xml_node t = r.append_child("w:t");
    t.append_attribute("xml:space") = "preserve";
    t.text().set(value.c_str());
  }

  static void border(pugi::xml_node parent, const char* side, const char* kind, int size) {
    pugi::xml_node b = parent.append_child(side);
    setVal(b, kind);
    b.append_attribute("w:sz") = size;
    b.append_attribute("w:space") = 0;
    b.append_attribute("w:color") = "000000";
  }

  void table(pugi::xml_node body, const Table& t) {
    const Grid grid = gridOf(t);
    pugi::xml_node tbl = body.append_child("w:tbl");
    pugi::xml_node tblPr = tbl.append_child("w:tblPr");
    pugi::xml_node width = tblPr.append_child("w:tblW");
    width.append_attribute("w:w") = grid.total;
    width.append_attribute("w:type") = "dxa";
    // The children of w:tblPr keep the order of the schema; strict readers refuse others.
    pugi::xml_node borders = tblPr.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"})
      border(borders, side, t.gridLines ? "single" : "nil", 4);
    tblPr.append_child("w:tblLayout").append_attribute("w:type") = "fixed";
    pugi::xml_node margins = tblPr.append_child("w:tblCellMar");
    for (const char* side : {"w:left", "w:right"}) {
      pugi::xml_node m = margins.append_child(side);
      m.append_attribute("w:w") = 57;
      m.append_attribute("w:type") = "dxa";
    }
    pugi::xml_node look = tblPr.append_child("w:tblLook");
    setVal(look, "0000");
    pugi::xml_node gridNode = tbl.append_child("w:tblGrid");
    for (int w : grid.columns) gridNode.append_child("w:gridCol").append_attribute("w:w") = w;

    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      const Row& row = t.rows[r];
      pugi::xml_node tr = tbl.append_child("w:tr");
      pugi::xml_node trPr = tr.append_child("w:trPr");
      trPr.append_child("w:cantSplit");
      if (row.minHeightMm > 0) {
        pugi::xml_node height = trPr.append_child("w:trHeight");
        height.append_attribute("w:val") = twips(row.minHeightMm);
        height.append_attribute("w:hRule") = row.exactHeight ? "exact" : "atLeast";
      }
      for (std::size_t c = 0; c < row.cells.size(); ++c)
        cell(tr, row.cells[c], grid.widths[r][c], grid.spans[r][c], t.gridLines,
             row.minHeightMm > 10);
    }
  }

  void cell(pugi::xml_node tr, const Cell& c, int width, int span, bool gridLines, bool tall) {
    pugi::xml_node tc = tr.append_child("w:tc");
    pugi::xml_node tcPr = tc.append_child("w:tcPr");
    pugi::xml_node w = tcPr.append_child("w:tcW");
    w.append_attribute("w:w") = width;
    w.append_attribute("w:type") = "dxa";
    if (span > 1) setVal(tcPr.append_child("w:gridSpan"), std::to_string(span).c_str());
    if (c.kind == Cell::Kind::kBox && !gridLines) {
      pugi::xml_node borders = tcPr.append_child("w:tcBorders");
      for (const char* side : {"w:top", "w:left", "w:bottom", "w:right"})
        border(borders, side, "single", 6);
    } else if (c.line && !gridLines) {
      border(tcPr.append_child("w:tcBorders"), "w:bottom", "dotted", 6);
    }
    const char* fill = nullptr;
    if (c.kind == Cell::Kind::kHeading) fill = "D9D9D9";
    if (c.kind == Cell::Kind::kCaption && gridLines) fill = "F2F2F2";
    if (fill) {
      pugi::xml_node shd = tcPr.append_child("w:shd");
      setVal(shd, "clear");
      shd.append_attribute("w:color") = "auto";
      shd.append_attribute("w:fill") = fill;
    }
    setVal(tcPr.append_child("w:vAlign"), tall && c.kind == Cell::Kind::kText ? "top" : "center");
    Paragraph p;
    p.inlines = c.inlines;
    const char* style = nullptr;
    switch (c.kind) {
      case Cell::Kind::kBox:
        style = "Kastenfeld";
        break;
      case Cell::Kind::kCaption:
        style = "Feldname";
        break;
      case Cell::Kind::kHeading:
        style = "Tabellenkopf";
        break;
      case Cell::Kind::kText:
        style = "Zelle";
        break;
    }
    paragraph(tc, p, style);
  }

  void sectionProperties(pugi::xml_node body) {
    pugi::xml_node sectPr = body.append_child("w:sectPr");
    pugi::xml_node header = sectPr.append_child("w:headerReference");
    header.append_attribute("w:type") = "default";
    header.append_attribute("r:id") = "rIdHeader1";
    pugi::xml_node footer = sectPr.append_child("w:footerReference");
    footer.append_attribute("w:type") = "default";
    footer.append_attribute("r:id") = "rIdFooter1";
    pugi::xml_node size = sectPr.append_child("w:pgSz");
    size.append_attribute("w:w") = 11906;  // A4 portrait
    size.append_attribute("w:h") = 16838;
    pugi::xml_node margins = sectPr.append_child("w:pgMar");
    margins.append_attribute("w:top") = twips(form_.margins.topMm);
    margins.append_attribute("w:right") = twips(form_.margins.rightMm);
    margins.append_attribute("w:bottom") = twips(form_.margins.bottomMm);
    margins.append_attribute("w:left") = twips(form_.margins.leftMm);
    margins.append_attribute("w:header") = 567;
    margins.append_attribute("w:footer") = 567;
    margins.append_attribute("w:gutter") = 0;
    sectPr.append_child("w:cols").append_attribute("w:space") = 708;
  }

  const Form& form_;
  int nextBookmarkId_ = 0;
};

}  // namespace

WordParts writeWordParts(const Form& form) {
  Writer writer(form);
  WordParts parts;
  parts.document = writer.document();
  parts.header = writer.headerOrFooter(true);
  parts.footer = writer.headerOrFooter(false);
  return parts;
}

}  // namespace forms
