// The map of a cover sheet through the document engine: outlines, the scale bar, placing the
// map on the page, and the survey units listed beside it.
#include <cmath>
#include <string>
#include <vector>

#include "app/cls_debug.h"
#include "word/cls_word_doc.h"
#include "word/docx/document.h"
#include "word/error_text.h"

namespace word {
namespace {

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t pos; (pos = text.find(separator, start)) != std::string::npos; start = pos + 1)
    pieces.push_back(text.substr(start, pos - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

}  // namespace

int16_t clsWordDoc::AddPolyline(int16_t /*position*/, const PointList& points) {
  if (!guard("AddPolyline")) return 101;
  std::vector<docx::Point> path;
  path.reserve(points.size());
  for (const auto& p : points) path.push_back({p[0], p[1]});
  document_->drawing().addPolyline(path);
  return 100;
}

int16_t clsWordDoc::AddOutlines(int16_t /*position*/, const std::vector<PointList>& rings,
                                float resolution) {
  if (!guard("AddOutlines")) return 101;
  std::vector<std::vector<docx::Point>> paths;
  paths.reserve(rings.size());
  for (const auto& ring : rings) {
    auto& path = paths.emplace_back();
    path.reserve(ring.size());
    for (const auto& p : ring) path.push_back({p[0], p[1]});
  }
  document_->drawing().addPolylines(paths, resolution);
  return 100;
}

int16_t clsWordDoc::SetLineWeight(int16_t position, float points) {
  if (!guard("SetLineWeight")) return 101;
  document_->drawing().setLineWidth(position, points);
  return 100;
}

int16_t clsWordDoc::MarkPolygon(int16_t position) {
  if (!guard("MarkPolygon")) return 101;
  auto& drawing = document_->drawing();
  drawing.setFillColor(position, {192, 192, 192});
  drawing.setFillPattern(position, 7);
  // Between the dots the tone the 50 % pattern gives: renderers that draw the pattern as a
  // coarse hatch would otherwise leave a small marked part white.
  drawing.setFillBackColor(position, {224, 224, 224});
  return 100;
}

namespace {

// The scale label: its top lies this far below the map frame (drawing units), and it keeps
// this height in points whatever the map's scale, so that its 8-pt text stays readable.
constexpr float kLabelGap = 12;
constexpr float kLabelHeight = 20;

}  // namespace

float clsWordDoc::mapScale(float width, float height, float size) {
  const float byWidth = width > 0 ? size / width : std::numeric_limits<float>::max();
  const float byHeight = (size - kLabelHeight) / (height + kLabelGap);
  return std::min(byWidth, byHeight);
}

int16_t clsWordDoc::SetScaleBar(float width, float height, float /*unused1*/, float /*unused2*/,
                                int16_t& counter) {
  if (!guard("SetScaleBar")) return 101;
  const char* label = "1 km";
  float half = 500;
  if (width < 10)
    label = "1 m", half = 0.5f;
  else if (width < 50)
    label = "10 m", half = 5;
  else if (width < 100)
    label = "50 m", half = 25;
  else if (width < 1000)
    label = "100 m", half = 50;
  else if (width < 5000)
    label = "500 m", half = 250;
  auto& drawing = document_->drawing();
  drawing.addLabel(0, height + kLabelGap, width, kLabelHeight);
  drawing.setLabelText(counter, label);
  drawing.setLineVisible(counter, false);
  drawing.setLabelCentered(counter, true);
  drawing.setLabelFont(counter, 8, true);
  ++counter;
  const float mid = width / 2;
  PointList bar = {{mid - half, height + 9},
                   {mid - half, height + 11},
                   {mid + half, height + 11},
                   {mid + half, height + 9},
                   {mid - half, height + 9}};
  AddPolyline(counter, bar);
  drawing.setFillTransparency(counter, 0);
  drawing.setFillColor(counter, {0, 0, 0});
  drawing.setFillSolid(counter);
  ++counter;
  return 100;
}

int16_t clsWordDoc::MovePolygon(int16_t counter, float size) {
  if (!guard("MovePolygon")) return 101;
  try {
    auto& drawing = document_->drawing();
    // Shape counter - 2 is the scale label below the map. Everything else scales with the
    // group; the label keeps its height in points, so the scale is chosen such that the map
    // with the label below it is `size` points on its longer side.
    const int label = counter - 2;
    const docx::Frame text = drawing.shapeFrame(label);
    double left = text.left, right = text.left + text.width, top = 0, bottom = 0;
    bool first = true;
    for (int i = 1; i < counter; ++i) {
      if (i == label) continue;
      const docx::Frame f = drawing.shapeFrame(i);
      if (first) top = f.top, bottom = f.top + f.height, first = false;
      left = std::min(left, f.left);
      right = std::max(right, f.left + f.width);
      top = std::min(top, f.top);
      bottom = std::max(bottom, f.top + f.height);
    }
    const double width = right - left;
    const double above = text.top - top;  // from the top of the map to the label
    double factor = 0;
    if (!first && above > 0 && above >= bottom - top)
      factor = std::min(width > 0 ? size / width : 1e30, (size - text.height) / above);
    else
      factor = size / std::max({width, bottom - top, 1e-9});
    if (!(factor > 0))
      throw docx::DocxError(docx::ErrorCode::kInvalidArgument, "die Karte ist zu klein");
    drawing.setShapeSize(label, text.width, text.height / factor);
    std::vector<int> shapes;
    for (int i = 1; i < counter; ++i) shapes.push_back(i);
    const int group = drawing.group(shapes);
    const docx::Frame frame = drawing.groupFrame(group);
    drawing.setGroupSize(group, frame.width * factor, frame.height * factor);
    drawing.centerGroupHorizontally(group);
    drawing.setGroupTop(group, 100);
    return 100;
  } catch (const std::exception& e) {
    log().Ausgabe(2, "MovePolygon: Nicht abgefangener Fehler. " + errorText(e) + ".");
    return 101;
  }
}

float clsWordDoc::GetScalefaktor(int16_t size, float width, float height, int16_t counter) {
  if (!guard("GetScalefaktor")) return 101;
  const docx::Frame frame = document_->drawing().shapeFrame(counter - 1);
  return static_cast<float>(width <= height ? size / frame.height : size / frame.width);
}

int16_t clsWordDoc::InsertErfassungseinheit(const std::string& title, const std::string& left,
                                            const std::string& middle, const std::string& right) {
  if (!guard("InsertErfassungseinheit")) return 101;
  std::string line1, line2;
  if (middle.find(':') != std::string::npos) {
    const auto pieces = split(middle, ':');
    line1 = pieces[0];
    if (pieces.size() == 2) line2 = pieces[1];
  }
  auto& tables = document_->tables();
  constexpr int kTable = 2;
  tables.appendRow(kTable);
  int row = tables.rowCount(kTable);
  tables.mergeRow(kTable, row);
  tables.setCellText(kTable, row, 1, title + "\r");
  tables.appendRow(kTable);
  row = tables.rowCount(kTable);
  tables.splitRow(kTable, row, 3);
  tables.setCellText(kTable, row, 1, left);
  tables.setCellText(kTable, row, 2, line1 + "\r" + line2);
  tables.setCellText(kTable, row, 3, right);
  tables.appendRow(kTable);
  tables.mergeRow(kTable, tables.rowCount(kTable));
  return 100;
}

}  // namespace word
