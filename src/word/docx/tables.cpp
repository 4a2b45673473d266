#include "word/docx/tables.h"

#include <cstdlib>
#include <map>
#include <set>

#include "word/docx/docx_error.h"
#include "word/docx/range_walk.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

#define DOCX_TCPR_ORDER                                                                    \
  {                                                                                        \
    "w:cnfStyle", "w:tcW", "w:gridSpan", "w:hMerge", "w:vMerge", "w:tcBorders", "w:shd",   \
        "w:noWrap", "w:tcMar", "w:textDirection", "w:tcFitText", "w:vAlign", "w:hideMark", \
        "w:headers", "w:cellIns", "w:cellDel", "w:cellMerge", "w:tcPrChange"               \
  }

#define DOCX_PPR_ORDER                                                                             \
  {                                                                                                \
    "w:pStyle", "w:keepNext", "w:keepLines", "w:pageBreakBefore", "w:framePr", "w:widowControl",   \
        "w:numPr", "w:suppressLineNumbers", "w:pBdr", "w:shd", "w:tabs", "w:suppressAutoHyphens",  \
        "w:kinsoku", "w:wordWrap", "w:overflowPunct", "w:topLinePunct", "w:autoSpaceDE",           \
        "w:autoSpaceDN", "w:bidi", "w:adjustRightInd", "w:snapToGrid", "w:spacing", "w:ind",       \
        "w:contextualSpacing", "w:mirrorIndents", "w:suppressOverlap", "w:jc", "w:textDirection",  \
        "w:textAlignment", "w:textboxTightWrap", "w:outlineLvl", "w:divId", "w:cnfStyle", "w:rPr", \
        "w:sectPr", "w:pPrChange"                                                                  \
  }

bool isMarkerLike(pugi::xml_node n) {
  static constexpr std::string_view kNames[] = {"w:bookmarkStart",     "w:bookmarkEnd",
                                                "w:commentRangeStart", "w:commentRangeEnd",
                                                "w:permStart",         "w:permEnd"};
  for (std::string_view k : kNames) {
    if (n.type() == pugi::node_element && k == n.name()) return true;
  }
  return false;
}

void collect(pugi::xml_node n, bool (*pred)(pugi::xml_node), std::vector<pugi::xml_node>& out) {
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
    if (pred(c)) {
      out.push_back(c);
    } else if (c.type() == pugi::node_element) {
      collect(c, pred, out);
    }
  }
}

int intAttr(pugi::xml_node n, const char* attr, int fallback) {
  pugi::xml_attribute a = n.attribute(attr);
  return a ? std::atoi(a.value()) : fallback;
}

std::vector<pugi::xml_node> cellsOf(pugi::xml_node tr) {
  std::vector<pugi::xml_node> cells;
  for (pugi::xml_node tc = tr.child("w:tc"); tc; tc = tc.next_sibling("w:tc")) cells.push_back(tc);
  return cells;
}

using WidthOverrides = std::map<pugi::xml_node_struct*, int>;

