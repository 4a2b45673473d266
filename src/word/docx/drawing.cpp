#include "word/docx/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "word/docx/docx_error.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

constexpr double kEmuPerPoint = 12700.0;
constexpr const char* kNsWp =
    "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
constexpr const char* kNsA = "http://schemas.openxmlformats.org/drawingml/2006/main";
constexpr const char* kNsWps = "http://schemas.microsoft.com/office/word/2010/wordprocessingShape";
constexpr const char* kNsWpg = "http://schemas.microsoft.com/office/word/2010/wordprocessingGroup";
// Coordinates beyond this are certainly an error of the caller (about 1.7 km).
constexpr double kMaxCoordinate = 5.0e6;

long long emu(double points) {
  return std::llround(points * kEmuPerPoint);
}
long long emuSize(double points) {
  return std::max(1LL, emu(points));
}

std::string hex(Rgb c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", c.r, c.g, c.b);
  return buffer;
}

void checkFinite(double v) {
  if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate) {
    throw DocxError(ErrorCode::kInvalidArgument, "Koordinate außerhalb des zulässigen Bereichs");
  }
}

void attr(pugi::xml_node n, const char* name, long long value) {
  n.append_attribute(name) = std::to_string(value).c_str();
}

void color(pugi::xml_node parent, Rgb c, double transparency = 0) {
  pugi::xml_node clr = parent.append_child("a:srgbClr");
  clr.append_attribute("val") = hex(c).c_str();
  if (transparency > 0) {
    attr(clr.append_child("a:alpha"), "val", std::llround((1.0 - transparency) * 100000));
  }
}

void xfrm(pugi::xml_node parent, const Frame& f) {
  pugi::xml_node x = parent.append_child("a:xfrm");
  pugi::xml_node off = x.append_child("a:off");
  attr(off, "x", emu(f.left));
  attr(off, "y", emu(f.top));
  pugi::xml_node ext = x.append_child("a:ext");
  attr(ext, "cx", emuSize(f.width));
  attr(ext, "cy", emuSize(f.height));
}

Frame bounds(const std::vector<Frame>& frames) {
  double l = frames.front().left, t = frames.front().top;
  double r = l + frames.front().width, b = t + frames.front().height;
  for (const Frame& f : frames) {
    l = std::min(l, f.left);
    t = std::min(t, f.top);
    r = std::max(r, f.left + f.width);
    b = std::max(b, f.top + f.height);
  }
  return {l, t, r - l, b - t};
}

}  // namespace

Drawing::Shape& Drawing::shape(int n) {
  return const_cast<Shape&>(static_cast<const Drawing*>(this)->shape(n));
}

const Drawing::Shape& Drawing::shape(int n) const {
  if (n < 1 || n > static_cast<int>(shapes_.size())) {
    throw DocxError(ErrorCode::kShapeOutOfRange, "Form " + std::to_string(n) + " gibt es nicht (" +
                                                     std::to_string(shapes_.size()) + " Formen)");
  }
  return shapes_[static_cast<std::size_t>(n - 1)];
}

Drawing::Group& Drawing::groupAt(int n) {
  return const_cast<Group&>(static_cast<const Drawing*>(this)->groupAt(n));
}

const Drawing::Group& Drawing::groupAt(int n) const {
  if (n < 1 || n > static_cast<int>(groups_.size())) {
    throw DocxError(ErrorCode::kShapeOutOfRange, "Gruppe " + std::to_string(n) + " gibt es nicht");
  }
  return groups_[static_cast<std::size_t>(n - 1)];
}

int Drawing::addPolyline(const std::vector<Point>& points) {
  return addPolylines({points});
}

