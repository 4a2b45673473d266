#include "word/docx/bookmarks.h"

#include <set>

#include "word/docx/docx_error.h"
#include "word/docx/range_walk.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

bool isMarker(pugi::xml_node n) {
  return is(n, "w:bookmarkStart") || is(n, "w:bookmarkEnd");
}

bool isProperty(pugi::xml_node n) {
  static constexpr std::string_view kKept[] = {"w:pPr",   "w:rPr",     "w:tcPr",    "w:trPr",
                                               "w:tblPr", "w:tblGrid", "w:tblPrEx", "w:sectPr"};
  for (std::string_view k : kKept) {
    if (n.type() == pugi::node_element && k == n.name()) return true;
  }
  return false;
}

// Word processors treat bookmark names without regard to case.
std::string foldCase(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

bool inParagraph(pugi::xml_node n) {
  return static_cast<bool>(ancestor(n.parent(), "w:p"));
}

// Puts `node` at the very start of paragraph `p`, behind its properties.
void moveToParagraphStart(pugi::xml_node node, pugi::xml_node p) {
  if (pugi::xml_node pPr = p.child("w:pPr")) {
    p.insert_move_after(node, pPr);
  } else {
    p.prepend_move(node);
  }
}

std::vector<pugi::xml_node> pathToRoot(pugi::xml_node n) {
  std::vector<pugi::xml_node> path;
  for (; n; n = n.parent()) path.push_back(n);
  return path;
}

// The first paragraph after `n` in document order (its own descendants excluded).
pugi::xml_node nextParagraph(pugi::xml_node n) {
  pugi::xml_node found;
  walkBetween(
      n, pugi::xml_node(),
      [&](pugi::xml_node e) {
        if (found) return false;
        if (is(e, "w:p")) {
          found = e;
          return false;
        }
        return e.type() == pugi::node_element && !isOpaque(e);
      },
      [](pugi::xml_node) {});
  return found;
}

pugi::xml_node lastParagraphIn(pugi::xml_node n) {
  if (is(n, "w:p")) return n;
  if (n.type() != pugi::node_element || isOpaque(n)) return {};
  for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling()) {
    if (pugi::xml_node p = lastParagraphIn(c)) return p;
  }
  return {};
}

// The last paragraph before `n` in document order.
pugi::xml_node previousParagraph(pugi::xml_node n) {
  for (pugi::xml_node m = n; m; m = m.parent()) {
    for (pugi::xml_node s = m.previous_sibling(); s; s = s.previous_sibling()) {
      if (pugi::xml_node p = lastParagraphIn(s)) return p;
    }
  }
  return {};
}

// Removes content between two markers while keeping the document's structure valid: table rows
// and cells in the stretch are emptied rather than removed, and markers of other bookmarks are
// kept at the deletion point (those wholly inside it are dropped).
class RangeEraser {
 public:
  explicit RangeEraser(pugi::xml_node end) : end_(end) {}

  void discard(pugi::xml_node n) {
    if (isProperty(n)) return;
    if (is(n, "w:tc")) {
      clearCell(n);
      return;
    }
    if (is(n, "w:tr")) {
      for (pugi::xml_node tc = n.child("w:tc"); tc; tc = tc.next_sibling("w:tc")) clearCell(tc);
      return;
    }
    if (isMarker(n)) {
      rescue(n);
      return;
    }
    std::vector<pugi::xml_node> markers;
    collectMarkers(n, markers);
    for (pugi::xml_node m : markers) rescue(m);
    n.parent().remove_child(n);
  }

  // Drops bookmarks that lay wholly inside the removed stretch; answers whether it dropped one.
  bool settle() {
    std::set<std::string> startIds;
    std::set<std::string> endIds;
    for (pugi::xml_node m : rescued_) {
      (is(m, "w:bookmarkStart") ? startIds : endIds).insert(m.attribute("w:id").value());
    }
    bool removed = false;
    for (pugi::xml_node m : rescued_) {
      const std::string id = m.attribute("w:id").value();
      if (startIds.count(id) && endIds.count(id)) {
        m.parent().remove_child(m);
        removed = true;
      }
    }
    // Moved markers keep their identity, so the name index stays valid unless one was removed.
    return removed;
  }

 private:
  void rescue(pugi::xml_node marker) {
    end_.parent().insert_move_before(marker, end_);
    rescued_.push_back(marker);
  }