// Rebuilds w:tblGrid from the widths of all cells (taken from the old grid, or from
// `overrides` for cells whose width changed) and sets every cell's span and width to match.
void normalizeGrid(pugi::xml_node tbl, const WidthOverrides& overrides) {
  std::vector<int> grid;
  pugi::xml_node tblGrid = tbl.child("w:tblGrid");
  for (pugi::xml_node gc = tblGrid.child("w:gridCol"); gc; gc = gc.next_sibling("w:gridCol")) {
    grid.push_back(std::max(0, intAttr(gc, "w:w", 0)));
  }
  auto gridWidth = [&](std::size_t from, int span) {
    int w = 0;
    for (std::size_t k = from; k < from + static_cast<std::size_t>(span) && k < grid.size(); ++k) {
      w += grid[k];
    }
    return w;
  };
  struct Slot {
    pugi::xml_node node;  // a cell, or the row's trPr for grid before/after
    const char* kind;     // "cell", "before", "after"
    int width;
  };
  std::vector<std::vector<Slot>> rows;
  std::set<int> bounds{0};
  for (pugi::xml_node tr = tbl.child("w:tr"); tr; tr = tr.next_sibling("w:tr")) {
    std::vector<Slot> slots;
    std::size_t col = 0;
    pugi::xml_node trPr = tr.child("w:trPr");
    const int before = intAttr(trPr.child("w:gridBefore"), "w:val", 0);
    if (before > 0) {
      slots.push_back({trPr, "before", gridWidth(col, before)});
      col += static_cast<std::size_t>(before);
    }
    for (pugi::xml_node tc : cellsOf(tr)) {
      const int span = std::max(1, intAttr(tc.child("w:tcPr").child("w:gridSpan"), "w:val", 1));
      int width;
      if (auto it = overrides.find(tc.internal_object()); it != overrides.end()) {
        width = it->second;
      } else if (col + static_cast<std::size_t>(span) <= grid.size()) {
        width = gridWidth(col, span);
      } else {
        pugi::xml_node tcW = tc.child("w:tcPr").child("w:tcW");
        width =
            std::string_view(tcW.attribute("w:type").value()) == "dxa" ? intAttr(tcW, "w:w", 0) : 0;
      }
      slots.push_back({tc, "cell", std::max(width, 1)});
      col += static_cast<std::size_t>(span);
    }
    const int after = intAttr(trPr.child("w:gridAfter"), "w:val", 0);
    if (after > 0) slots.push_back({trPr, "after", gridWidth(col, after)});
    int x = 0;
    for (const Slot& s : slots) {
      x += s.width;
      bounds.insert(x);
    }
    rows.push_back(std::move(slots));
  }
  auto spanOf = [&](int from, int to) {
    return static_cast<int>(std::distance(bounds.upper_bound(from), bounds.upper_bound(to)));
  };
  for (auto& slots : rows) {
    int x = 0;
    for (Slot& s : slots) {
      const int span = std::max(1, spanOf(x, x + s.width));
      if (std::string_view(s.kind) == "cell") {
        pugi::xml_node tcPr = s.node.child("w:tcPr");
        if (!tcPr) tcPr = s.node.prepend_child("w:tcPr");
        pugi::xml_node tcW = orderedChild(tcPr, "w:tcW", DOCX_TCPR_ORDER);
        tcW.remove_attribute("w:w");
        tcW.remove_attribute("w:type");
        tcW.append_attribute("w:w") = s.width;
        tcW.append_attribute("w:type") = "dxa";
        if (span > 1) {
          pugi::xml_node gs = orderedChild(tcPr, "w:gridSpan", DOCX_TCPR_ORDER);
          gs.remove_attribute("w:val");
          gs.append_attribute("w:val") = span;
        } else {
          tcPr.remove_child("w:gridSpan");
        }
      } else {
        pugi::xml_node g =
            s.node.child(std::string_view(s.kind) == "before" ? "w:gridBefore" : "w:gridAfter");
        g.attribute("w:val") = span;
      }
      x += s.width;
    }
  }
  if (!tblGrid) tblGrid = tbl.insert_child_after("w:tblGrid", tbl.child("w:tblPr"));
  tblGrid.remove_children();
  int previous = 0;
  for (int b : bounds) {
    if (b == 0) continue;
    tblGrid.append_child("w:gridCol").append_attribute("w:w") = b - previous;
    previous = b;
  }
}

// Width of each cell of a row in twentieths of a point, from the current grid.
std::vector<int> cellWidths(pugi::xml_node tbl, pugi::xml_node tr) {
  std::vector<int> grid;
  for (pugi::xml_node gc = tbl.child("w:tblGrid").child("w:gridCol"); gc;
       gc = gc.next_sibling("w:gridCol")) {
    grid.push_back(intAttr(gc, "w:w", 0));
  }
  std::size_t col = static_cast<std::size_t>(
      std::max(0, intAttr(tr.child("w:trPr").child("w:gridBefore"), "w:val", 0)));
  std::vector<int> widths;
  for (pugi::xml_node tc : cellsOf(tr)) {
    const int span = std::max(1, intAttr(tc.child("w:tcPr").child("w:gridSpan"), "w:val", 1));
    int w = 0;
    for (int k = 0; k < span; ++k, ++col) {
      if (col < grid.size()) w += grid[col];
    }
    if (w == 0) w = intAttr(tc.child("w:tcPr").child("w:tcW"), "w:w", 0);
    widths.push_back(w);
  }
  return widths;
}

