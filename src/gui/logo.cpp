#include "gui/logo.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace gui {
namespace {

QPolygonF polygon(std::initializer_list<QPointF> points) {
  return QPolygonF(points);
}

}  // namespace

QPixmap logoPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);

  const QColor outline(0x1d, 0x3f, 0x23);
  const QColor ground(0x2f, 0x6b, 0x3a);
  p.setPen(Qt::NoPen);
  p.setBrush(ground);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);

  QPen pen(outline, 1.5);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(QColor(0x8c, 0xc0, 0x84));
  p.drawPolygon(polygon({{7, 9}, {31, 6}, {34, 28}, {9, 33}}));
  p.setBrush(QColor(0xc3, 0xe0, 0xa5));
  p.drawPolygon(polygon({{31, 6}, {57, 9}, {55, 27}, {34, 28}}));
  p.setBrush(QColor(0x6f, 0xa8, 0x6a));
  p.drawPolygon(polygon({{9, 33}, {34, 28}, {30, 57}, {7, 55}}));

  p.setBrush(Qt::white);
  p.drawPolygon(polygon({{32, 24}, {49, 24}, {57, 32}, {57, 58}, {32, 58}}));
  QPainterPath fold;
  fold.moveTo(49, 24);
  fold.lineTo(49, 32);
  fold.lineTo(57, 32);
  p.setBrush(QColor(0xe4, 0xe4, 0xe4));
  p.drawPath(fold);

  p.setPen(Qt::NoPen);
  p.setBrush(ground);
  p.drawRect(QRectF(36, 37, 17, 2.5));
  p.drawRect(QRectF(36, 43, 17, 2.5));
  p.drawRect(QRectF(36, 49, 11, 2.5));
  return pixmap;
}

QIcon logoIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(logoPixmap(size));
  return icon;
}

}  // namespace gui