  static void collectMarkers(pugi::xml_node n, std::vector<pugi::xml_node>& out) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
      if (isMarker(c)) {
        out.push_back(c);
      } else if (c.type() == pugi::node_element) {
        collectMarkers(c, out);
      }
    }
  }

  void clearCell(pugi::xml_node tc) {
    std::vector<pugi::xml_node> children;
    for (pugi::xml_node c = tc.first_child(); c; c = c.next_sibling()) children.push_back(c);
    pugi::xml_node keptPPr;
    for (pugi::xml_node c : children) {
      if (!keptPPr && is(c, "w:p") && c.child("w:pPr")) keptPPr = c.child("w:pPr");
    }
    pugi::xml_document holder;
    if (keptPPr) holder.append_copy(keptPPr);
    for (pugi::xml_node c : children) discard(c);
    if (!tc.child("w:p")) {
      pugi::xml_node p = tc.append_child("w:p");
      if (holder.first_child()) p.append_copy(holder.first_child());
    }
  }

  pugi::xml_node end_;
  std::vector<pugi::xml_node> rescued_;
};

// Run properties to copy for new text, kept in a private document.
class FormatTemplate {
 public:
  void take(pugi::xml_node rPr) {
    if (!rPr) return;
    pugi::xml_node copy = holder_.append_copy(rPr);
    copy.set_name("w:rPr");
    // Revision marks of a paragraph mark do not belong on a run.
    for (const char* drop : {"w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"}) {
      copy.remove_child(drop);
    }
  }
  pugi::xml_node node() const { return holder_.first_child(); }

 private:
  pugi::xml_document holder_;
};

void fillTemplate(FormatTemplate& tmpl, pugi::xml_node start, pugi::xml_node end, bool last) {
  const std::vector<pugi::xml_node> runs = runsBetween(start, end);
  if (!runs.empty()) {
    tmpl.take((last ? runs.back() : runs.front()).child("w:rPr"));
    return;
  }
  // An empty bookmark writes like the text in front of it.
  for (pugi::xml_node n = start.previous_sibling(); n; n = n.previous_sibling()) {
    if (is(n, "w:r")) {
      tmpl.take(n.child("w:rPr"));
      return;
    }
  }
  if (pugi::xml_node p = ancestor(start, "w:p")) {
    tmpl.take(p.child("w:pPr").child("w:rPr"));
  }
}

void fillRun(pugi::xml_node run, std::string_view text, pugi::xml_node rPr,
             const RunFormat& format) {
  if (rPr || !format.empty()) {
    pugi::xml_node props = rPr ? run.append_copy(rPr) : run.append_child("w:rPr");
    applyFormat(props, format);
    if (!props.first_child()) run.remove_child(props);
  }
  std::string pending;
  auto flush = [&] {
    if (!pending.empty()) appendTextElement(run, pending);
    pending.clear();
  };
  for (char c : text) {
    if (c == '\n') {
      flush();
      run.append_child("w:br");
    } else if (c == '\t') {
      flush();
      run.append_child("w:tab");
    } else if (c == '\f') {
      flush();
      run.append_child("w:br").append_attribute("w:type") = "page";
    } else {
      pending += c;
    }
  }
  flush();
}

// Splits the paragraph at the insertion point; answers the point at the start of the new one.
InsertPoint splitParagraph(InsertPoint at) {
  pugi::xml_node p = ancestor(at.parent, "w:p");
  if (!p) throw DocxError(ErrorCode::kInvalidArgument, "die Einfügestelle liegt in keinem Absatz");
  if (at.parent != p) {
    // Inside a hyperlink or similar: the split happens behind that container.
    pugi::xml_node child = at.parent;
    while (child.parent() != p) child = child.parent();
    at = {p, child.next_sibling()};
  }
  pugi::xml_node next = p.parent().insert_child_after("w:p", p);
  if (pugi::xml_node pPr = p.child("w:pPr")) {
    next.append_copy(pPr);
    pPr.remove_child("w:sectPr");  // a section break belongs to the last piece only
  }
  pugi::xml_node first;
  for (pugi::xml_node n = at.before; n;) {
    pugi::xml_node following = n.next_sibling();
    next.append_move(n);
    if (!first) first = n;
    n = following;
  }
  return {next, first};
}

}  // namespace