// Empties a cell down to one paragraph that keeps the first paragraph's properties; the first
// run's formatting becomes the paragraph mark's, so text written later looks the same.
void emptyCell(pugi::xml_node tc) {
  pugi::xml_node firstP = tc.child("w:p");
  pugi::xml_document holder;
  pugi::xml_node pPr = holder.append_child("w:pPr");
  if (firstP.child("w:pPr")) {
    holder.remove_child(pPr);
    pPr = holder.append_copy(firstP.child("w:pPr"));
  }
  std::vector<pugi::xml_node> runs;
  collect(
      tc, [](pugi::xml_node n) { return is(n, "w:r"); }, runs);
  if (!runs.empty() && runs.front().child("w:rPr")) {
    pPr.remove_child("w:rPr");
    pugi::xml_node slot = orderedChild(pPr, "w:rPr", DOCX_PPR_ORDER);
    for (pugi::xml_node c = runs.front().child("w:rPr").first_child(); c; c = c.next_sibling()) {
      slot.append_copy(c);
    }
  }
  pPr.remove_child("w:sectPr");
  std::vector<pugi::xml_node> content;
  for (pugi::xml_node c = tc.first_child(); c; c = c.next_sibling()) {
    if (!is(c, "w:tcPr")) content.push_back(c);
  }
  for (pugi::xml_node c : content) tc.remove_child(c);
  pugi::xml_node p = tc.append_child("w:p");
  if (pPr.first_child()) p.append_copy(pPr);
}

}  // namespace

TableEditor::TableEditor(Package& package, const Story& body, BookmarkEditor& bookmarks)
    : package_(package), body_(body), bookmarks_(bookmarks) {}

std::vector<pugi::xml_node> TableEditor::tables() {
  std::vector<pugi::xml_node> result;
  auto visit = [&](auto&& self, pugi::xml_node node) -> void {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
      if (is(c, "w:tbl")) {
        result.push_back(c);
      } else if (is(c, "w:sdt") || is(c, "w:sdtContent") || is(c, "w:customXml")) {
        self(self, c);
      }
    }
  };
  visit(visit, body_.root);
  return result;
}

pugi::xml_node TableEditor::table(int index) {
  const auto all = tables();
  if (index < 1 || index > static_cast<int>(all.size())) {
    throw DocxError(ErrorCode::kTableOutOfRange, "Tabelle " + std::to_string(index) +
                                                     " gibt es nicht (" +
                                                     std::to_string(all.size()) + " Tabellen)");
  }
  return all[static_cast<std::size_t>(index - 1)];
}

pugi::xml_node TableEditor::row(int t, int index) {
  pugi::xml_node tbl = table(t);
  int i = 0;
  for (pugi::xml_node tr = tbl.child("w:tr"); tr; tr = tr.next_sibling("w:tr")) {
    if (++i == index) return tr;
  }
  throw DocxError(ErrorCode::kTableOutOfRange, "Zeile " + std::to_string(index) + " von Tabelle " +
                                                   std::to_string(t) + " gibt es nicht");
}

pugi::xml_node TableEditor::cell(int t, int r, int index) {
  const auto cells = cellsOf(row(t, r));
  if (index < 1 || index > static_cast<int>(cells.size())) {
    throw DocxError(ErrorCode::kTableOutOfRange, "Zelle " + std::to_string(index) + " von Zeile " +
                                                     std::to_string(r) + " gibt es nicht");
  }
  return cells[static_cast<std::size_t>(index - 1)];
}

void TableEditor::changed() {
  package_.markModified(body_.part);
}

