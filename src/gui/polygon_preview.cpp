#include "gui/polygon_preview.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace gui {
namespace {

// The cover sheet's grey: a 50 % pattern of this colour on a lighter one.
const QColor kMarkColour(192, 192, 192);
const QColor kMarkBackColour(224, 224, 224);
constexpr int kMargin = 6;

}  // namespace

PolygonPreview::PolygonPreview(QWidget* parent) : QWidget(parent) {
  setMinimumSize(220, 220);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PolygonPreview::showMap(report::PolygonMap map) {
  map_ = std::move(map);
  note_.clear();
  update();
}

void PolygonPreview::showNote(const QString& note) {
  map_.reset();
  note_ = note;
  update();
}

void PolygonPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!map_ || map_->width <= 0 || map_->height <= 0) {
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                     Qt::AlignCenter | Qt::TextWordWrap, note_);
    return;
  }
  painter.setRenderHint(QPainter::Antialiasing);
  // Drawing units to pixels, the longer side filling the widget, centred.
  const double scale =
      std::min((width() - 2.0 * kMargin) / map_->width, (height() - 2.0 * kMargin) / map_->height);
  painter.translate((width() - map_->width * scale) / 2, (height() - map_->height * scale) / 2);
  painter.scale(scale, scale);
  QPen pen(Qt::black);
  pen.setCosmetic(true);
  pen.setWidthF(1);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(0, 0, map_->width, map_->height));
  for (const report::MapShape& shape : map_->shapes) {
    // The surveyed polygon's outline stands out as on the cover sheet.
    pen.setWidthF(shape.own ? 2 : 1);
    painter.setPen(pen);
    for (const auto& line : shape.lines) {
      QPolygonF points;
      points.reserve(static_cast<qsizetype>(line.size()));
      for (const auto& p : line) points << QPointF(p[0], p[1]);
      if (line.size() < 3 || line.front() != line.back()) {
        painter.drawPolyline(points);  // an edge an earlier neighbour did not draw
      } else if (shape.marked) {
        painter.setBrush(kMarkBackColour);
        painter.drawPolygon(points);
        painter.setBrush(QBrush(kMarkColour, Qt::Dense4Pattern));
        painter.drawPolygon(points);
      } else {
        // Closed outlines over the white ground: later ones (holes, islands in them) lie on
        // top of the grey.
        painter.setBrush(Qt::white);
        painter.drawPolygon(points);
      }
    }
  }
}

}  // namespace gui