InsertPoint insertText(InsertPoint at, std::string_view text, pugi::xml_node rPr,
                       const RunFormat& format) {
  std::size_t begin = 0;
  bool firstSegment = true;
  while (true) {
    const std::size_t cr = text.find('\r', begin);
    const std::string_view segment =
        text.substr(begin, cr == std::string_view::npos ? std::string_view::npos : cr - begin);
    if (!firstSegment) at = splitParagraph(at);
    firstSegment = false;
    if (!segment.empty()) {
      pugi::xml_node run = at.before ? at.parent.insert_child_before("w:r", at.before)
                                     : at.parent.append_child("w:r");
      fillRun(run, segment, rPr, format);
    }
    if (cr == std::string_view::npos) break;
    begin = cr + 1;
  }
  return at;
}

BookmarkEditor::BookmarkEditor(Package& package, const std::vector<Story>& stories)
    : package_(package), stories_(stories) {}

void BookmarkEditor::buildIndex() {
  lastValid_ = false;
  starts_.clear();
  ends_.clear();
  for (std::size_t s = 0; s < stories_.size(); ++s) {
    const std::string prefix = std::to_string(s) + "/";
    // A loop rather than recursion: the walk's depth must not depend on the document. Every
    // element of the story is visited, so each is asked for its name once.
    const pugi::xml_node root = stories_[s].root;
    pugi::xml_node c = root.first_child();
    while (c) {
      pugi::xml_node child;
      if (c.type() == pugi::node_element) {
        const std::string_view name = c.name();
        if (name == "w:bookmarkStart") {
          starts_.try_emplace(foldCase(c.attribute("w:name").value()), Entry{s, c});
        } else if (name == "w:bookmarkEnd") {
          ends_.try_emplace(prefix + c.attribute("w:id").value(), c);
        } else if (name != "w:r" && name != "w:t" && !isOpaqueName(name)) {
          // Bookmarks stand beside runs, never in them (a text box's own bookmarks sit in a
          // drawing, which is skipped anyway), so the runs, half of a sheet's elements, are
          // stepped over.
          child = c.first_child();
        }
      }
      if (child) {
        c = child;
        continue;
      }
      pugi::xml_node next;
      while (c != root && !(next = c.next_sibling())) c = c.parent();
      c = c == root ? pugi::xml_node() : next;
    }
  }
  indexed_ = true;
}

BookmarkEditor::Located BookmarkEditor::locate(std::string_view name, BookmarkScope scope) {
  if (lastValid_ && scope == lastScope_ && name == lastName_) return last_;
  if (!indexed_) buildIndex();
  const auto it = starts_.find(foldCase(name));
  if (it == starts_.end() ||
      (scope == BookmarkScope::kMainText && !stories_[it->second.story].main)) {
    throw DocxError(ErrorCode::kBookmarkNotFound,
                    "die Textmarke " + std::string(name) + " gibt es nicht");
  }
  const Entry& e = it->second;
  const auto end = ends_.find(std::to_string(e.story) + "/" + e.start.attribute("w:id").value());
  if (end == ends_.end()) {
    throw DocxError(ErrorCode::kBookmarkNotFound,
                    "die Textmarke " + std::string(name) + " hat kein Ende");
  }
  last_ = {&stories_[e.story], e.start, end->second};
  lastName_ = name;
  lastScope_ = scope;
  lastValid_ = true;
  return last_;
}

bool BookmarkEditor::exists(std::string_view name, BookmarkScope scope) {
  try {
    locate(name, scope);
    return true;
  } catch (const DocxError& e) {
    if (e.code() == ErrorCode::kBookmarkNotFound) return false;
    throw;
  }
}

std::string BookmarkEditor::text(std::string_view name, BookmarkScope scope) {
  const Located b = locate(name, scope);
  return textBetween(b.start, b.end);
}

std::size_t BookmarkEditor::length(std::string_view name, BookmarkScope scope) {
  return utf16Length(text(name, scope));
}