int Drawing::addPolylines(const std::vector<std::vector<Point>>& lines, double resolution) {
  if (lines.empty()) throw DocxError(ErrorCode::kInvalidArgument, "keine Linienzüge");
  if (!(resolution >= 0) || !std::isfinite(resolution))
    throw DocxError(ErrorCode::kInvalidArgument, "ungültige Auflösung");
  for (const auto& points : lines) {
    if (points.size() < 2) {
      throw DocxError(ErrorCode::kInvalidArgument, "ein Linienzug braucht mindestens zwei Punkte");
    }
    for (const Point& p : points) {
      checkFinite(p.x);
      checkFinite(p.y);
    }
  }
  Shape s;
  s.kind = Kind::kPolyline;
  double l = lines[0][0].x, t = lines[0][0].y, r = l, b = t;
  for (const auto& points : lines)
    for (const Point& p : points) {
      l = std::min(l, p.x);
      t = std::min(t, p.y);
      r = std::max(r, p.x);
      b = std::max(b, p.y);
    }
  s.frame = {l, t, r - l, b - t};
  s.pathWidth = r - l;
  s.pathHeight = b - t;
  s.resolution = resolution;
  s.closed = true;
  for (const auto& points : lines) {
    const bool closed = points.size() > 2 && points.front().x == points.back().x &&
                        points.front().y == points.back().y;
    s.starts.push_back(s.path.size());
    s.closedLines.push_back(closed);
    s.closed = s.closed && closed;
    // The close command draws a closed line's last edge.
    const std::size_t count = closed ? points.size() - 1 : points.size();
    for (std::size_t k = 0; k < count; ++k) s.path.push_back({points[k].x - l, points[k].y - t});
  }
  if (s.closed) s.fill = Fill::kSolid;
  shapes_.push_back(std::move(s));
  return shapeCount();
}

int Drawing::addLabel(double left, double top, double width, double height) {
  for (double v : {left, top, width, height}) checkFinite(v);
  if (width < 0 || height < 0) {
    throw DocxError(ErrorCode::kInvalidArgument, "eine Beschriftung braucht eine positive Größe");
  }
  Shape s;
  s.kind = Kind::kLabel;
  s.frame = {left, top, width, height};
  s.fill = Fill::kSolid;
  shapes_.push_back(std::move(s));
  return shapeCount();
}

void Drawing::setFillColor(int n, Rgb c) {
  Shape& s = shape(n);
  s.fore = c;
  if (s.fill == Fill::kNone) s.fill = Fill::kSolid;
}

void Drawing::setFillPattern(int n, int pattern) {
  if (pattern < 1 || pattern > 12) {
    throw DocxError(ErrorCode::kInvalidArgument,
                    "das Füllmuster " + std::to_string(pattern) + " wird nicht unterstützt");
  }
  Shape& s = shape(n);
  s.fill = Fill::kPattern;
  s.pattern = pattern;
}

void Drawing::setFillBackColor(int n, Rgb c) {
  shape(n).back = c;
}

void Drawing::setFillSolid(int n) {
  shape(n).fill = Fill::kSolid;
}

void Drawing::setFillTransparency(int n, double t) {
  if (!(t >= 0.0 && t <= 1.0)) {
    throw DocxError(ErrorCode::kInvalidArgument, "die Transparenz muss zwischen 0 und 1 liegen");
  }
  shape(n).transparency = t;
}

void Drawing::setLineVisible(int n, bool visible) {
  shape(n).line = visible;
}

void Drawing::setLineWidth(int n, double points) {
  if (!(points > 0 && points <= 1584)) {
    throw DocxError(ErrorCode::kInvalidArgument, "Linienstärke außerhalb des zulässigen Bereichs");
  }
  shape(n).lineWidth = points;
}

void Drawing::setLabelText(int n, const std::string& text) {
  Shape& s = shape(n);
  if (s.kind != Kind::kLabel) {
    throw DocxError(ErrorCode::kInvalidArgument, "Form " + std::to_string(n) + " hat keinen Text");
  }
  s.text = cleanText(text);
}

void Drawing::setLabelFont(int n, double sizePt, bool bold) {
  Shape& s = shape(n);
  if (!(sizePt >= 1.0 && sizePt <= 1638.0)) {
    throw DocxError(ErrorCode::kInvalidArgument, "Schriftgröße außerhalb des zulässigen Bereichs");
  }
  s.fontSize = sizePt;
  s.bold = bold;
}

void Drawing::setLabelCentered(int n, bool centered) {
  shape(n).centered = centered;
}

double Drawing::groupLeft(const Group& g) const {
  return g.centered ? (pageWidth_ - g.frame.width) / 2.0 : g.frame.left;
}