// Removes `victim`; bookmarks wholly inside go with it, markers of bookmarks reaching outside
// are parked in front of the enclosing table so those bookmarks stay intact.
void TableEditor::removeKeepingMarkers(pugi::xml_node victim) {
  std::vector<pugi::xml_node> markers;
  collect(
      victim, [](pugi::xml_node n) { return is(n, "w:bookmarkStart") || is(n, "w:bookmarkEnd"); },
      markers);
  std::multiset<std::string> ids;
  for (pugi::xml_node m : markers) ids.insert(m.attribute("w:id").value());
  pugi::xml_node tbl = is(victim, "w:tbl") ? victim : ancestor(victim, "w:tbl");
  for (pugi::xml_node m : markers) {
    if (ids.count(m.attribute("w:id").value()) < 2) tbl.parent().insert_move_before(m, tbl);
  }
  victim.parent().remove_child(victim);
  if (!markers.empty()) bookmarks_.invalidate();
}

int TableEditor::count() {
  return static_cast<int>(tables().size());
}

int TableEditor::rowCount(int t) {
  int n = 0;
  for (pugi::xml_node tr = table(t).child("w:tr"); tr; tr = tr.next_sibling("w:tr")) ++n;
  return n;
}

int TableEditor::cellCount(int t, int r) {
  return static_cast<int>(cellsOf(row(t, r)).size());
}

void TableEditor::appendRow(int t) {
  pugi::xml_node tbl = table(t);
  pugi::xml_node last = tbl.last_child();
  while (last && !is(last, "w:tr")) last = last.previous_sibling();
  if (!last)
    throw DocxError(ErrorCode::kTableOutOfRange, "die Tabelle hat keine Zeile zum Kopieren");
  pugi::xml_node copy = tbl.insert_copy_after(last, last);
  std::vector<pugi::xml_node> markers;
  collect(copy, isMarkerLike, markers);
  for (pugi::xml_node m : markers) m.parent().remove_child(m);
  for (pugi::xml_node tc : cellsOf(copy)) {
    tc.child("w:tcPr").remove_child("w:vMerge");
    emptyCell(tc);
  }
  changed();
}

void TableEditor::deleteRow(int t, int r) {
  pugi::xml_node tr = row(t, r);
  if (rowCount(t) == 1) {
    deleteTable(t);
    return;
  }
  removeKeepingMarkers(tr);
  changed();
}

void TableEditor::mergeRow(int t, int r) {
  pugi::xml_node tbl = table(t);
  pugi::xml_node tr = row(t, r);
  const auto cells = cellsOf(tr);
  if (cells.size() < 2) return;
  const auto widths = cellWidths(tbl, tr);
  int total = 0;
  for (int w : widths) total += w;
  pugi::xml_node first = cells.front();
  pugi::xml_node lastP = first.last_child();
  while (lastP && !is(lastP, "w:p")) lastP = lastP.previous_sibling();
  for (std::size_t k = 1; k < cells.size(); ++k) {
    pugi::xml_node tc = cells[k];
    std::vector<pugi::xml_node> content;
    for (pugi::xml_node c = tc.first_child(); c; c = c.next_sibling()) {
      if (!is(c, "w:tcPr")) content.push_back(c);
    }
    if (!textOfContainer(tc).empty()) {
      for (pugi::xml_node c : content) first.append_move(c);
    } else {
      std::vector<pugi::xml_node> markers;
      collect(
          tc, [](pugi::xml_node n) { return is(n, "w:bookmarkStart") || is(n, "w:bookmarkEnd"); },
          markers);
      for (pugi::xml_node m : markers) {
        if (lastP) lastP.append_move(m);
      }
    }
    tr.remove_child(tc);
  }
  pugi::xml_node tcPr = first.child("w:tcPr");
  tcPr.remove_child("w:hMerge");
  tcPr.remove_child("w:vMerge");
  normalizeGrid(tbl, {{first.internal_object(), total}});
  changed();
}