// Brings both markers inside paragraphs (markers may sit between paragraphs or on table level).
void BookmarkEditor::normalize(Located& b) {
  const bool startInline = inParagraph(b.start);
  const bool endInline = inParagraph(b.end);
  if (startInline && endInline) return;
  pugi::xml_node firstP;
  pugi::xml_node lastClosedP;
  walkBetween(
      b.start, b.end,
      [&](pugi::xml_node n) {
        if (is(n, "w:p") && !firstP) firstP = n;
        return n.type() == pugi::node_element && !isOpaque(n);
      },
      [&](pugi::xml_node n) {
        if (is(n, "w:p")) lastClosedP = n;
      });
  if (!startInline && !firstP) {
    // An empty bookmark between paragraphs: both markers go to the start of the next paragraph
    // (or, at the very end of the story, to the end of the last one).
    if (pugi::xml_node p = nextParagraph(b.end)) {
      moveToParagraphStart(b.start, p);
    } else if (pugi::xml_node q = previousParagraph(b.start)) {
      q.append_move(b.start);
    } else {
      throw DocxError(ErrorCode::kInvalidArgument, "die Textmarke liegt außerhalb jedes Absatzes");
    }
    b.start.parent().insert_move_after(b.end, b.start);
    return;
  }
  if (!startInline) moveToParagraphStart(b.start, firstP);
  if (!endInline) {
    if (lastClosedP) {
      lastClosedP.append_move(b.end);
    } else {
      b.start.parent().insert_move_after(b.end, b.start);
    }
  }
}

namespace {

// The children of the markers' lowest common ancestor that hold the start and the end marker,
// and the nodes between them. Throws when the end marker does not follow the start marker.
struct Span {
  pugi::xml_node startSide;
  pugi::xml_node endSide;
  std::vector<pugi::xml_node> between;
};

Span spanOf(pugi::xml_node start, pugi::xml_node end) {
  // Most bookmarks start and end in the same paragraph: their common parent is at hand.
  if (start.parent() == end.parent()) {
    Span span{start, end, {}};
    for (pugi::xml_node n = start.next_sibling(); n; n = n.next_sibling()) {
      if (n == end) return span;
      span.between.push_back(n);
    }
    throw DocxError(ErrorCode::kMalformedXml, "die Textmarke endet vor ihrem Anfang");
  }
  const std::vector<pugi::xml_node> ps = pathToRoot(start);
  const std::vector<pugi::xml_node> pe = pathToRoot(end);
  std::size_t i = ps.size();
  std::size_t j = pe.size();
  while (i > 0 && j > 0 && ps[i - 1] == pe[j - 1]) {
    --i;
    --j;
  }
  if (i == 0 || j == 0) {
    throw DocxError(ErrorCode::kMalformedXml,
                    "Anfang und Ende von Textmarken sind ineinander verschachtelt");
  }
  Span span{ps[i - 1], pe[j - 1], {}};
  for (pugi::xml_node n = span.startSide.next_sibling(); n; n = n.next_sibling()) {
    if (n == span.endSide) return span;
    span.between.push_back(n);
  }
  throw DocxError(ErrorCode::kMalformedXml, "die Textmarke endet vor ihrem Anfang");
}

}  // namespace

void BookmarkEditor::deleteContent(const Located& b) {
  const Span span = spanOf(b.start, b.end);
  pugi::xml_node as = span.startSide;
  pugi::xml_node ae = span.endSide;
  const std::vector<pugi::xml_node>& between = span.between;
  RangeEraser eraser(b.end);
  for (pugi::xml_node n = b.start; n != as; n = n.parent()) {
    std::vector<pugi::xml_node> following;
    for (pugi::xml_node s = n.next_sibling(); s; s = s.next_sibling()) following.push_back(s);
    for (pugi::xml_node s : following) eraser.discard(s);
  }
  for (pugi::xml_node n = b.end; n != ae; n = n.parent()) {
    std::vector<pugi::xml_node> preceding;
    for (pugi::xml_node s = n.previous_sibling(); s; s = s.previous_sibling()) {
      preceding.push_back(s);
    }
    for (pugi::xml_node s : preceding) eraser.discard(s);
  }
  for (pugi::xml_node n : between) eraser.discard(n);
  if (as != b.start && ae != b.end && is(as, "w:p") && is(ae, "w:p")) {
    // Deleting across paragraph marks joins the first and the last paragraph.
    if (pugi::xml_node sect = ae.child("w:pPr").child("w:sectPr");
        sect && !as.child("w:pPr").child("w:sectPr")) {
      orderedChild(as, "w:pPr", {"w:pPr"}).append_move(sect);
    }
    std::vector<pugi::xml_node> moved;
    for (pugi::xml_node c = ae.first_child(); c; c = c.next_sibling()) {
      if (!is(c, "w:pPr")) moved.push_back(c);
    }
    for (pugi::xml_node c : moved) as.append_move(c);
    ae.parent().remove_child(ae);
  }
  if (eraser.settle()) invalidate();
}