Frame Drawing::toPage(const Group& g, const Frame& f) const {
  const double sx = g.child.width > 0 ? g.frame.width / g.child.width : 1.0;
  const double sy = g.child.height > 0 ? g.frame.height / g.child.height : 1.0;
  return {groupLeft(g) + (f.left - g.child.left) * sx, g.frame.top + (f.top - g.child.top) * sy,
          f.width * sx, f.height * sy};
}

Frame Drawing::shapeFrame(int n) const {
  const Shape& s = shape(n);
  return s.group ? toPage(groupAt(s.group), s.frame) : s.frame;
}

void Drawing::setShapeSize(int n, double width, double height) {
  checkFinite(width);
  checkFinite(height);
  if (width < 0 || height < 0) throw DocxError(ErrorCode::kInvalidArgument, "negative Größe");
  Shape& s = shape(n);
  if (s.group) {
    const Group& g = groupAt(s.group);
    const double sx = g.child.width > 0 ? g.frame.width / g.child.width : 1.0;
    const double sy = g.child.height > 0 ? g.frame.height / g.child.height : 1.0;
    s.frame.width = sx > 0 ? width / sx : width;
    s.frame.height = sy > 0 ? height / sy : height;
  } else {
    s.frame.width = width;
    s.frame.height = height;
  }
}

int Drawing::group(const std::vector<int>& members) {
  if (members.size() < 2) {
    throw DocxError(ErrorCode::kInvalidArgument, "eine Gruppe braucht mindestens zwei Formen");
  }
  std::vector<Frame> frames;
  frames.reserve(members.size());
  // A map groups tens of thousands of shapes: the duplicate test must not be quadratic.
  std::vector<bool> listed(shapes_.size() + 1, false);
  for (int m : members) {
    if (shape(m).group) {
      throw DocxError(ErrorCode::kInvalidArgument,
                      "Form " + std::to_string(m) + " ist schon in einer Gruppe");
    }
    if (listed[static_cast<std::size_t>(m)]) {
      throw DocxError(ErrorCode::kInvalidArgument, "Form doppelt aufgeführt");
    }
    listed[static_cast<std::size_t>(m)] = true;
    frames.push_back(shape(m).frame);
  }
  Group g;
  g.members = members;
  g.frame = bounds(frames);
  g.child = g.frame;
  g.active = true;
  groups_.push_back(g);
  for (int m : members) shape(m).group = static_cast<int>(groups_.size());
  return static_cast<int>(groups_.size());
}

Frame Drawing::groupFrame(int n) const {
  const Group& g = groupAt(n);
  if (!g.active) throw DocxError(ErrorCode::kShapeOutOfRange, "die Gruppe ist aufgelöst");
  Frame f = g.frame;
  f.left = groupLeft(g);
  return f;
}

void Drawing::setGroupSize(int n, double width, double height) {
  checkFinite(width);
  checkFinite(height);
  if (width <= 0 || height <= 0)
    throw DocxError(ErrorCode::kInvalidArgument, "die Größe muss positiv sein");
  groupFrame(n);  // checks it is active
  Group& g = groupAt(n);
  g.frame.width = width;
  g.frame.height = height;
}

void Drawing::scaleGroup(int n, double fx, double fy) {
  const Frame f = groupFrame(n);
  setGroupSize(n, f.width * fx, f.height * fy);
}

void Drawing::centerGroupHorizontally(int n) {
  groupFrame(n);
  groupAt(n).centered = true;
}

void Drawing::setGroupTop(int n, double top) {
  checkFinite(top);
  groupFrame(n);
  groupAt(n).frame.top = top;
}

void Drawing::ungroup(int n) {
  groupFrame(n);
  Group& g = groupAt(n);
  for (int m : g.members) {
    Shape& s = shape(m);
    s.frame = toPage(g, s.frame);
    s.group = 0;
  }
  g.active = false;
}

void Drawing::regroup(int n) {
  Group& g = groupAt(n);
  if (g.active) throw DocxError(ErrorCode::kInvalidArgument, "die Gruppe besteht noch");
  std::vector<Frame> frames;
  for (int m : g.members) {
    if (shape(m).group) {
      throw DocxError(ErrorCode::kInvalidArgument,
                      "Form " + std::to_string(m) + " ist in einer anderen Gruppe");
    }
    frames.push_back(shape(m).frame);
  }
  g.frame = bounds(frames);
  g.child = g.frame;
  g.centered = false;
  g.active = true;
  for (int m : g.members) shape(m).group = n;
}

