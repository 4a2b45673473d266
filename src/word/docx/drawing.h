#pragma once
// Vector drawing on the first page in DrawingML: freeform polylines, horizontal text labels and
// groups of them with a child coordinate space. Shapes are numbered from 1 in the order they
// were added (shapes the template already holds are not counted); groups from 1 in the order
// they were made. Positions and sizes are points relative to the page's top-left corner; the
// XML carries EMU (12700 per point). The drawing is kept as a model and written into the body
// only while the document is serialised.
// Every failure throws docx::DocxError before anything is changed.

#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace docx {

struct Point {
  double x = 0;
  double y = 0;
};

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

struct Frame {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

class Drawing {
 public:
  explicit Drawing(double pageWidthPt) : pageWidth_(pageWidthPt) {}

  // A polyline through the points; when the last point repeats the first the outline is
  // closed and filled white with a thin black line, as a word processor draws a new freeform.
  int addPolyline(const std::vector<Point>& points);
  // One shape of several such polylines (a map's many small outlines), filled white only when
  // every one is closed. resolution > 0 writes
  // the path in steps of that many units instead of EMU: a drawing that is scaled down later
  // needs no finer steps than it can show, and small numbers keep the document small.
  int addPolylines(const std::vector<std::vector<Point>>& lines, double resolution = 0);
  // A horizontal text label (text box) with a white fill and a thin black line.
  int addLabel(double left, double top, double width, double height);
  int shapeCount() const { return static_cast<int>(shapes_.size()); }

  void setFillColor(int shape, Rgb color);
  // Pattern numbers as word processors count them: 1 = 5 %, 2 = 10 %, ..., 7 = 50 %, 12 = 90 %.
  void setFillPattern(int shape, int pattern);
  // The colour between the pattern's dots (white unless set).
  void setFillBackColor(int shape, Rgb color);
  void setFillSolid(int shape);
  void setFillTransparency(int shape, double transparency);  // 0 opaque .. 1 clear
  void setLineVisible(int shape, bool visible);
  // Width of the outline in points on the page (0.75 unless set); a group's scaling leaves it.
  void setLineWidth(int shape, double points);
  void setLabelText(int shape, const std::string& text);
  void setLabelFont(int shape, double sizePt, bool bold);
  void setLabelCentered(int shape, bool centered);

  // Frame of a shape on the page (through its group's scaling when grouped).
  Frame shapeFrame(int shape) const;
  void setShapeSize(int shape, double width, double height);

  // Groups the shapes (none may already be in a group) and answers the group number.
  int group(const std::vector<int>& shapes);
  Frame groupFrame(int group) const;
  void setGroupSize(int group, double width, double height);
  void scaleGroup(int group, double factorX, double factorY);  // top-left corner stays
  void centerGroupHorizontally(int group);                     // relative to the page
  void setGroupTop(int group, double top);
  // Ungrouping gives each member its current page frame; regrouping joins them again.
  void ungroup(int group);
  void regroup(int group);

  // Writes the drawing as anchored runs at the start of the body's first paragraph and answers
  // the inserted runs (the caller removes them after serialising). Ids start at `firstId`.
  std::vector<pugi::xml_node> materialize(pugi::xml_node body, unsigned firstId) const;

 private:
  enum class Kind { kPolyline, kLabel };
  enum class Fill { kNone, kSolid, kPattern };
  struct Shape {
    Kind kind = Kind::kPolyline;
    Frame frame;                      // on the page, or in the group's child space when grouped
    std::vector<Point> path;          // relative to the frame origin, in points
    std::vector<std::size_t> starts;  // where each polyline of path begins
    std::vector<bool> closedLines;    // per polyline: the close command draws its last edge
    double pathWidth = 0;
    double pathHeight = 0;
    double resolution = 0;  // path written in these steps; 0: in EMU
    bool closed = false;    // every polyline closed
    Fill fill = Fill::kNone;
    Rgb fore{255, 255, 255};
    Rgb back{255, 255, 255};
    int pattern = 0;
    double transparency = 0;
    bool line = true;
    double lineWidth = 0.75;
    std::string text;
    double fontSize = 0;  // 0: the paragraph's own size
    bool bold = false;
    bool centered = false;
    int group = 0;
  };
  struct Group {
    std::vector<int> members;
    Frame frame;  // on the page
    Frame child;  // child coordinate space
    bool centered = false;
    bool active = false;
  };

  Shape& shape(int n);
  const Shape& shape(int n) const;
  Group& groupAt(int n);
  const Group& groupAt(int n) const;
  Frame toPage(const Group& g, const Frame& f) const;
  double groupLeft(const Group& g) const;
  void writeShape(pugi::xml_node parent, const Shape& s, bool inGroup, unsigned id) const;
  // The steps of writeShape, each one child (or run of children) of the shape's XML.
  static void writeGeometry(pugi::xml_node spPr, const Shape& s);
  static void writeFill(pugi::xml_node spPr, const Shape& s);
  static void writeOutline(pugi::xml_node spPr, const Shape& s);
  static void writeLabelText(pugi::xml_node wsp, const Shape& s);
  static void writeLabelBody(pugi::xml_node bodyPr);
  void writeGroup(pugi::xml_node graphicData, const Group& g, unsigned& id) const;
  pugi::xml_node writeAnchor(pugi::xml_node paragraph, pugi::xml_node before, const Frame& frame,
                             bool centered, unsigned id, unsigned z, const char* name,
                             const char* uri) const;

  double pageWidth_;
  std::vector<Shape> shapes_;
  std::vector<Group> groups_;
};

}  // namespace docx