void TableEditor::splitRow(int t, int r, int columns) {
  if (columns < 1 || columns > 63) {
    throw DocxError(ErrorCode::kInvalidArgument,
                    "eine Zeile lässt sich nur in 1 bis 63 Zellen teilen");
  }
  pugi::xml_node tbl = table(t);
  pugi::xml_node tr = row(t, r);
  mergeRow(t, r);
  pugi::xml_node first = tr.child("w:tc");
  const int total = cellWidths(tbl, tr).front();
  WidthOverrides widths;
  const int each = std::max(1, total / columns);
  widths[first.internal_object()] = each;
  pugi::xml_node previous = first;
  for (int k = 1; k < columns; ++k) {
    pugi::xml_node tc = tr.insert_child_after("w:tc", previous);
    if (pugi::xml_node tcPr = first.child("w:tcPr")) tc.append_copy(tcPr);
    pugi::xml_node p = tc.append_child("w:p");
    if (pugi::xml_node pPr = first.child("w:p").child("w:pPr")) {
      p.append_copy(pPr).remove_child("w:sectPr");
    }
    widths[tc.internal_object()] =
        k == columns - 1 ? std::max(1, total - each * (columns - 1)) : each;
    previous = tc;
  }
  normalizeGrid(tbl, widths);
  changed();
}

std::string TableEditor::cellText(int t, int r, int c) {
  return textOfContainer(cell(t, r, c));
}

void TableEditor::setCellText(int t, int r, int c, std::string_view text, const RunFormat& format) {
  validate(format);
  const std::string clean = cleanText(text);
  pugi::xml_node tc = cell(t, r, c);
  // Formatting of the first run (or of the first paragraph mark) carries over to the new text.
  pugi::xml_document holder;
  std::vector<pugi::xml_node> runs;
  collect(
      tc, [](pugi::xml_node n) { return is(n, "w:r"); }, runs);
  pugi::xml_node firstP = tc.child("w:p");
  if (!runs.empty() && runs.front().child("w:rPr")) {
    holder.append_copy(runs.front().child("w:rPr"));
  } else if (pugi::xml_node markRPr = firstP.child("w:pPr").child("w:rPr")) {
    holder.append_copy(markRPr);
  }
  pugi::xml_document pPrHolder;
  if (firstP.child("w:pPr")) pPrHolder.append_copy(firstP.child("w:pPr"));

  std::vector<pugi::xml_node> markers;
  collect(
      tc, [](pugi::xml_node n) { return is(n, "w:bookmarkStart") || is(n, "w:bookmarkEnd"); },
      markers);
  std::multiset<std::string> ids;
  for (pugi::xml_node m : markers) ids.insert(m.attribute("w:id").value());
  pugi::xml_node p = tc.append_child("w:p");
  if (pPrHolder.first_child()) p.append_copy(pPrHolder.first_child()).remove_child("w:sectPr");
  for (pugi::xml_node m : markers) {
    if (ids.count(m.attribute("w:id").value()) < 2) p.append_move(m);
  }
  std::vector<pugi::xml_node> old;
  for (pugi::xml_node ch = tc.first_child(); ch != p; ch = ch.next_sibling()) {
    if (!is(ch, "w:tcPr")) old.push_back(ch);
  }
  for (pugi::xml_node ch : old) tc.remove_child(ch);
  insertText({p, pugi::xml_node()}, clean, holder.first_child(), format);
  if (!markers.empty()) bookmarks_.invalidate();
  changed();
}

void TableEditor::setCellFont(int t, int r, int c, const RunFormat& format) {
  validate(format);
  pugi::xml_node tc = cell(t, r, c);
  std::vector<pugi::xml_node> runs;
  collect(
      tc, [](pugi::xml_node n) { return is(n, "w:r"); }, runs);
  for (pugi::xml_node run : runs) applyFormat(runProperties(run), format);
  for (pugi::xml_node p = tc.child("w:p"); p; p = p.next_sibling("w:p")) {
    pugi::xml_node pPr = p.child("w:pPr");
    if (!pPr) pPr = p.prepend_child("w:pPr");
    applyFormat(orderedChild(pPr, "w:rPr", DOCX_PPR_ORDER), format);
  }
  changed();
}

void TableEditor::deleteTable(int t) {
  pugi::xml_node tbl = table(t);
  pugi::xml_node parent = tbl.parent();
  removeKeepingMarkers(tbl);
  if (!parent.child("w:p") && !parent.child("w:tbl")) {
    // A body (or content control) needs at least one paragraph.
    pugi::xml_node sect = parent.child("w:sectPr");
    if (sect) {
      parent.insert_child_before("w:p", sect);
    } else {
      parent.append_child("w:p");
    }
  }
  changed();
}

}  // namespace docx