void Drawing::writeShape(pugi::xml_node parent, const Shape& s, bool inGroup, unsigned id) const {
  pugi::xml_node wsp = parent.append_child("wps:wsp");
  if (inGroup) {
    pugi::xml_node cNvPr = wsp.append_child("wps:cNvPr");
    cNvPr.append_attribute("id") = id;
    const std::string name =
        (s.kind == Kind::kLabel ? "Textfeld " : "Freihandform ") + std::to_string(id);
    cNvPr.append_attribute("name") = name.c_str();
  }
  pugi::xml_node cNvSpPr = wsp.append_child("wps:cNvSpPr");
  if (s.kind == Kind::kLabel) cNvSpPr.append_attribute("txBox") = "1";
  pugi::xml_node spPr = wsp.append_child("wps:spPr");
  Frame local = s.frame;
  if (!inGroup) local.left = local.top = 0;  // the anchor places a lone shape
  xfrm(spPr, local);
  writeGeometry(spPr, s);
  writeFill(spPr, s);
  writeOutline(spPr, s);
  if (s.kind == Kind::kLabel) writeLabelText(wsp, s);
  pugi::xml_node bodyPr = wsp.append_child("wps:bodyPr");
  if (s.kind == Kind::kLabel) writeLabelBody(bodyPr);
}

void Drawing::writeGeometry(pugi::xml_node spPr, const Shape& s) {
  if (s.kind == Kind::kLabel) {
    spPr.append_child("a:prstGeom").append_attribute("prst") = "rect";
    spPr.child("a:prstGeom").append_child("a:avLst");
    return;
  }
  pugi::xml_node geom = spPr.append_child("a:custGeom");
  geom.append_child("a:avLst");
  geom.append_child("a:gdLst");
  geom.append_child("a:ahLst");
  geom.append_child("a:cxnLst");
  pugi::xml_node rect = geom.append_child("a:rect");
  rect.append_attribute("l") = "l";
  rect.append_attribute("t") = "t";
  rect.append_attribute("r") = "r";
  rect.append_attribute("b") = "b";
  pugi::xml_node path = geom.append_child("a:pathLst").append_child("a:path");
  // In steps of the resolution the path's size is rounded up, so that no point lies outside.
  auto unit = [&s](double v) {
    return s.resolution > 0 ? static_cast<long long>(std::llround(v / s.resolution)) : emu(v);
  };
  auto size = [&s](double v) {
    return s.resolution > 0 ? std::max(1LL, static_cast<long long>(std::ceil(v / s.resolution)))
                            : emuSize(v);
  };
  attr(path, "w", size(s.pathWidth));
  attr(path, "h", size(s.pathHeight));
  for (std::size_t line = 0; line < s.starts.size(); ++line) {
    const std::size_t end = line + 1 < s.starts.size() ? s.starts[line + 1] : s.path.size();
    for (std::size_t k = s.starts[line]; k < end; ++k) {
      pugi::xml_node pt =
          path.append_child(k == s.starts[line] ? "a:moveTo" : "a:lnTo").append_child("a:pt");
      // pugixml formats the numbers itself: a dense map has tens of thousands of them.
      pt.append_attribute("x") = unit(s.path[k].x);
      pt.append_attribute("y") = unit(s.path[k].y);
    }
    if (s.closedLines[line]) path.append_child("a:close");
  }
}

void Drawing::writeFill(pugi::xml_node spPr, const Shape& s) {
  switch (s.fill) {
    case Fill::kNone:
      spPr.append_child("a:noFill");
      break;
    case Fill::kSolid:
      color(spPr.append_child("a:solidFill"), s.fore, s.transparency);
      break;
    case Fill::kPattern: {
      static constexpr const char* kPatterns[] = {"pct5",  "pct10", "pct20", "pct25",
                                                  "pct30", "pct40", "pct50", "pct60",
                                                  "pct70", "pct75", "pct80", "pct90"};
      pugi::xml_node patt = spPr.append_child("a:pattFill");
      patt.append_attribute("prst") = kPatterns[s.pattern - 1];
      color(patt.append_child("a:fgClr"), s.fore, s.transparency);
      color(patt.append_child("a:bgClr"), s.back, s.transparency);
      break;
    }
  }
}

