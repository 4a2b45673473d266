#include "gui/polygon_map_view.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <tuple>

namespace gui {
namespace {

// The margin around the polygon, as a share of its larger side; at least kMinimumMargin.
constexpr double kMargin = 0.35;
constexpr double kMinimumMargin = 25;  // map units (metres)

}  // namespace

PolygonMapView::PolygonMapView(QWidget* parent) : QWidget(parent) {
  setObjectName("picKarte");
  setMinimumSize(240, 200);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void PolygonMapView::showRecord(std::shared_ptr<const check::ShapeLayer> layer, int32_t record,
                                std::optional<check::Place> place) {
  layer_ = std::move(layer);
  record_ = layer_ && record > 0 && static_cast<std::size_t>(record) <= layer_->records.size()
                ? record
                : 0;
  place_ = place;
  neighbours_.clear();
  if (record_ != 0) {
    const check::ShapeRecord& r = layer_->records[static_cast<std::size_t>(record_ - 1)];
    if (r.hasPoints()) {
      left_ = r.left, right_ = r.right, bottom_ = r.bottom, top_ = r.top;
    } else if (place_) {
      left_ = right_ = place_->x;
      bottom_ = top_ = place_->y;
    }
    if (place_) {
      left_ = std::min(left_, place_->x), right_ = std::max(right_, place_->x);
      bottom_ = std::min(bottom_, place_->y), top_ = std::max(top_, place_->y);
    }
    std::tie(metresX_, metresY_) =
        layer_->metresPerUnit((left_ + right_) / 2, (bottom_ + top_) / 2);
    const double margin = std::max(kMinimumMargin, kMargin * std::max((right_ - left_) * metresX_,
                                                                      (top_ - bottom_) * metresY_));
    left_ -= margin / metresX_, right_ += margin / metresX_;
    bottom_ -= margin / metresY_, top_ += margin / metresY_;
    for (std::size_t i = 0; i < layer_->records.size(); ++i) {
      const check::ShapeRecord& n = layer_->records[i];
      if (static_cast<int32_t>(i + 1) == record_ || !n.hasPoints()) continue;
      if (n.right >= left_ && n.left <= right_ && n.top >= bottom_ && n.bottom <= top_)
        neighbours_.push_back(static_cast<int32_t>(i + 1));
    }
  }
  update();
}

void PolygonMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
  if (record_ == 0) {
    painter.setPen(Qt::darkGray);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                     "Doppelklicken Sie auf einen Befund zu einem Polygon, um es hier zu sehen.");
    return;
  }
  // One scale in metres for both axes, the map centred; y grows upwards in the file.
  const double width = (right_ - left_) * metresX_, height = (top_ - bottom_) * metresY_;
  const double scale = std::min(area.width() / width, area.height() / height);
  const double offsetX = area.left() + (area.width() - scale * width) / 2;
  const double offsetY = area.top() + (area.height() - scale * height) / 2;
  auto toScreen = [&](const check::Place& p) {
    return QPointF(offsetX + (p.x - left_) * metresX_ * scale,
                   offsetY + (top_ - p.y) * metresY_ * scale);
  };
  auto pathOf = [&](const check::ShapeRecord& r) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& ring : r.rings) {
      if (ring.empty()) continue;
      path.moveTo(toScreen(ring.front()));
      for (std::size_t k = 1; k < ring.size(); ++k) path.lineTo(toScreen(ring[k]));
    }
    return path;
  };
  painter.setClipRect(area);
  painter.setPen(QPen(QColor(120, 120, 120), 1));
  painter.setBrush(QColor(225, 225, 225));
  for (int32_t n : neighbours_)
    painter.drawPath(pathOf(layer_->records[static_cast<std::size_t>(n - 1)]));
  const check::ShapeRecord& own = layer_->records[static_cast<std::size_t>(record_ - 1)];
  painter.setPen(QPen(QColor(0, 90, 40), 2));
  painter.setBrush(QColor(120, 200, 120, 170));
  painter.drawPath(pathOf(own));
  if (!own.hasPoints()) {
    painter.setPen(Qt::darkGray);
    painter.drawText(area, Qt::AlignTop | Qt::AlignHCenter, "Der Datensatz hat keine Geometrie.");
  }
  if (place_) {
    const QPointF at = toScreen(*place_);
    painter.setPen(QPen(QColor(200, 0, 0), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(at, 8, 8);
    painter.drawLine(at + QPointF(-12, 0), at + QPointF(12, 0));
    painter.drawLine(at + QPointF(0, -12), at + QPointF(0, 12));
  }
}

}  // namespace gui
