#pragma once
// The page layout of one template as the form reader understands it: paragraphs, tables of
// cells and inline pieces (text, bookmarks, page fields). Plain values; the WordprocessingML
// writer turns a Form into the parts of the package.

#include <string>
#include <vector>

namespace forms {

struct Inline {
  enum class Kind { kText, kBookmark, kPageField, kPageCountField, kLineBreak, kTab };
  Kind kind = Kind::kText;
  std::string text;  // the text, or the placeholder a bookmark encloses
  std::string name;  // bookmark name
  bool bold = false;
};

enum class ParagraphStyle {
  kNormal,
  kTitle,
  kSubtitle,
  kHeading,
  kNote,
  kCaption,
  kBoxed,
};

struct Paragraph {
  ParagraphStyle style = ParagraphStyle::kNormal;
  std::vector<Inline> inlines;
  bool centered = false;
  double exactHeightPt = 0;  // a spacer of fixed height when > 0
  bool rightTab = false;     // a right-aligned tab stop at the text margin (header lines)
};

struct Cell {
  enum class Kind { kText, kCaption, kBox, kHeading };
  Kind kind = Kind::kText;
  std::vector<Inline> inlines;
  double widthMm = 0;  // 0: shares the rest of the row with the other cells without a width
  bool line = false;   // a fill-in line: only the bottom edge is drawn
};

struct Row {
  std::vector<Cell> cells;
  double minHeightMm = 0;
  bool exactHeight = false;  // a gap row: exactly minHeightMm high
};

struct Table {
  std::vector<Row> rows;
  bool gridLines = true;  // all cell borders; otherwise only box cells are framed
  double gapMm = 0;       // empty space between the rows, so that boxes stand apart
};

struct Block {
  enum class Kind { kParagraph, kTable };
  Kind kind = Kind::kParagraph;
  Paragraph paragraph;
  Table table;
};

struct Margins {
  double topMm = 20, rightMm = 20, bottomMm = 20, leftMm = 20;
};

struct Form {
  std::vector<Block> body;
  std::vector<Paragraph> header;
  std::vector<Paragraph> footer;
  Margins margins;
  std::string title;  // document title property
};

// Width of the text column between the margins of an A4 page.
inline double textWidthMm(const Margins& m) {
  return 210.0 - m.leftMm - m.rightMm;
}

}  // namespace forms