void Drawing::writeOutline(pugi::xml_node spPr, const Shape& s) {
  pugi::xml_node ln = spPr.append_child("a:ln");
  if (s.line) {
    attr(ln, "w", emu(s.lineWidth));
    color(ln.append_child("a:solidFill"), Rgb{0, 0, 0});
  } else {
    ln.append_child("a:noFill");
  }
}

void Drawing::writeLabelText(pugi::xml_node wsp, const Shape& s) {
  pugi::xml_node p = wsp.append_child("wps:txbx").append_child("w:txbxContent").append_child("w:p");
  if (s.centered) {
    p.append_child("w:pPr").append_child("w:jc").append_attribute("w:val") = "center";
  }
  if (s.text.empty()) return;
  pugi::xml_node r = p.append_child("w:r");
  if (s.bold || s.fontSize > 0) {
    pugi::xml_node rPr = r.append_child("w:rPr");
    if (s.bold) {
      rPr.append_child("w:b");
      rPr.append_child("w:bCs");
    }
    if (s.fontSize > 0) {
      const long long half = std::llround(s.fontSize * 2);
      attr(rPr.append_child("w:sz"), "w:val", half);
      attr(rPr.append_child("w:szCs"), "w:val", half);
    }
  }
  appendTextElement(r, s.text);
}

void Drawing::writeLabelBody(pugi::xml_node bodyPr) {
  // A label is scaled with its group while its font is not, so it easily ends up lower than
  // its text: no insets, no wrapping, and text allowed to run over the shape keep it legible.
  bodyPr.append_attribute("rot") = "0";
  bodyPr.append_attribute("vert") = "horz";
  bodyPr.append_attribute("wrap") = "none";
  bodyPr.append_attribute("lIns") = "0";
  bodyPr.append_attribute("tIns") = "0";
  bodyPr.append_attribute("rIns") = "0";
  bodyPr.append_attribute("bIns") = "0";
  bodyPr.append_attribute("vertOverflow") = "overflow";
  bodyPr.append_attribute("horzOverflow") = "overflow";
  bodyPr.append_attribute("anchor") = "t";
  bodyPr.append_attribute("anchorCtr") = "0";
  bodyPr.append_child("a:noAutofit");
}

pugi::xml_node Drawing::writeAnchor(pugi::xml_node paragraph, pugi::xml_node before,
                                    const Frame& frame, bool centered, unsigned id, unsigned z,
                                    const char* name, const char* uri) const {
  pugi::xml_node run =
      before ? paragraph.insert_child_before("w:r", before) : paragraph.append_child("w:r");
  pugi::xml_node anchor = run.append_child("w:drawing").append_child("wp:anchor");
  for (const char* a : {"distT", "distB", "distL", "distR"}) anchor.append_attribute(a) = "0";
  anchor.append_attribute("simplePos") = "0";
  anchor.append_attribute("relativeHeight") = 251659264u + z;
  anchor.append_attribute("behindDoc") = "0";
  anchor.append_attribute("locked") = "0";
  anchor.append_attribute("layoutInCell") = "1";
  anchor.append_attribute("allowOverlap") = "1";
  pugi::xml_node simple = anchor.append_child("wp:simplePos");
  simple.append_attribute("x") = "0";
  simple.append_attribute("y") = "0";
  pugi::xml_node posH = anchor.append_child("wp:positionH");
  posH.append_attribute("relativeFrom") = "page";
  if (centered) {
    posH.append_child("wp:align").text().set("center");
  } else {
    posH.append_child("wp:posOffset").text().set(std::to_string(emu(frame.left)).c_str());
  }
  pugi::xml_node posV = anchor.append_child("wp:positionV");
  posV.append_attribute("relativeFrom") = "page";
  posV.append_child("wp:posOffset").text().set(std::to_string(emu(frame.top)).c_str());
  pugi::xml_node extent = anchor.append_child("wp:extent");
  attr(extent, "cx", emuSize(frame.width));
  attr(extent, "cy", emuSize(frame.height));
  pugi::xml_node effect = anchor.append_child("wp:effectExtent");
  for (const char* a : {"l", "t", "r", "b"}) effect.append_attribute(a) = "0";
  anchor.append_child("wp:wrapNone");
  pugi::xml_node docPr = anchor.append_child("wp:docPr");
  docPr.append_attribute("id") = id;
  docPr.append_attribute("name") = (std::string(name) + " " + std::to_string(id)).c_str();
  anchor.append_child("wp:cNvGraphicFramePr");
  pugi::xml_node graphic = anchor.append_child("a:graphic");
  pugi::xml_node data = graphic.append_child("a:graphicData");
  data.append_attribute("uri") = uri;
  return data;
}