void BookmarkEditor::replace(std::string_view name, std::string_view text, const RunFormat& format,
                             BookmarkScope scope) {
  validate(format);
  const std::string clean = cleanText(text);
  Located b = locate(name, scope);
  spanOf(b.start, b.end);  // a damaged bookmark fails before anything moves
  normalize(b);
  FormatTemplate tmpl;
  fillTemplate(tmpl, b.start, b.end, false);
  lastValid_ = false;
  deleteContent(b);
  insertText({b.start.parent(), b.start.next_sibling()}, clean, tmpl.node(), format);
  package_.markModified(b.story->part);
}

void BookmarkEditor::insert(std::string_view name, std::string_view text, const RunFormat& format,
                            BookmarkScope scope, bool atEnd) {
  validate(format);
  const std::string clean = cleanText(text);
  Located b = locate(name, scope);
  spanOf(b.start, b.end);
  normalize(b);
  FormatTemplate tmpl;
  fillTemplate(tmpl, b.start, b.end, atEnd);
  const InsertPoint at = atEnd ? InsertPoint{b.end.parent(), b.end}
                               : InsertPoint{b.start.parent(), b.start.next_sibling()};
  lastValid_ = false;
  insertText(at, clean, tmpl.node(), format);
  package_.markModified(b.story->part);
}

void BookmarkEditor::setFont(std::string_view name, const RunFormat& format, BookmarkScope scope) {
  validate(format);
  const Located b = locate(name, scope);
  lastValid_ = false;
  for (pugi::xml_node run : runsBetween(b.start, b.end)) applyFormat(runProperties(run), format);
  package_.markModified(b.story->part);
}

bool BookmarkEditor::replaceFirst(std::string_view name, std::string_view search,
                                  std::string_view replacement, BookmarkScope scope) {
  if (search.empty()) throw DocxError(ErrorCode::kInvalidArgument, "leerer Suchtext");
  const std::string cleanSearch = cleanText(search);
  const std::string cleanReplacement = cleanText(replacement);
  const Located b = locate(name, scope);
  lastValid_ = false;
  // Text pieces in order; pieces without a node (breaks, paragraph ends) stop a match.
  struct Piece {
    pugi::xml_node t;
    std::size_t offset;
    std::size_t length;
  };
  std::vector<Piece> pieces;
  std::string all;
  walkBetween(
      b.start, b.end,
      [&](pugi::xml_node n) {
        if (is(n, "w:t")) {
          const std::string_view v = n.child_value();
          pieces.push_back({n, all.size(), v.size()});
          all += v;
          return false;
        }
        std::string other;
        const bool descend = textOf(n, other);
        if (!other.empty()) {
          pieces.push_back({pugi::xml_node(), all.size(), other.size()});
          all += other;
        }
        return descend;
      },
      [&](pugi::xml_node n) {
        if (is(n, "w:p")) {
          pieces.push_back({pugi::xml_node(), all.size(), 1});
          all += '\r';
        }
      });
  for (std::size_t pos = all.find(cleanSearch); pos != std::string::npos;
       pos = all.find(cleanSearch, pos + 1)) {
    const std::size_t stop = pos + cleanSearch.size();
    std::vector<const Piece*> touched;
    bool clean = true;
    for (const Piece& p : pieces) {
      if (p.offset + p.length <= pos || p.offset >= stop) continue;
      if (!p.t) clean = false;
      touched.push_back(&p);
    }
    if (!clean || touched.empty()) continue;
    for (std::size_t k = 0; k < touched.size(); ++k) {
      const Piece& p = *touched[k];
      pugi::xml_node t = p.t;
      const std::string old = t.child_value();
      std::string now;
      if (k == 0) now = old.substr(0, pos - p.offset) + cleanReplacement;
      if (stop < p.offset + p.length) now += old.substr(stop - p.offset);
      t.text().set(now.c_str());
      if (!now.empty() && (now.front() == ' ' || now.back() == ' ') && !t.attribute("xml:space")) {
        t.append_attribute("xml:space") = "preserve";
      }
    }
    package_.markModified(b.story->part);
    return true;
  }
  return false;
}

}  // namespace docx