std::vector<pugi::xml_node> Drawing::materialize(pugi::xml_node body, unsigned firstId) const {
  std::vector<pugi::xml_node> runs;
  if (shapes_.empty()) return runs;
  pugi::xml_node root = body.parent();
  for (auto [prefix, uri] : {std::pair{"xmlns:wp", kNsWp}, std::pair{"xmlns:a", kNsA},
                             std::pair{"xmlns:wps", kNsWps}, std::pair{"xmlns:wpg", kNsWpg}}) {
    if (!root.attribute(prefix)) root.append_attribute(prefix) = uri;
  }
  pugi::xml_node paragraph = body.child("w:p");
  if (!paragraph) {
    pugi::xml_node sect = body.child("w:sectPr");
    paragraph = sect ? body.insert_child_before("w:p", sect) : body.append_child("w:p");
    runs.push_back(paragraph);  // removed again with the runs
  }
  pugi::xml_node pPr = paragraph.child("w:pPr");
  // Objects go to the start of the paragraph, in order of their first shape.
  pugi::xml_node before = pPr ? pPr.next_sibling() : paragraph.first_child();
  unsigned id = firstId;
  unsigned z = 0;
  std::vector<bool> written(groups_.size(), false);
  for (std::size_t k = 0; k < shapes_.size(); ++k) {
    const Shape& s = shapes_[k];
    if (s.group == 0) {
      pugi::xml_node data =
          writeAnchor(paragraph, before, s.frame, false, id, z++,
                      s.kind == Kind::kLabel ? "Textfeld" : "Freihandform", kNsWps);
      writeShape(data, s, false, id++);
      runs.push_back(data.parent().parent().parent().parent());  // graphic, anchor, drawing, run
      continue;
    }
    const std::size_t gi = static_cast<std::size_t>(s.group - 1);
    if (written[gi]) continue;
    written[gi] = true;
    const Group& g = groups_[gi];
    Frame frame = g.frame;
    frame.left = groupLeft(g);
    pugi::xml_node data =
        writeAnchor(paragraph, before, frame, g.centered, id++, z++, "Gruppieren", kNsWpg);
    runs.push_back(data.parent().parent().parent().parent());
    writeGroup(data, g, id);
  }
  return runs;
}

void Drawing::writeGroup(pugi::xml_node graphicData, const Group& g, unsigned& id) const {
  pugi::xml_node wgp = graphicData.append_child("wpg:wgp");
  wgp.append_child("wpg:cNvGrpSpPr");
  pugi::xml_node x = wgp.append_child("wpg:grpSpPr").append_child("a:xfrm");
  pugi::xml_node off = x.append_child("a:off");
  attr(off, "x", 0);
  attr(off, "y", 0);
  pugi::xml_node ext = x.append_child("a:ext");
  attr(ext, "cx", emuSize(g.frame.width));
  attr(ext, "cy", emuSize(g.frame.height));
  pugi::xml_node chOff = x.append_child("a:chOff");
  attr(chOff, "x", emu(g.child.left));
  attr(chOff, "y", emu(g.child.top));
  pugi::xml_node chExt = x.append_child("a:chExt");
  attr(chExt, "cx", emuSize(g.child.width));
  attr(chExt, "cy", emuSize(g.child.height));
  for (int m : g.members) writeShape(wgp, shapes_[static_cast<std::size_t>(m - 1)], true, id++);
}

}  // namespace docx
